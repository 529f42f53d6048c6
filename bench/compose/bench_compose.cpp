// What every keystroke costs: measuring the text and rendering the canvas.
#include "support/canvas.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

void fullCanvas(benchmark::State &state) {
    tavrin::compose::Canvas canvas = tavrin::bench::emptyCanvas(int(state.range(0)));
    const QString text = tavrin::bench::fullCanvasText();
    for (auto _ : state) {
        tavrin::bench::placeText(canvas, text);
        benchmark::DoNotOptimize(canvas.render());
    }
}

// A megabyte pasted into the edit box, rendered for the first time.
void pastedMegabyte(benchmark::State &state) {
    const QString text = u"旋转点阵 LED 1234567890 "_s.repeated(50000);
    for (auto _ : state) {
        tavrin::compose::Canvas canvas;
        canvas.height = 240;
        canvas.width = 30720;
        canvas.backdrop = {0, 0, canvas.width, canvas.height};
        canvas.setText(text, u"宋体"_s, 16);
        benchmark::DoNotOptimize(canvas.render());
    }
}

// One keystroke in a megabyte of text of many lines: only the changed line is measured again.
void keystrokeInMegabyte(benchmark::State &state) {
    const QString text = u"旋转点阵 LED 1234567890\r\n"_s.repeated(50000);
    tavrin::compose::Canvas canvas;
    canvas.height = 240;
    canvas.width = 30720;
    canvas.backdrop = {0, 0, canvas.width, canvas.height};
    canvas.setText(text, u"宋体"_s, 16);
    int key = 0;
    for (auto _ : state) {
        canvas.setText(text + QString::number(key++), u"宋体"_s, 16);
        benchmark::DoNotOptimize(canvas.render());
    }
}

} // namespace

BENCHMARK(fullCanvas)->Arg(8)->Arg(16)->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(pastedMegabyte)->Unit(benchmark::kMillisecond);
BENCHMARK(keystrokeInMegabyte)->Unit(benchmark::kMillisecond);
