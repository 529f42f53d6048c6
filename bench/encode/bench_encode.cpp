// The canvas scan on full canvases, as the write action runs it.
#include "encode/contentcode.h"
#include "support/canvas.h"

#include <benchmark/benchmark.h>

static void makecode(benchmark::State &state) {
    const int leds = int(state.range(0));
    tavrin::compose::Canvas canvas = tavrin::bench::emptyCanvas(leds);
    tavrin::bench::placeText(canvas, tavrin::bench::fullCanvasText());
    const QImage image = canvas.render();
    for (auto _ : state) {
        benchmark::DoNotOptimize(tavrin::encode::makeContentCode(image, canvas.width, canvas.height, leds));
    }
}
BENCHMARK(makecode)->Arg(8)->Arg(16)->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);
