#pragma once

#include <QImage>
#include <QString>

// Pictures of a content code: what the spinning board shows, and the dot image the scan reads.
// Both take the code in either letter case and refuse, with a null image and a message in *error,
// a code that codeRefusal() refuses for drawing. *error is cleared on success.
namespace tavrin::encode {

inline constexpr int smallestBoardScale = 1;
inline constexpr int largestBoardScale = 64;
// The board picture is refused above this many bytes of image memory.
inline constexpr qint64 largestBoardImageBytes = qint64(256) * 1024 * 1024;

// What a content code is for: a drawing needs at least one column; the HEX export also embeds an
// empty code (the firmware alone, with no content).
enum class CodeUse { Drawing, Export };

// The one rule for a content code, whoever reads it: hex digits in either letter case, whole
// columns for an LED count of 8, 16, 24 or 32, and no more columns than the canvas of that LED
// count holds. Why a code breaks it; empty when it does not.
QString codeRefusal(const QString &code, int ledCount, CodeUse use = CodeUse::Drawing);

// Columns left to right, top dot at the top; each dot a cell of scale × scale pixels on black,
// holding a round LED, red when lit and dark when not. Refused too for a scale outside
// smallestBoardScale..largestBoardScale and a picture over largestBoardImageBytes.
QImage drawBoard(const QString &code, int ledCount, int scale, QString *error = nullptr);
// The same for count columns from column first on (as many as the code has), for a view that shows
// only part of the board.
QImage drawBoardColumns(const QString &code, int ledCount, int scale, qsizetype first, qsizetype count,
                        QString *error = nullptr);

// One pixel per dot, lit RGB(255, 0, 0), unlit RGB(64, 64, 64): the canvas the scan would read
// back into the same code (in lower case).
QImage dotsOf(const QString &code, int ledCount, QString *error = nullptr);

} // namespace tavrin::encode
