#include "compose/pattern.h"

#include "compose/canvas.h"

#include <algorithm>

#include <QString>

namespace tavrin::compose {

namespace {

// Digits three dots wide and five high, a row to a line, the leftmost dot in the highest bit.
constexpr unsigned char digitRows[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 3, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 2, 2}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

int letterWidth(int ledCount) {
    return std::max(4, ledCount / 2);
}

int strokeWidth(int ledCount) {
    return std::max(1, ledCount / 8);
}

} // namespace

int testPatternRampColumn(int ledCount) {
    return ledCount + 2 + letterWidth(ledCount) + 2;
}

QImage testPattern(int ledCount, int width) {
    QImage image(std::max(1, width), std::max(1, ledCount), QImage::Format_RGB32);
    image.fill(backdropColour);
    const auto light = [&image](int x, int y) {
        if (x >= 0 && y >= 0 && x < image.width() && y < image.height()) {
            reinterpret_cast<QRgb *>(image.scanLine(y))[x] = glyphColour;
        }
    };
    const int middle = ledCount / 2;
    // The arrow: a shaft two dots thick, then a head narrowing to its tip in the last column.
    for (int x = 0; x < ledCount; ++x) {
        const int spread = x < middle ? 0 : ledCount - 1 - x;
        for (int y = middle - 1 - spread; y <= middle + spread; ++y) {
            light(x, y);
        }
    }
    const int letter = ledCount + 2;
    const int stroke = strokeWidth(ledCount);
    const int letterEnd = letter + letterWidth(ledCount);
    for (int x = letter; x < letterEnd; ++x) {
        for (int y = 0; y < ledCount; ++y) {
            const bool stem = x < letter + stroke;
            const bool bar = y < stroke;
            const bool middleBar = y >= middle - stroke && y < middle && x < letter + letterWidth(ledCount) * 3 / 4;
            if (stem || bar || middleBar) {
                light(x, y);
            }
        }
    }
    const int ramp = testPatternRampColumn(ledCount);
    for (int i = 0; i < ledCount; ++i) {
        for (int y = 0; y <= i; ++y) {
            light(ramp + i, y);
        }
    }
    for (int mark = 100; mark < width; mark += 100) {
        for (int y = 0; y < ledCount; ++y) {
            light(mark, y);
        }
        const QString number = QString::number(mark);
        for (qsizetype d = 0; d < number.size(); ++d) {
            const int left = mark + 2 + int(d) * 4;
            const int digit = number.at(d).digitValue();
            for (int y = 0; y < 5; ++y) {
                for (int x = 0; x < 3; ++x) {
                    if (digitRows[digit][y] & (4 >> x)) {
                        light(left + x, y);
                    }
                }
            }
        }
    }
    return image;
}

} // namespace tavrin::compose
