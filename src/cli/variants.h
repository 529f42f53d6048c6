#pragma once

#include <QString>

namespace tavrin::hex {
struct Variant;
}

// The command line's English words for the board firmwares.
namespace tavrin::cli {

// The variant numbers as a list for a message: "0, 1, 2, 3, 22 or 33".
QString variantNumbersText();

// One line naming a firmware: "No. 0: 16 LEDs directly on P1/P2, turning backwards".
QString variantTitle(const hex::Variant &variant);
// Its chip, the chip's memory, how the LEDs are wired and what the board shows.
QString variantDescription(const hex::Variant &variant);

// Every firmware, its title and under it its description, for a command's help.
QString variantList();

} // namespace tavrin::cli
