#pragma once

#include "compose/composer.h"

#include <functional>

#include <QImage>
#include <QString>

// The content code: lower-case hex digits, column after column from the left, ledCount / 4 digits a
// column, top dot in the most significant bit, a lit dot being one whose red is 129 or more.
namespace tavrin::encode {

// How many sample points 5, 20, 35 … twips fit into a length in twips.
int samplePoints(float lengthTwips);

// "1"/"0" for the dots of column x, top to bottom; dots outside the image count as unlit.
QString columnBits(const QImage &canvas, int x, int rows);

// Groups of four bits become one lower-case hex digit; a short last group gives none.
QString bitsToHex(const QString &bits);

// The message shown for a column whose dot count is not the LED count.
QString badColumnMessage(const QString &bits, int ledCount);

struct ScanHooks {
    // After each column, with the column's index and the number of columns.
    std::function<void(int column, int columns)> columnDone;
    // For a column left out because it does not have ledCount dots.
    std::function<void(const QString &message)> badColumn;
};

// Scans a canvas of the given size in twips (its image holds one pixel per dot).
QString makeContentCode(const QImage &canvas, float widthTwips, float heightTwips, int ledCount,
                        const ScanHooks &hooks = {});

// Scans what the composer has composed: its canvas at its size, for its LED count.
QString makeContentCode(const compose::Composer &composer, const ScanHooks &hooks = {});

} // namespace tavrin::encode
