#include "hex/firmware.h"

#include <benchmark/benchmark.h>

#include <QString>

namespace {

// The content code of a whole canvas: ledCount / 4 digits per column.
QString wholeCanvasCode(int ledCount) {
    const int columns = ledCount == 24 ? 1368 : ledCount == 32 ? 1024 : 2048;
    QString code;
    const int digits = columns * ledCount / 4;
    code.reserve(digits);
    for (int i = 0; i < digits; ++i) {
        code += QChar(u"0123456789abcdef"[(i * 7 + i / 13) % 16]);
    }
    return code;
}

void buildHexTextForWholeCanvas(benchmark::State &state) {
    const int variant = int(state.range(0));
    const QString code = wholeCanvasCode(int(state.range(1)));
    for (auto _ : state) {
        QString text = tavrin::hex::buildHexText(variant, code);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * code.size() / 2);
}

} // namespace

BENCHMARK(buildHexTextForWholeCanvas)
    ->ArgNames({"variant", "leds"})
    ->ArgsProduct({{2, 22}, {8, 16, 24, 32}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
