#pragma once

#include <QImage>

// Pictures made into dots: every pixel becomes a lit dot (pure red) or an unlit one (the backdrop's
// colour), so that the canvas shows exactly what the scan will read.
namespace tavrin::compose {

enum class DotMethod {
    AsItIs,        // the picture unchanged: a dot lights where its red is 129 or more
    Threshold,     // lit where the brightness reaches the threshold
    Ordered,       // an 8 × 8 Bayer matrix around the threshold
    ErrorDiffusion // Floyd–Steinberg, left to right on every row, against the threshold
};

struct DotSettings {
    DotMethod method = DotMethod::AsItIs;
    int threshold = 128; // 0..255 on the brightness scale
    bool invert = false; // dark parts light (ignored as it is)

    bool operator==(const DotSettings &) const = default;
};

// Brightness 0..255 of a pixel: Rec. 601 luma of the colour over black (transparent is dark).
int brightness(QRgb pixel);

// The picture made into dots as the settings say, the same size; as it is, the picture itself.
QImage makeDots(const QImage &picture, const DotSettings &settings);

} // namespace tavrin::compose
