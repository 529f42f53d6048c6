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

// A megabyte pasted into the edit box.
void pastedMegabyte(benchmark::State &state) {
    render(state, u"旋转点阵 LED 1234567890 "_s.repeated(50000));
}

} // namespace

BENCHMARK(fullCanvas)->Arg(8)->Arg(16)->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(pastedMegabyte)->Arg(16)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    tavrin::platform::installFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
