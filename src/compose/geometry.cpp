#include "compose/geometry.h"

#include <cmath>

namespace tavrin::compose {

int canvasWidthDots(int ledCount) {
    switch (ledCount) {
    case 8:
    case 16:
        return 2048;
    case 24:
        return 1368; // the board holds 1368 columns at 24 LEDs, not 2048 * 16 / 24
    case 32:
        return 1024;
    default:
        return 0;
    }
}

float canvasWidthTwips(int ledCount, float currentWidthTwips) {
    const int dots = canvasWidthDots(ledCount);
    return dots == 0 ? currentWidthTwips : float(dots * twipsPerDot);
}

float scrolledLeft(float canvasWidthTwips, float windowOuterWidthTwips, qint16 value, qint16 maximum) {
    if (maximum == 0) {
        return 0.0f;
    }
    return -(canvasWidthTwips - windowOuterWidthTwips) * float(value) / float(maximum);
}

int pointsToPixels(int points) {
    return int(std::lround(points * 96.0 / 72.0));
}

double pixelsToPoints(int pixels) {
    return pixels * 72.0 / 96.0;
}

int twipsToPixel(float twips) {
    return int(std::floor(twips / float(twipsPerDot)));
}

} // namespace tavrin::compose
