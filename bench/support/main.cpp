// The entry point every benchmark program of the canvas shares: the fonts the program uses, on
// the offscreen platform, as the tests run them.
#include "platform/desktop.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    tavrin::platform::installFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
