// The canvas scan on full canvases, as the write action runs it.
#include "compose/canvas.h"
#include "compose/geometry.h"
#include "encode/contentcode.h"
#include "platform/desktop.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

using namespace Qt::StringLiterals;

static void makecode(benchmark::State &state) {
    const int leds = int(state.range(0));
    tavrin::compose::Canvas canvas;
    canvas.height = float(leds * 15);
    canvas.width = tavrin::compose::canvasWidthTwips(leds, canvas.width);
    canvas.backdrop = {0, 0, canvas.width, canvas.height};
    canvas.setText(u"旋转点阵 LED 1234567890 "_s.repeated(20), u"宋体"_s, tavrin::compose::pointsToPixels(12));
    canvas.text.box.left = 0;
    canvas.text.box.top = (canvas.height - canvas.text.box.height) / 2;
    const QImage image = canvas.render();
    for (auto _ : state) {
        benchmark::DoNotOptimize(tavrin::encode::makeContentCode(image, canvas.width, canvas.height, leds));
    }
}
BENCHMARK(makecode)->Arg(8)->Arg(16)->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    tavrin::platform::installFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
