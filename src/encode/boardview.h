#pragma once

#include <QImage>
#include <QString>

// Pictures of a content code: what the spinning board shows, and the dot image the scan reads.
// Both take the code in either letter case and refuse, with a null image and a message in *error,
// an empty code, a code that is not hex digits or not whole columns, and an LED count other than
// 8, 16, 24 or 32. *error is cleared on success.
namespace tavrin::encode {

inline constexpr int smallestBoardScale = 1;
inline constexpr int largestBoardScale = 64;
// The board picture is refused above this many bytes of image memory.
inline constexpr qint64 largestBoardImageBytes = qint64(256) * 1024 * 1024;

// Why a code cannot be drawn for an LED count, as above; empty when it can.
QString codeRefusal(const QString &code, int ledCount);

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
