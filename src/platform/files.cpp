#include "platform/files.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace {

QString systemReason(int error) {
    return qt_error_string(error);
}

// A file that could not be looked at or opened: missing, or the system's reason.
int cannotOpen(int error, FileRead::Fault *fault, QString *reason) {
    *fault = error == ENOENT ? FileRead::Missing : FileRead::Unreadable;
    *reason = error == ENOENT ? u"it does not exist"_s : systemReason(error);
    return -1;
}

// Why a file of this type is not read; empty for a regular file, and for a stream when streams are read.
QString refusalOfType(mode_t mode, bool streams) {
    if (S_ISREG(mode)) {
        return {};
    }
    if (S_ISDIR(mode)) {
        return u"it is a directory"_s;
    }
    if (S_ISFIFO(mode) || S_ISSOCK(mode)) {
        return streams ? QString() : u"it is a pipe or FIFO, not a regular file"_s;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return u"it is a device, not a regular file"_s;
    }
    return u"it is not a regular file"_s;
}

// Opens for reading without waiting for a FIFO's writer; the file's type is checked before (so that
// no device is ever opened) and after (in case the name was swapped in between).
int openChecked(const QString &path, bool streams, FileRead::Fault *fault, QString *reason, struct stat *info) {
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || ::stat(name.constData(), info) != 0) {
        return cannotOpen(name.isEmpty() ? ENOENT : errno, fault, reason);
    }
    if (QString refusal = refusalOfType(info->st_mode, streams); !refusal.isEmpty()) {
        *fault = FileRead::NotAFile;
        *reason = refusal;
        return -1;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return cannotOpen(errno, fault, reason);
    }
    if (::fstat(fd, info) != 0 || !refusalOfType(info->st_mode, streams).isEmpty()) {
        ::close(fd);
        *fault = FileRead::NotAFile;
        *reason = u"it is not a regular file"_s;
        return -1;
    }
    return fd;
}

QString tooLarge(qint64 maxBytes) {
    return u"it is larger than %1 bytes"_s.arg(maxBytes);
}

// Reads up to limit bytes. A regular file never waits; a stream is polled so that a FIFO with no
// writer, or a writer that goes quiet, is given up after the idle time.
void readUpTo(int fd, bool stream, qint64 limit, int idleMilliseconds, FileRead *result) {
    constexpr qint64 chunk = 64 * 1024;
    while (result->bytes.size() < limit) {
        if (stream) {
            pollfd wanted{fd, POLLIN, 0};
            const int ready = ::poll(&wanted, 1, idleMilliseconds);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready == 0) {
                result->fault = FileRead::Idle;
                result->reason = u"nothing came through it for %1 s (a pipe or FIFO nobody writes to?)"_s.arg(
                    QString::number(idleMilliseconds / 1000.0, 'g', 3));
                return;
            }
        }
        const qsizetype had = result->bytes.size();
        const qint64 want = std::min(chunk, limit - had);
        result->bytes.resize(had + want);
        const ssize_t n = ::read(fd, result->bytes.data() + had, size_t(want));
        result->bytes.resize(had + std::max<ssize_t>(n, 0));
        if (n == 0) {
            return;
        }
        if (n < 0 && errno != EINTR && errno != EAGAIN) {
            result->fault = FileRead::Unreadable;
            result->reason = systemReason(errno);
            return;
        }
    }
}

} // namespace

FileRead readBounded(const QString &path, const ReadLimits &limits) {
    FileRead result;
    struct stat info {};
    const int fd = openChecked(path, limits.streams, &result.fault, &result.reason, &info);
    if (fd < 0) {
        return result;
    }
    const bool stream = !S_ISREG(info.st_mode);
    if (!stream && !limits.cutAtLimit && info.st_size > limits.maxBytes) {
        ::close(fd);
        result.fault = FileRead::TooLarge;
        result.reason = tooLarge(limits.maxBytes);
        return result;
    }
    // One byte past the limit tells a file that is exactly at the limit from one that goes on.
    readUpTo(fd, stream, limits.maxBytes + 1, limits.idleMilliseconds, &result);
    ::close(fd);
    if (!result.ok()) {
        result.bytes.clear();
    } else if (result.bytes.size() > limits.maxBytes) {
        result.bytes.truncate(limits.maxBytes);
        if (limits.cutAtLimit) {
            result.cut = true;
        } else {
            result.bytes.clear();
            result.fault = FileRead::TooLarge;
            result.reason = tooLarge(limits.maxBytes);
        }
    }
    return result;
}

std::unique_ptr<QFile> openRegularFile(const QString &path, FileRead::Fault *fault, QString *reason) {
    struct stat info {};
    const int fd = openChecked(path, false, fault, reason, &info);
    if (fd < 0) {
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *fault = FileRead::Unreadable;
        *reason = file->errorString();
        return nullptr;
    }
    *fault = FileRead::None;
    reason->clear();
    return file;
}

namespace {

QString writeAtomically(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    // Unbuffered, so that a short write (disk full, size limit) shows up here and not as a silent
    // truncation when the buffer is flushed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return file.errorString();
    }
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const QString reason = file.error() == QFileDevice::NoError || file.errorString().isEmpty()
                                       ? u"disk full or file too large"_s
                                       : file.errorString();
            file.cancelWriting();
            return reason;
        }
        written += n;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

// While it lives, a reader that goes away makes a write fail with EPIPE instead of ending the program.
class PipeSignalHeld {
public:
    PipeSignalHeld() {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        m_wasPending = ::sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
        ::pthread_sigmask(SIG_BLOCK, &m_pipe, &m_previous);
    }
    ~PipeSignalHeld() {
        // The signal our own failed write raised is taken back before the old mask returns.
        sigset_t pending;
        if (!m_wasPending && ::sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1) {
            const timespec none{};
            ::sigtimedwait(&m_pipe, nullptr, &none);
        }
        ::pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    PipeSignalHeld(const PipeSignalHeld &) = delete;
    PipeSignalHeld &operator=(const PipeSignalHeld &) = delete;

private:
    sigset_t m_pipe{};
    sigset_t m_previous{};
    bool m_wasPending = false;
};

QString writeInPlace(const QByteArray &name, const QByteArray &bytes, int idleMilliseconds) {
    // Without O_NONBLOCK a FIFO nobody reads would hold the open for ever; the writes stay
    // non-blocking too, so that a reader that stops reading is given up after the idle time.
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENXIO ? u"nothing is reading from it"_s : systemReason(errno);
    }
    const PipeSignalHeld held;
    QString reason;
    qsizetype written = 0;
    while (written < bytes.size() && reason.isEmpty()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n > 0) {
            written += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd wanted{fd, POLLOUT, 0};
            int ready = 0;
            do {
                ready = ::poll(&wanted, 1, idleMilliseconds);
            } while (ready < 0 && errno == EINTR);
            if (ready == 0) {
                reason = u"it took nothing for %1 s (a pipe or FIFO nobody reads from?)"_s.arg(
                    QString::number(idleMilliseconds / 1000.0, 'g', 3));
            } else if (ready < 0) {
                reason = systemReason(errno);
            }
        } else if (n == 0 || errno != EINTR) {
            reason = n < 0 ? systemReason(errno) : u"it takes no more bytes"_s;
        }
    }
    if (::close(fd) != 0 && errno != EINTR && reason.isEmpty()) {
        reason = systemReason(errno);
    }
    return reason;
}

} // namespace

QString writeOutput(const QString &path, const QByteArray &bytes) {
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty()) {
        return u"no file name given"_s;
    }
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || S_ISREG(info.st_mode)) {
        return writeAtomically(path, bytes);
    }
    if (S_ISDIR(info.st_mode)) {
        return u"it is a directory"_s;
    }
    if (S_ISBLK(info.st_mode)) {
        return u"it is a block device; a disk is not overwritten"_s;
    }
    return writeInPlace(name, bytes, writeIdleMilliseconds);
}

StandardErrorMuted::StandardErrorMuted() {
    std::fflush(stderr);
    // Into a pipe nobody reads, which takes a few kilobytes and then refuses more without blocking.
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_pipe[0] = m_pipe[1] = -1;
        return;
    }
    m_saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (m_saved >= 0 && ::dup2(m_pipe[1], STDERR_FILENO) < 0) {
        ::close(m_saved);
        m_saved = -1;
    }
}

StandardErrorMuted::~StandardErrorMuted() {
    std::fflush(stderr);
    if (m_saved >= 0) {
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
    for (int fd : m_pipe) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

QString flushStandardOutput() {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        return systemReason(errno != 0 ? errno : EIO);
    }
    return {};
}

} // namespace tavrin::platform
