// A serial line at its real pace, put under a pseudo-terminal for tests and benchmarks. Preloaded
// (LD_PRELOAD) into the process under test, it watches the descriptors opened on the devices named in
// SLOWLINE_DEVICES (colon-separated) and behaves as a USB serial adapter's kernel queue does:
// - write() takes bytes into a queue of SLOWLINE_QUEUE bytes (4096), which empties onto the
//   pseudo-terminal at SLOWLINE_RATE bytes a second (960, that is 9600 baud 8N1), on a clock;
//   when it is full, a non-blocking write takes what fits or fails with EAGAIN, a blocking one waits;
// - ioctl(TIOCOUTQ) answers the bytes still queued; poll() reports room only once fewer than 256
//   bytes are queued, as the kernel's terminal layer does; tcdrain() waits until the queue is empty;
//   tcflush(TCOFLUSH) discards it; close() waits for it to empty; new line settings apply to
//   the bytes written after them, as the kernel processes output when it is written;
// - once the reader has closed the other side (the cable is pulled), writes and queries fail with
//   EIO and poll() reports a hang-up, as for an adapter that was unplugged.
// The program under test sees ordinary system calls.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t wakeupCharacters = 256; // the terminal layer's threshold for "writable"
constexpr auto forwardPeriod = std::chrono::milliseconds(5);
constexpr auto closingWait = std::chrono::seconds(30);

bool needsMode(int flags) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE;
}

template <typename F> F real(const char *name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

using WriteFn = ssize_t (*)(int, const void *, size_t);
using CloseFn = int (*)(int);
using IoctlFn = int (*)(int, unsigned long, ...);
using PollFn = int (*)(pollfd *, nfds_t, int);
using PpollFn = int (*)(pollfd *, nfds_t, const timespec *, const sigset_t *);
using OpenFn = int (*)(const char *, int, ...);
using OpenatFn = int (*)(int, const char *, int, ...);
using TcFn = int (*)(int, int);
using TcdrainFn = int (*)(int);
using TcsetattrFn = int (*)(int, int, const termios *);

TcsetattrFn realTcsetattr() {
    static const TcsetattrFn f = real<TcsetattrFn>("tcsetattr");
    return f;
}

WriteFn realWrite() {
    static const WriteFn f = real<WriteFn>("write");
    return f;
}

double envNumber(const char *name, double fallback) {
    const char *text = std::getenv(name);
    const double value = text ? std::strtod(text, nullptr) : 0;
    return value > 0 ? value : fallback;
}

bool isModelledDevice(const char *path) {
    const char *list = std::getenv("SLOWLINE_DEVICES");
    if (!list || !path) {
        return false;
    }
    const std::string devices = list;
    std::size_t start = 0;
    while (start <= devices.size()) {
        const std::size_t end = std::min(devices.find(':', start), devices.size());
        if (devices.compare(start, end - start, path) == 0 && std::strlen(path) == end - start) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

struct Line {
    double rate = 960;
    std::size_t capacity = 4096;
    std::string queue;  // taken by write(), not yet on the wire
    std::string outbox; // on the wire, not yet handed to the pseudo-terminal
    double credit = 0;  // bytes the clock has let go, fractions included
    Clock::time_point last = Clock::now();
    bool dead = false;
    bool settingsWaiting = false; // settings made while bytes were still on their way
    termios settings{};
};

std::mutex lock;
std::condition_variable changed;
std::map<int, Line> lines;
std::atomic<int> lineCount = 0;

// Moves the bytes that the clock says have left the queue into the outbox.
void advance(Line &line, Clock::time_point now) {
    if (line.queue.empty()) {
        line.credit = 0;
        line.last = now;
        return;
    }
    line.credit += std::chrono::duration<double>(now - line.last).count() * line.rate;
    line.last = now;
    const std::size_t gone = std::min(line.queue.size(), std::size_t(line.credit));
    line.credit -= double(gone);
    line.outbox.append(line.queue, 0, gone);
    line.queue.erase(0, gone);
}

// Settings made while bytes were on their way take effect once they are through (or at the close).
void applyWaitingSettings(int fd, Line &line, bool closing) {
    if (line.settingsWaiting && (closing || (line.queue.empty() && line.outbox.empty()))) {
        line.settingsWaiting = false;
        realTcsetattr()(fd, TCSANOW, &line.settings);
    }
}

// Hands the outbox to the pseudo-terminal as far as it takes it; notices a reader that went away.
void forward(int fd, Line &line) {
    pollfd watch{fd, POLLOUT, 0};
    static const PollFn realPoll = real<PollFn>("poll");
    if (realPoll(&watch, 1, 0) == 1 && (watch.revents & (POLLHUP | POLLERR))) {
        line.dead = true;
    }
    if (line.dead) {
        line.queue.clear();
        line.outbox.clear();
        return;
    }
    if (line.outbox.empty() || !(watch.revents & POLLOUT)) {
        return;
    }
    const ssize_t n = realWrite()(fd, line.outbox.data(), line.outbox.size());
    if (n > 0) {
        line.outbox.erase(0, std::size_t(n));
    } else if (n < 0 && errno == EIO) {
        line.dead = true;
    }
    applyWaitingSettings(fd, line, false);
}

void forwarder() {
    std::unique_lock guard(lock);
    for (;;) {
        changed.wait_for(guard, forwardPeriod, [] { return false; });
        const auto now = Clock::now();
        for (auto &[fd, line] : lines) {
            advance(line, now);
            forward(fd, line);
        }
        changed.notify_all();
    }
}

void watch(int fd, const char *path) {
    if (fd < 0 || !isModelledDevice(path)) {
        return;
    }
    static std::once_flag started;
    std::call_once(started, [] { std::thread(forwarder).detach(); });
    std::lock_guard guard(lock);
    Line line;
    line.rate = envNumber("SLOWLINE_RATE", 960);
    line.capacity = std::size_t(envNumber("SLOWLINE_QUEUE", 4096));
    lines[fd] = line;
    lineCount = int(lines.size());
}

Line *find(int fd) {
    if (lineCount == 0) {
        return nullptr;
    }
    const auto it = lines.find(fd);
    return it == lines.end() ? nullptr : &it->second;
}

// Waits until the queue is empty or the line is dead; false when it died or time ran out.
bool drain(std::unique_lock<std::mutex> &guard, int fd, Clock::duration limit) {
    const auto until = Clock::now() + limit;
    for (;;) {
        Line *line = find(fd);
        if (!line) {
            return false;
        }
        advance(*line, Clock::now());
        if (line->dead) {
            return false;
        }
        if (line->queue.empty()) {
            return true;
        }
        if (Clock::now() >= until) {
            return false;
        }
        changed.wait_for(guard, forwardPeriod);
    }
}

int pollModelled(pollfd *fds, nfds_t count, double timeoutMs, const sigset_t *mask, bool usePpoll) {
    static const PollFn realPoll = real<PollFn>("poll");
    static const PpollFn realPpoll = real<PpollFn>("ppoll");
    const auto deadline = timeoutMs < 0
                              ? Clock::time_point::max()
                              : Clock::now() + std::chrono::microseconds(static_cast<long long>(timeoutMs * 1000));
    std::vector<pollfd> passed(fds, fds + count);
    std::vector<short> modelled(count, 0);
    std::vector<bool> isModelled(count, false);
    for (;;) {
        auto wait = deadline - Clock::now();
        bool ready = false;
        {
            std::lock_guard guard(lock);
            const auto now = Clock::now();
            for (nfds_t i = 0; i < count; ++i) {
                passed[i] = fds[i];
                Line *line = find(fds[i].fd);
                isModelled[i] = line != nullptr;
                modelled[i] = 0;
                if (!line) {
                    continue;
                }
                passed[i].events = short(fds[i].events & ~POLLOUT);
                advance(*line, now);
                if (line->dead) {
                    modelled[i] = short(POLLERR | POLLHUP | (fds[i].events & POLLOUT));
                } else if (fds[i].events & POLLOUT) {
                    if (line->queue.size() < wakeupCharacters) {
                        modelled[i] = POLLOUT;
                    } else {
                        const double seconds = double(line->queue.size() - wakeupCharacters + 1) / line->rate;
                        wait = std::min<Clock::duration>(
                            wait, std::chrono::microseconds(static_cast<long long>(seconds * 1e6) + 100));
                    }
                }
                ready = ready || modelled[i] != 0;
            }
        }
        if (ready || wait < Clock::duration::zero()) {
            wait = Clock::duration::zero();
        }
        int result = 0;
        if (usePpoll) {
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            const timespec ts{time_t(ns / 1000000000), long(ns % 1000000000)};
            const bool forever = deadline == Clock::time_point::max() && !ready;
            result = realPpoll(passed.data(), count, forever && wait > std::chrono::hours(1) ? nullptr : &ts, mask);
        } else {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(wait).count();
            result =
                realPoll(passed.data(), count, int(std::min<long long>(ms + (ms == 0 && !ready ? 1 : 0), 1 << 30)));
        }
        if (result < 0) {
            return result;
        }
        int total = 0;
        for (nfds_t i = 0; i < count; ++i) {
            fds[i].revents = short(passed[i].revents | modelled[i]);
            total += fds[i].revents != 0;
        }
        if (total > 0 || Clock::now() >= deadline) {
            return total;
        }
    }
}

bool anyModelled(const pollfd *fds, nfds_t count) {
    if (lineCount == 0) {
        return false;
    }
    std::lock_guard guard(lock);
    for (nfds_t i = 0; i < count; ++i) {
        if (find(fds[i].fd)) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" {

// The open family: the call goes through, and a descriptor on a modelled device is watched.
#define SLOWLINE_OPEN(NAME, TYPE, PARAMETERS, ARGUMENTS)                                                               \
    int NAME PARAMETERS {                                                                                              \
        static const TYPE f = real<TYPE>(#NAME);                                                                       \
        va_list args;                                                                                                  \
        va_start(args, flags);                                                                                         \
        const mode_t mode = needsMode(flags) ? mode_t(va_arg(args, int)) : 0;                                          \
        va_end(args);                                                                                                  \
        const int fd = f ARGUMENTS;                                                                                    \
        watch(fd, path);                                                                                               \
        return fd;                                                                                                     \
    }
SLOWLINE_OPEN(open, OpenFn, (const char *path, int flags, ...), (path, flags, mode))
SLOWLINE_OPEN(open64, OpenFn, (const char *path, int flags, ...), (path, flags, mode))
SLOWLINE_OPEN(openat, OpenatFn, (int dir, const char *path, int flags, ...), (dir, path, flags, mode))
SLOWLINE_OPEN(openat64, OpenatFn, (int dir, const char *path, int flags, ...), (dir, path, flags, mode))

int close(int fd) {
    static const CloseFn f = real<CloseFn>("close");
    if (lineCount > 0) {
        std::unique_lock guard(lock);
        if (find(fd)) {
            drain(guard, fd, closingWait);
            if (Line *line = find(fd)) {
                forward(fd, *line);
                applyWaitingSettings(fd, *line, true);
            }
            lines.erase(fd);
            lineCount = int(lines.size());
        }
    }
    return f(fd);
}

ssize_t write(int fd, const void *data, size_t size) {
    if (lineCount == 0) {
        return realWrite()(fd, data, size);
    }
    std::unique_lock guard(lock);
    if (!find(fd)) {
        guard.unlock();
        return realWrite()(fd, data, size);
    }
    const bool blocking = !(::fcntl(fd, F_GETFL) & O_NONBLOCK);
    std::size_t done = 0;
    for (;;) {
        Line *line = find(fd);
        if (!line || line->dead) {
            if (done > 0) {
                return ssize_t(done);
            }
            errno = EIO;
            return -1;
        }
        advance(*line, Clock::now());
        const std::size_t room = line->capacity - std::min(line->capacity, line->queue.size());
        const std::size_t take = std::min(room, size - done);
        line->queue.append(static_cast<const char *>(data) + done, take);
        done += take;
        if (done == size) {
            return ssize_t(done);
        }
        if (!blocking) {
            if (done > 0) {
                return ssize_t(done);
            }
            errno = EAGAIN;
            return -1;
        }
        changed.wait_for(guard, forwardPeriod);
    }
}

int ioctl(int fd, unsigned long request, ...) {
    static const IoctlFn f = real<IoctlFn>("ioctl");
    va_list args;
    va_start(args, request);
    void *argument = va_arg(args, void *);
    va_end(args);
    if (lineCount > 0) {
        std::unique_lock guard(lock);
        if (Line *line = find(fd)) {
            advance(*line, Clock::now());
            if (line->dead) {
                errno = EIO;
                return -1;
            }
            if (request == TIOCOUTQ) {
                *static_cast<int *>(argument) = int(line->queue.size());
                return 0;
            }
            if (request == TCFLSH &&
                (reinterpret_cast<long>(argument) == TCOFLUSH || reinterpret_cast<long>(argument) == TCIOFLUSH)) {
                line->queue.clear();
                if (reinterpret_cast<long>(argument) == TCOFLUSH) {
                    return 0;
                }
                argument = reinterpret_cast<void *>(long(TCIFLUSH));
            } else if (request == TCSBRK && argument != nullptr && !drain(guard, fd, Clock::duration::max())) {
                errno = EIO;
                return -1;
            }
        }
    }
    return f(fd, request, argument);
}

int tcflush(int fd, int selector) {
    static const TcFn f = real<TcFn>("tcflush");
    if (lineCount > 0 && (selector == TCOFLUSH || selector == TCIOFLUSH)) {
        std::lock_guard guard(lock);
        if (Line *line = find(fd)) {
            // What is past the queue is on the wire already: the pseudo-terminal keeps it.
            line->queue.clear();
            return selector == TCIOFLUSH ? f(fd, TCIFLUSH) : 0;
        }
    }
    return f(fd, selector);
}

int tcsetattr(int fd, int when, const termios *settings) {
    if (lineCount > 0) {
        std::lock_guard guard(lock);
        if (Line *line = find(fd)) {
            advance(*line, Clock::now());
            forward(fd, *line);
            if (!line->dead && (!line->queue.empty() || !line->outbox.empty())) {
                line->settings = *settings;
                line->settingsWaiting = true;
                return 0;
            }
        }
    }
    return realTcsetattr()(fd, when, settings);
}

int tcdrain(int fd) {
    static const TcdrainFn f = real<TcdrainFn>("tcdrain");
    if (lineCount > 0) {
        std::unique_lock guard(lock);
        if (find(fd) && !drain(guard, fd, std::chrono::hours(24))) {
            errno = EIO;
            return -1;
        }
    }
    return f(fd);
}

int poll(pollfd *fds, nfds_t count, int timeoutMs) {
    static const PollFn f = real<PollFn>("poll");
    if (!anyModelled(fds, count)) {
        return f(fds, count, timeoutMs);
    }
    return pollModelled(fds, count, timeoutMs, nullptr, false);
}

int ppoll(pollfd *fds, nfds_t count, const timespec *timeout, const sigset_t *mask) {
    static const PpollFn f = real<PpollFn>("ppoll");
    if (!anyModelled(fds, count)) {
        return f(fds, count, timeout, mask);
    }
    const double ms = timeout ? double(timeout->tv_sec) * 1000 + double(timeout->tv_nsec) / 1e6 : -1;
    return pollModelled(fds, count, ms, mask, true);
}

} // extern "C"
