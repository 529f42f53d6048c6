#include "link/boardlink.h"
#include "platform/pseudoterminal.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

#include <QCoreApplication>

using namespace tavrin;

namespace {

QString fullSixteenLedCode() {
    QByteArray content(4096, '\0');
    for (int i = 0; i < content.size(); ++i) {
        content[i] = char((i * 37) % 256);
    }
    return QString::fromLatin1(content.toHex());
}

// Erase and write commands as the actions build them, from the hex text to the bytes.
void framing(benchmark::State &state) {
    const QString code = fullSixteenLedCode();
    for (auto _ : state) {
        benchmark::DoNotOptimize(link::frameBytes(link::frameText(QString::fromLatin1(link::writeCommand), code)));
    }
}
BENCHMARK(framing)->Unit(benchmark::kMicrosecond);

// 4 command bytes and 4096 content bytes, one write per byte, drained and closed.
void fullSixteenLedWrite(benchmark::State &state) {
    platform::PseudoTerminal pty;
    if (!pty.open()) {
        state.SkipWithError(pty.errorString().toLocal8Bit().constData());
        return;
    }
    // The board's side: takes whatever arrives, as fast as it comes.
    std::atomic<bool> stop = false;
    std::thread board([&] {
        char buffer[4096];
        while (!stop) {
            if (pty.read(buffer, sizeof buffer) <= 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
    });
    const QByteArray bytes =
        link::frameBytes(link::frameText(QString::fromLatin1(link::writeCommand), fullSixteenLedCode()));
    int calls = 0;
    for (auto _ : state) {
        const link::SendResult result =
            link::sendBytes(QStringLiteral("COM 1"), pty.devicePath(), bytes, [&](qint64, qint64) { ++calls; });
        if (!result.sent()) {
            state.SkipWithError("the send failed");
            break;
        }
        // Closing a port leaves its socket notifiers for the event loop to delete.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    stop = true;
    board.join();
    state.SetBytesProcessed(state.iterations() * bytes.size());
    benchmark::DoNotOptimize(calls);
}
BENCHMARK(fullSixteenLedWrite)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
