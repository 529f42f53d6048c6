#include "encode/contentcode.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace tavrin::encode {

namespace {

constexpr char16_t hexDigits[] = u"0123456789abcdef";

bool lit(const QImage &canvas, int x, int y) {
    if (x < 0 || y < 0 || x >= canvas.width() || y >= canvas.height()) {
        return false;
    }
    return qRed(canvas.pixel(x, y)) > 128;
}

} // namespace

int samplePoints(float lengthTwips) {
    // Below 2^24 every point 5 + 15k is exact in single precision, so counting them one by one (as
    // the window always has) and computing the count agree. Beyond, the one-by-one count would
    // stop advancing and never end; the count is computed and held within an int.
    if (!(lengthTwips >= 5)) {
        return 0;
    }
    const double count = std::floor((double(lengthTwips) - 5) / 15) + 1;
    return int(std::min(count, double(std::numeric_limits<int>::max())));
}

QString columnBits(const QImage &canvas, int x, int rows) {
    QString bits(rows, u'0');
    for (int y = 0; y < rows; ++y) {
        if (lit(canvas, x, y)) {
            bits[y] = u'1';
        }
    }
    return bits;
}

QString bitsToHex(const QString &bits) {
    QString hex;
    hex.reserve(bits.size() / 4);
    for (qsizetype i = 0; i + 4 <= bits.size(); i += 4) {
        int value = 0;
        for (qsizetype j = i; j < i + 4; ++j) {
            value = value * 2 + (bits.at(j) == u'1' ? 1 : 0);
        }
        hex.append(QChar(hexDigits[value]));
    }
    return hex;
}

QString badColumnMessage(const QString &bits, int ledCount) {
    return bits + u"-"_s + QString::number(bits.size()) + u"-"_s + QString::number(ledCount);
}

QString makeContentCode(const QImage &canvas, float widthTwips, float heightTwips, int ledCount,
                        const ScanHooks &hooks) {
    const int columns = samplePoints(widthTwips);
    const int rows = samplePoints(heightTwips);
    const QImage image = canvas.format() == QImage::Format_RGB32 || canvas.format() == QImage::Format_ARGB32
                             ? canvas
                             : canvas.convertToFormat(QImage::Format_RGB32);
    QString code;
    if (rows == ledCount) {
        code.reserve(qsizetype(columns) * ledCount / 4);
    }
    for (int x = 0; x < columns; ++x) {
        if (rows == ledCount) {
            // The common case reads the dots straight into digits; same bits, same order.
            for (int y = 0; y + 4 <= rows; y += 4) {
                const int value = (lit(image, x, y) ? 8 : 0) | (lit(image, x, y + 1) ? 4 : 0) |
                                  (lit(image, x, y + 2) ? 2 : 0) | (lit(image, x, y + 3) ? 1 : 0);
                code.append(QChar(hexDigits[value]));
            }
        } else if (hooks.badColumn) {
            hooks.badColumn(badColumnMessage(columnBits(image, x, rows), ledCount));
        }
        if (hooks.columnDone) {
            hooks.columnDone(x, columns);
        }
    }
    return code;
}

QString makeContentCode(const compose::Composer &composer, const ScanHooks &hooks) {
    return makeContentCode(composer.render(), composer.canvas().width, composer.canvas().height, composer.ledCount(),
                           hooks);
}

} // namespace tavrin::encode
