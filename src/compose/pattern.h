#pragma once

#include <QImage>

namespace tavrin::compose {

// The orientation test pattern, a picture as wide as the canvas and as high as the LED column, so
// that what a board lights tells which way round it shows content. From the left: an arrow
// pointing along the content (columns 0 to ledCount − 1); a letter F; a ramp whose i-th column
// lights the top i + 1 LEDs; and at every 100th column a mark the whole height with its column
// number beside it at the top. None of it looks the same mirrored either way.
QImage testPattern(int ledCount, int width);

// Where the ramp starts: its column i lights LEDs 0 to i.
int testPatternRampColumn(int ledCount);

} // namespace tavrin::compose
