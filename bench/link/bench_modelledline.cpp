// A full 16-LED write on a modelled 9600-baud line: the slow-line library (built with the tests)
// gives a pseudo-terminal a 4096-byte output queue that empties at 960 bytes a second. The program
// starts itself again with the library preloaded. Reported per write: wall time over line time,
// and the process's CPU time during the send as a share of the line time.
#include "link/boardlink.h"
#include "link/sendjob.h"
#include "platform/pseudoterminal.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

using namespace tavrin;

namespace {

constexpr double lineRate = 960; // bytes a second

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QByteArray fullWrite() {
    QByteArray content(4096, '\0');
    for (int i = 0; i < content.size(); ++i) {
        content[i] = char((i * 37) % 256);
    }
    return QByteArray::fromHex("3333f00d") + content;
}

// As the window and the command line send: a job beside an event loop that takes its reports.
void modelledLineWrite(benchmark::State &state) {
    platform::PseudoTerminal pty;
    if (!pty.open()) {
        state.SkipWithError(pty.errorString().toLocal8Bit().constData());
        return;
    }
    qputenv("SLOWLINE_DEVICES", pty.devicePath().toLocal8Bit());
    std::atomic<bool> stop = false;
    std::atomic<qsizetype> arrived = 0;
    std::thread board([&] {
        char buffer[4096];
        while (!stop) {
            const qsizetype n = pty.read(buffer, sizeof buffer);
            if (n > 0) {
                arrived += n;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
    });
    const QByteArray bytes = fullWrite();
    const double lineSeconds = double(bytes.size()) / lineRate;
    double wall = 0;
    double cpu = 0;
    int reports = 0;
    for (auto _ : state) {
        link::SendJob job(QStringLiteral("COM 1"), pty.devicePath(), bytes);
        QObject::connect(&job, &link::SendJob::progressed, &job, [&] { ++reports; });
        QEventLoop loop;
        QObject::connect(&job, &link::SendJob::finished, &loop, &QEventLoop::quit);
        const double cpuBefore = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        job.start();
        loop.exec();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        cpu += cpuSeconds() - cpuBefore;
        wall += seconds;
        state.SetIterationTime(seconds);
        if (!job.result().sent()) {
            state.SkipWithError("the send failed");
            break;
        }
    }
    stop = true;
    board.join();
    const double runs = double(state.iterations());
    state.counters["wall/line"] = wall / runs / lineSeconds;
    state.counters["cpu%ofLine"] = 100 * cpu / runs / lineSeconds;
    state.counters["reports/s"] = double(reports) / wall;
}
BENCHMARK(modelledLineWrite)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The port list at start: one look at the port table, then a probe of each of its 16 devices.
void openablePorts(benchmark::State &state) {
    std::vector<std::unique_ptr<platform::PseudoTerminal>> ptys;
    QStringList table;
    for (int i = 0; i < link::offeredPorts; ++i) {
        ptys.push_back(std::make_unique<platform::PseudoTerminal>());
        if (!ptys.back()->open()) {
            state.SkipWithError("no pseudo-terminal");
            return;
        }
        table << ptys.back()->devicePath();
    }
    qputenv("TAVRIN_SERIAL_PORTS", table.join(u':').toLocal8Bit());
    for (auto _ : state) {
        benchmark::DoNotOptimize(link::openablePorts());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(openablePorts)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    if (!qEnvironmentVariable("LD_PRELOAD").contains(QStringLiteral("slowline"))) {
        ::setenv("LD_PRELOAD", TAVRIN_SLOWLINE, 1);
        ::execv("/proc/self/exe", argv);
        std::perror("bench_modelledline: cannot start itself again");
        return 1;
    }
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
