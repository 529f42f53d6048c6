#include "compose/geometry.h"

#include <cmath>

using namespace Qt::StringLiterals;

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

QString ledCountItem(int index) {
    return QLatin1StringView(productTitle) + QString::number(8 * index + 8) + u"象素"_s;
}

int ledCountFromItem(const QString &item) {
    const qsizetype title = QLatin1StringView(productTitle).size();
    const QString digits = item.mid(title, item.size() - title - 2);
    // Like a lenient number read: leading blanks, then digits up to the first other character.
    int value = 0;
    qsizetype i = 0;
    while (i < digits.size() && digits.at(i) == u' ') {
        ++i;
    }
    for (; i < digits.size() && digits.at(i).isDigit() && value < 100000; ++i) {
        value = value * 10 + digits.at(i).digitValue();
    }
    return value;
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
