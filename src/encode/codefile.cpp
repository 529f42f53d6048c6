#include "encode/codefile.h"

#include "base/hexdigit.h"
#include "base/ledcount.h"
#include "compose/geometry.h"
#include "platform/files.h"

#include <algorithm>

namespace tavrin::encode {

qsizetype largestContentCode() {
    qsizetype largest = 0;
    for (const int leds : base::ledCounts) {
        largest = std::max<qsizetype>(largest, qsizetype(compose::canvasWidthDots(leds)) * leds / 4);
    }
    return largest;
}

QString boardContent(const QString &contentCode, int ledCount) {
    if (!base::isLedCount(ledCount)) {
        return {};
    }
    const qsizetype digits = ledCount / 4;
    const qsizetype columns = std::min<qsizetype>(contentCode.size() / digits, compose::canvasWidthDots(ledCount));
    return contentCode.left(columns * digits);
}

CodeFile readCodeFile(const QString &path) {
    CodeFile file;
    platform::FileRead read = platform::readBounded(path, {.maxBytes = largestCodeFile, .streams = true});
    if (!read.ok()) {
        file.problem = CodeFile::Unreadable;
        file.file = read.fault;
        return file;
    }
    file.code = QString::fromLatin1(read.bytes).trimmed();
    file.digits = file.code.size();
    if (!base::isHexDigits(file.code)) {
        file.problem = CodeFile::NotHexDigits;
    } else if (file.digits > largestContentCode()) {
        file.problem = CodeFile::TooManyDigits;
    }
    return file;
}

CodeFile readCodeFile(const QString &path, int ledCount) {
    CodeFile file = readCodeFile(path);
    file.ledCount = ledCount;
    if (file.ok() && file.code.isEmpty()) {
        file.problem = CodeFile::Empty;
    } else if (file.ok() && (!base::isLedCount(ledCount) || file.digits % (ledCount / 4) != 0)) {
        file.problem = CodeFile::NotWholeColumns;
    } else if (file.ok() && file.digits / (ledCount / 4) > compose::canvasWidthDots(ledCount)) {
        file.problem = CodeFile::TooManyColumns;
    }
    return file;
}

} // namespace tavrin::encode
