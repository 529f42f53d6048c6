#pragma once

#include <array>

namespace tavrin::base {

// The boards have one column of 8, 16, 24 or 32 LEDs; a content column holds ledCount / 4 hex
// digits, ledCount / 8 bytes.
inline constexpr std::array<int, 4> ledCounts{8, 16, 24, 32};

constexpr bool isLedCount(int count) {
    for (const int known : ledCounts) {
        if (count == known) {
            return true;
        }
    }
    return false;
}

} // namespace tavrin::base
