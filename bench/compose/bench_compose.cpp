// What every keystroke costs: measuring the text and rendering the canvas.
#include "compose/canvas.h"
#include "compose/geometry.h"
#include "platform/desktop.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace {

void render(benchmark::State &state, const QString &text) {
    const int leds = int(state.range(0));
    tavrin::compose::Canvas canvas;
    canvas.height = float(leds * 15);
    canvas.width = tavrin::compose::canvasWidthTwips(leds, canvas.width);
    canvas.backdrop = {0, 0, canvas.width, canvas.height};
    for (auto _ : state) {
        canvas.setText(text, u"宋体"_s, tavrin::compose::pointsToPixels(12));
        canvas.text.box.left = 0;
        canvas.text.box.top = (canvas.height - canvas.text.box.height) / 2;
        benchmark::DoNotOptimize(canvas.render());
    }
}

void fullCanvas(benchmark::State &state) {
    render(state, u"旋转点阵 LED 1234567890 "_s.repeated(20));
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

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    tavrin::platform::installFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
