#include "compose/dots.h"

#include "compose/canvas.h"

#include <algorithm>
#include <vector>

namespace tavrin::compose {

namespace {

// Thresholds 0..63 of the 8 × 8 Bayer matrix.
constexpr int bayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},    {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},   {63, 31, 55, 23, 61, 29, 53, 21},
};

} // namespace

int brightness(QRgb pixel) {
    const int luma = (299 * qRed(pixel) + 587 * qGreen(pixel) + 114 * qBlue(pixel) + 500) / 1000;
    return (luma * qAlpha(pixel) + 127) / 255;
}

QImage makeDots(const QImage &picture, const DotSettings &settings) {
    if (settings.method == DotMethod::AsItIs || picture.isNull()) {
        return picture;
    }
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    const int width = source.width();
    const int height = source.height();
    QImage dots(width, height, QImage::Format_RGB32);
    dots.setDotsPerMeterX(picture.dotsPerMeterX());
    dots.setDotsPerMeterY(picture.dotsPerMeterY());
    const auto level = [&](int x, int y) {
        const int value = brightness(reinterpret_cast<const QRgb *>(source.constScanLine(y))[x]);
        return settings.invert ? 255 - value : value;
    };
    const int threshold = std::clamp(settings.threshold, 0, 255);
    // Error diffusion keeps sixteenths of a level in integers, so that it is exact on every machine.
    std::vector<int> error(settings.method == DotMethod::ErrorDiffusion ? size_t(2) * (width + 2) : 0, 0);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(dots.scanLine(y));
        int *here = error.empty() ? nullptr : error.data() + (y % 2) * (width + 2) + 1;
        int *below = error.empty() ? nullptr : error.data() + ((y + 1) % 2) * (width + 2) + 1;
        if (below) {
            std::fill(below - 1, below + width + 1, 0);
        }
        for (int x = 0; x < width; ++x) {
            const int value = level(x, y);
            bool lit = false;
            switch (settings.method) {
            case DotMethod::Threshold:
                lit = value >= threshold;
                break;
            case DotMethod::Ordered:
                // The threshold shifts the brightness; the matrix spreads the decision over 64 levels.
                lit = (value + 128 - threshold) * 64 > (bayer[y % 8][x % 8] * 2 + 1) * 128;
                break;
            case DotMethod::ErrorDiffusion: {
                const int wanted = value * 16 + here[x];
                lit = wanted >= threshold * 16;
                const int left = wanted - (lit ? 255 * 16 : 0);
                here[x + 1] += left * 7 / 16;
                below[x - 1] += left * 3 / 16;
                below[x] += left * 5 / 16;
                below[x + 1] += left / 16;
                break;
            }
            case DotMethod::AsItIs:
                break;
            }
            line[x] = lit ? glyphColour : backdropColour;
        }
    }
    return dots;
}

} // namespace tavrin::compose
