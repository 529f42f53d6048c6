#include "encode/boardview.h"

#include "base/hexdigit.h"
#include "base/ledcount.h"
#include "compose/geometry.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <QPainter>
#include <QRadialGradient>

using namespace Qt::StringLiterals;

namespace tavrin::encode {

QString codeRefusal(const QString &code, int ledCount, CodeUse use) {
    if (!base::isLedCount(ledCount)) {
        return u"the LED count must be 8, 16, 24 or 32, not %1"_s.arg(ledCount);
    }
    if (code.isEmpty() && use == CodeUse::Drawing) {
        return u"the content code is empty: there are no columns to draw"_s;
    }
    for (qsizetype i = 0; i < code.size(); ++i) {
        if (base::hexDigitValue(code.at(i)) < 0) {
            return u"the content code holds '%1' at position %2, which is not a hex digit"_s.arg(code.at(i)).arg(i + 1);
        }
    }
    const int digitsPerColumn = ledCount / 4;
    if (code.size() % digitsPerColumn != 0) {
        return u"the content code has %1 digits, which is not a whole number of %2-digit columns for %3 LEDs"_s
            .arg(code.size())
            .arg(digitsPerColumn)
            .arg(ledCount);
    }
    if (const qsizetype columns = code.size() / digitsPerColumn; columns > compose::canvasWidthDots(ledCount)) {
        return u"the content code has %1 columns, more than the %2 of a %3-LED canvas"_s.arg(columns)
            .arg(compose::canvasWidthDots(ledCount))
            .arg(ledCount);
    }
    return {};
}

namespace {

constexpr QRgb litDot = qRgb(255, 0, 0);
constexpr QRgb unlitDot = qRgb(64, 64, 64);

// Row 0 is the top dot: the most significant bit of the column's first digit.
bool dotLit(const QString &code, qsizetype column, int row, int ledCount) {
    const int digit = base::hexDigitValue(code.at(column * (ledCount / 4) + row / 4));
    return (digit & (8 >> (row % 4))) != 0;
}

// One cell: black, with the LED as a disc that leaves a thin black gap to its neighbours.
QImage ledSprite(int scale, bool lit) {
    QImage sprite(scale, scale, QImage::Format_RGB32);
    sprite.fill(Qt::black);
    if (scale <= 2) {
        sprite.fill(lit ? litDot : unlitDot);
        return sprite;
    }
    const qreal margin = scale / 10.0;
    const QRectF disc(margin, margin, scale - 2 * margin, scale - 2 * margin);
    QRadialGradient shade(disc.center(), disc.width() / 2, disc.center() - QPointF(scale / 8.0, scale / 8.0));
    if (lit) {
        shade.setColorAt(0, QColor(255, 170, 170));
        shade.setColorAt(0.45, QColor(255, 0, 0));
        shade.setColorAt(1, QColor(170, 0, 0));
    } else {
        shade.setColorAt(0, QColor(80, 80, 80));
        shade.setColorAt(1, QColor(36, 36, 36));
    }
    QPainter painter(&sprite);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawEllipse(disc);
    return sprite;
}

void setError(QString *error, const QString &message) {
    if (error) {
        *error = message;
    }
}

} // namespace

QImage drawBoard(const QString &code, int ledCount, int scale, QString *error) {
    return drawBoardColumns(code, ledCount, scale, 0, code.size(), error);
}

QImage drawBoardColumns(const QString &code, int ledCount, int scale, qsizetype first, qsizetype count,
                        QString *error) {
    if (const QString refusal = codeRefusal(code, ledCount); !refusal.isEmpty()) {
        setError(error, refusal);
        return {};
    }
    if (scale < smallestBoardScale || scale > largestBoardScale) {
        setError(error, u"the scale must be %1 to %2 pixels a dot, not %3"_s.arg(smallestBoardScale)
                            .arg(largestBoardScale)
                            .arg(scale));
        return {};
    }
    first = std::max<qsizetype>(0, first);
    const qint64 columns = std::max<qint64>(0, std::min<qint64>(count, code.size() / (ledCount / 4) - first));
    if (columns == 0) {
        setError(error, u"there are no columns from column %1 on"_s.arg(first));
        return {};
    }
    const qint64 width = columns * scale;
    const qint64 height = qint64(ledCount) * scale;
    const qint64 bytes = width * height * 4;
    if (bytes > largestBoardImageBytes) {
        setError(error, u"the picture would be %1 × %2 pixels, %3 MB, more than the %4 MB allowed: "
                        u"draw it at a smaller scale"_s.arg(width)
                            .arg(height)
                            .arg((bytes + (1 << 20) - 1) >> 20)
                            .arg(largestBoardImageBytes >> 20));
        return {};
    }
    QImage board(int(width), int(height), QImage::Format_RGB32);
    if (board.isNull()) {
        setError(error, u"there is not enough memory for a picture of %1 × %2 pixels"_s.arg(width).arg(height));
        return {};
    }
    const QImage lit = ledSprite(scale, true);
    const QImage unlit = ledSprite(scale, false);
    const size_t cellBytes = size_t(scale) * sizeof(QRgb);
    for (int row = 0; row < ledCount; ++row) {
        for (int line = 0; line < scale; ++line) {
            auto *target = reinterpret_cast<QRgb *>(board.scanLine(row * scale + line));
            const QRgb *litLine = reinterpret_cast<const QRgb *>(lit.constScanLine(line));
            const QRgb *unlitLine = reinterpret_cast<const QRgb *>(unlit.constScanLine(line));
            for (qint64 column = 0; column < columns; ++column) {
                std::memcpy(target + column * scale, dotLit(code, first + column, row, ledCount) ? litLine : unlitLine,
                            cellBytes);
            }
        }
    }
    setError(error, {});
    return board;
}

QImage dotsOf(const QString &code, int ledCount, QString *error) {
    if (const QString refusal = codeRefusal(code, ledCount); !refusal.isEmpty()) {
        setError(error, refusal);
        return {};
    }
    const qsizetype columns = code.size() / (ledCount / 4);
    if (columns > std::numeric_limits<int>::max()) {
        setError(error, u"the content code has more columns than a picture can hold"_s);
        return {};
    }
    QImage dots(int(columns), ledCount, QImage::Format_RGB32);
    if (dots.isNull()) {
        setError(error, u"there is not enough memory for a picture of %1 × %2 dots"_s.arg(columns).arg(ledCount));
        return {};
    }
    for (int row = 0; row < ledCount; ++row) {
        auto *line = reinterpret_cast<QRgb *>(dots.scanLine(row));
        for (qsizetype column = 0; column < columns; ++column) {
            line[column] = dotLit(code, column, row, ledCount) ? litDot : unlitDot;
        }
    }
    setError(error, {});
    return dots;
}

} // namespace tavrin::encode
