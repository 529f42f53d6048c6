#include "compose/canvas.h"
#include "compose/dots.h"
#include "fuzz.h"

// Any picture made into dots: the first bytes pick the method, threshold, invert, the picture's
// size and format, the rest are its pixels. Every dot comes out lit or unlit, the picture keeps its
// size, and inverting a threshold lights exactly the dots the opposite threshold leaves dark.
using namespace tavrin::compose;

TAVRIN_FUZZ_INITIALIZE

namespace {

bool isDot(QRgb pixel) {
    return pixel == glyphColour || pixel == backdropColour;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 6) {
        return 0;
    }
    const auto method = DotMethod(data[0] % 4);
    const int threshold = data[1];
    const bool invert = data[2] & 1;
    const int width = data[3] % 64 + 1;
    const int height = data[4] % 64 + 1;
    const QImage::Format format =
        QList<QImage::Format>{QImage::Format_ARGB32, QImage::Format_RGB32, QImage::Format_Grayscale8,
                              QImage::Format_Indexed8, QImage::Format_RGB888}
            .at(data[5] % 5);
    QImage picture(width, height, format);
    if (format == QImage::Format_Indexed8) {
        QList<QRgb> colours;
        for (int i = 0; i < 256; ++i) {
            colours.append(qRgba(i, 255 - i, i * 7 % 256, i * 3 % 256));
        }
        picture.setColorTable(colours);
    }
    // The pixels, the input's bytes over and over (zero when there are none).
    const size_t pixelBytes = size - 6;
    for (int y = 0; y < height; ++y) {
        uchar *line = picture.scanLine(y);
        for (qsizetype i = 0; i < picture.bytesPerLine(); ++i) {
            line[i] = pixelBytes ? data[6 + size_t(y * picture.bytesPerLine() + i) % pixelBytes] : 0;
        }
    }

    const QImage dots = makeDots(picture, {method, threshold, invert});
    FUZZ_CHECK(dots.size() == picture.size());
    if (method == DotMethod::AsItIs) {
        FUZZ_CHECK(dots == picture);
        return 0;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            FUZZ_CHECK(isDot(dots.pixel(x, y)));
        }
    }
    if (method == DotMethod::Threshold && threshold > 0) {
        const QImage opposite = makeDots(picture, {method, 256 - threshold, !invert});
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                FUZZ_CHECK((dots.pixel(x, y) == glyphColour) != (opposite.pixel(x, y) == glyphColour));
            }
        }
    }
    return 0;
}
