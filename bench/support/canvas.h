#pragma once

#include "compose/canvas.h"

#include <QString>

namespace tavrin::bench {

// The text a full canvas holds in the benchmarks: wide enough to fill the canvas of every LED count.
QString fullCanvasText();

// An empty canvas of the size the window gives leds LEDs.
compose::Canvas emptyCanvas(int leds);

// Sets text in 12-point 宋体 on the canvas, at its left edge and centred from top to bottom, as the
// window places typed text.
void placeText(compose::Canvas &canvas, const QString &text);

} // namespace tavrin::bench
