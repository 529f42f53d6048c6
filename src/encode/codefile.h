#pragma once

#include "platform/files.h"

#include <QString>

// Content code files: the digits a write or an export takes instead of a composition, and what a
// board shows checked before it is flashed.
namespace tavrin::encode {

// A code file holds at most this many bytes: the largest canvas's code and room for line ends.
inline constexpr qint64 largestCodeFile = 16 * 1024;

// The most digits a content code has: the widest canvas of the most LEDs (1368 columns of 24).
qsizetype largestContentCode();

struct CodeFile {
    // Why the file cannot be used, as data: each front end words it.
    enum Problem {
        None,
        Unreadable,      // file: why (too large, missing, a directory, the system's words)
        NotHexDigits,    // something in it besides hex digits and blanks around them
        TooManyDigits,   // digits: how many, more than largestContentCode()
        Empty,           // no digits: no columns to show
        NotWholeColumns, // digits: how many, not a whole number of columns for ledCount
        TooManyColumns,  // digits: how many, more columns than the canvas of ledCount holds
    };
    QString code; // the digits, the blanks around them trimmed
    Problem problem = None;
    platform::FileFault file;
    qsizetype digits = 0;
    int ledCount = 0;

    bool ok() const { return problem == None; }
};

// What a board holds of the content a HEX file carries: whole columns for the LED count, no more
// than a canvas of them (the export fills its last record with zero bytes).
QString boardContent(const QString &contentCode, int ledCount);

// Reads a code file; a pipe or FIFO is read too, never past the bound or a writer gone quiet.
CodeFile readCodeFile(const QString &path);
// The same, and the code must be whole columns for the LED count (8, 16, 24 or 32), one at least
// and no more than its canvas holds: what a board can show.
CodeFile readCodeFile(const QString &path, int ledCount);

} // namespace tavrin::encode
