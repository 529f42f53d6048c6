#pragma once

#include <QString>

// Twips are the window's unit: 15 twips make one screen pixel and one matrix dot, whatever the screen.
namespace tavrin::compose {

inline constexpr int twipsPerDot = 15;
inline constexpr int scrollMaximum = 1000;

// Canvas width in dots for an LED count (2048, 2048, 1368, 1024), or 0 for any other count.
int canvasWidthDots(int ledCount);

// The width a canvas takes for a LED count; a count matching none keeps the current width.
float canvasWidthTwips(int ledCount, float currentWidthTwips);

// Where the canvas's left edge goes for a scroll value, in twips, single precision as the window keeps it.
float scrolledLeft(float canvasWidthTwips, float windowOuterWidthTwips, qint16 value, qint16 maximum);

// Text is rendered at a fixed 96 dpi: 12 pt is 16 px.
int pointsToPixels(int points);
// The point size a whole-pixel font really has (28 pt -> 37 px -> 27.75 pt).
double pixelsToPoints(int pixels);

// Twips to the pixel a layer edge is drawn at; a half pixel goes to the smaller coordinate.
int twipsToPixel(float twips);

} // namespace tavrin::compose
