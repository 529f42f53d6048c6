// Stop requests are signals on Unix systems.
#include "platform/terminal.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace {

// A signal handler may only write to a descriptor: the event loop reads the other end.
int stopPipe[2] = {-1, -1};

void onStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &byte, 1);
}

} // namespace

bool standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

bool standardOutputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

StopRequests::StopRequests(QObject *parent)
    : QObject(parent) {
    if (stopPipe[0] >= 0 || ::pipe(stopPipe) != 0) {
        m_error = u"cannot set up signal handling"_s;
        return;
    }
    ::fcntl(stopPipe[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(stopPipe[1], F_SETFD, FD_CLOEXEC);
    auto *notifier = new QSocketNotifier(stopPipe[0], QSocketNotifier::Read, this);
    m_watcher = notifier;
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(stopPipe[0], &byte, 1);
        Q_EMIT requested();
    });
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
}

StopRequests::~StopRequests() {
    if (!m_watcher) {
        return;
    }
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    delete m_watcher;
    ::close(stopPipe[0]);
    ::close(stopPipe[1]);
    stopPipe[0] = stopPipe[1] = -1;
}

} // namespace tavrin::platform
