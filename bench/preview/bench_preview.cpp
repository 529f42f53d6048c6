// The board preview's two live paths: the lit-dot view after a keystroke, and frames of the
// spinning board.
#include "compose/composer.h"
#include "encode/boardview.h"
#include "encode/contentcode.h"
#include "preview/spinrenderer.h"
#include "support/canvas.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

const QString text = tavrin::bench::fullCanvasText();

// What a keystroke costs the lit-dot view on a full 16-LED canvas: the text measured and rendered,
// the canvas scanned as the write scans it, and the visible part of the view (900 pixels at 4
// pixels a dot) drawn.
void litDotKeystroke(benchmark::State &state) {
    tavrin::compose::Composer composer;
    composer.applyLedCount(16);
    composer.applyStartGeometry();
    composer.run(text, u"宋体"_s, 12);
    int i = 0;
    for (auto _ : state) {
        composer.run(text + QChar(u'a' + (i++ % 26)), u"宋体"_s, 12);
        const QString code = tavrin::encode::makeContentCode(composer.render(), composer.canvas().width,
                                                             composer.canvas().height, composer.ledCount());
        benchmark::DoNotOptimize(tavrin::encode::drawBoardColumns(code, 16, 4, 0, 900 / 4 + 2));
    }
}
BENCHMARK(litDotKeystroke)->Unit(benchmark::kMillisecond);

// One frame of the spinning board, 480 × 480 pixels, 100 ms persistence, for a variant at a speed.
// Sixty frames a second take 60 × its CPU time of one core.
void spinFrame(benchmark::State &state) {
    tavrin::compose::Composer composer;
    composer.applyLedCount(16);
    composer.applyStartGeometry();
    composer.run(text, u"宋体"_s, 12);
    const QString code = tavrin::encode::makeContentCode(composer.render(), composer.canvas().width,
                                                         composer.canvas().height, composer.ledCount());
    tavrin::preview::SpinRenderer renderer;
    renderer.setContent(code, 16);
    renderer.setModel(tavrin::preview::BoardModel::forVariant(int(state.range(0))));
    renderer.setSettings({double(state.range(1)), 100, true});
    QImage frame;
    double time = 0;
    for (auto _ : state) {
        renderer.render(frame, 480, time);
        time += 1e6 / 60;
    }
}
BENCHMARK(spinFrame)->Args({22, 1200})->Args({0, 1200})->Args({2, 3000})->Unit(benchmark::kMillisecond);

} // namespace
