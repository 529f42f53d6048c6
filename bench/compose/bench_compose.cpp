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

// The text first pasted into an enlarged window's canvas, measured and rendered.
void pasteAndRender(benchmark::State &state, const QString &text) {
    for (auto _ : state) {
        tavrin::compose::Canvas canvas;
        canvas.height = 240;
        canvas.width = 30720;
        canvas.backdrop = {0, 0, canvas.width, canvas.height};
        canvas.setText(text, u"宋体"_s, 16);
        benchmark::DoNotOptimize(canvas.render());
    }
}

// A megabyte pasted into the edit box, rendered for the first time.
void pastedMegabyte(benchmark::State &state) {
    pasteAndRender(state, u"旋转点阵 LED 1234567890 "_s.repeated(50000));
}

// 8 MB that is no writing: 2000 letters, each under 2000 combining accents.
void accentRuns(benchmark::State &state) {
    pasteAndRender(state, (u"a"_s + QString(2000, QChar(0x0301))).repeated(2000));
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
BENCHMARK(accentRuns)->Unit(benchmark::kMillisecond);
BENCHMARK(keystrokeInMegabyte)->Unit(benchmark::kMillisecond);
