#pragma once

#include <QString>

// The window's list of LED counts: each item names the product and a count.
namespace tavrin::app {

inline constexpr auto productTitle = "Kelvora";

// Item i (0..3) of the LED-count list: the product title, 8i + 8 and "象素" (in the window's language).
QString ledCountItem(int index);

// The LED count cut from a list item: what follows the title, without the last two characters.
int ledCountFromItem(const QString &item);

} // namespace tavrin::app
