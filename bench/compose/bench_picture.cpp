// What a picture costs: preparing a camera's photo for the board, and a change of its dots.
#include "compose/composer.h"
#include "compose/dots.h"
#include "compose/preparation.h"
#include "encode/contentcode.h"
#include "preview/roundmap.h"

#include <benchmark/benchmark.h>

namespace {

// A 4000 × 3000 photo's worth of pixels: smooth shading with fine detail, as a camera gives.
QImage photo() {
    QImage image(4000, 3000, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = qRgb((x / 16) % 256, (y / 12) % 256, ((x ^ y) * 7) % 256);
        }
    }
    return image;
}

tavrin::compose::PictureSettings photoSettings() {
    tavrin::compose::PictureSettings settings;
    settings.crop = QRect(200, 150, 3600, 2700);
    settings.fit = tavrin::compose::Fit::Height;
    settings.dots.method = tavrin::compose::DotMethod::Threshold;
    return settings;
}

// Opening a photo with crop and fit to 16 LEDs: crop, shrink, dots, into the picture layer.
void preparePhoto(benchmark::State &state) {
    const QImage loaded = photo();
    const tavrin::compose::PictureSettings settings = photoSettings();
    tavrin::compose::Composer composer;
    composer.switchMode();
    for (auto _ : state) {
        const tavrin::compose::ShapedPicture shaped =
            tavrin::preview::shapeForCanvas(loaded, settings, 16, composer.canvas().widthDots());
        composer.setPicture(tavrin::compose::makeDots(shaped.image, settings.dots));
        benchmark::DoNotOptimize(composer.render());
    }
}

// A step of the threshold slider on a prepared photo: dots again from the shaped picture (never
// the photo), the canvas drawn and scanned as the lit-dot view does.
void thresholdStep(benchmark::State &state) {
    tavrin::compose::PictureSettings settings = photoSettings();
    const tavrin::compose::ShapedPicture shaped = tavrin::preview::shapeForCanvas(photo(), settings, 16, 2048);
    tavrin::compose::Composer composer;
    composer.switchMode();
    composer.setPicture(shaped.image);
    int step = 0;
    for (auto _ : state) {
        settings.dots.threshold = 100 + step++ % 56;
        composer.replacePicture(tavrin::compose::makeDots(shaped.image, settings.dots));
        benchmark::DoNotOptimize(composer.render());
        benchmark::DoNotOptimize(tavrin::encode::makeContentCode(composer));
    }
}

// A round picture for board 22 at 1200 rpm, from a 1000 × 1000 picture.
void roundPicture(benchmark::State &state) {
    const QImage loaded = photo().copy(0, 0, 1000, 1000);
    tavrin::compose::PictureSettings settings;
    settings.round = {true, 22, 1200, 100, false};
    for (auto _ : state) {
        benchmark::DoNotOptimize(tavrin::preview::shapeForCanvas(loaded, settings, 16, 2048));
    }
}

} // namespace

BENCHMARK(preparePhoto)->Unit(benchmark::kMillisecond);
BENCHMARK(thresholdStep)->Unit(benchmark::kMillisecond);
BENCHMARK(roundPicture)->Unit(benchmark::kMillisecond);
