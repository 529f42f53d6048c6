// Files on Linux and other Unix systems.
#include "files_shared.h"
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <iconv.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace {

FileFault systemFault(int error) {
    return {FileFault::System, 0, qt_error_string(error)};
}

// A file that could not be looked at or opened: missing, or the system's reason.
int cannotOpen(int error, FileFault *fault) {
    *fault = error == ENOENT ? FileFault{FileFault::Missing} : systemFault(error);
    return -1;
}

// Why a file of this type is not read; None for a regular file, and for a stream when streams are read.
FileFault::Reason refusalOfType(mode_t mode, bool streams) {
    if (S_ISREG(mode)) {
        return FileFault::None;
    }
    if (S_ISDIR(mode)) {
        return FileFault::Directory;
    }
    if (S_ISFIFO(mode) || S_ISSOCK(mode)) {
        return streams ? FileFault::None : FileFault::Stream;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return FileFault::Device;
    }
    return FileFault::NotAFile;
}

// Opens for reading without waiting for a FIFO's writer; the file's type is checked before (so that
// no device is ever opened) and after (in case the name was swapped in between).
int openChecked(const QString &path, bool streams, FileFault *fault, struct stat *info) {
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || ::stat(name.constData(), info) != 0) {
        return cannotOpen(name.isEmpty() ? ENOENT : errno, fault);
    }
    if (const FileFault::Reason refusal = refusalOfType(info->st_mode, streams); refusal != FileFault::None) {
        *fault = {refusal};
        return -1;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return cannotOpen(errno, fault);
    }
    if (::fstat(fd, info) != 0 || refusalOfType(info->st_mode, streams) != FileFault::None) {
        ::close(fd);
        *fault = {FileFault::NotAFile};
        return -1;
    }
    return fd;
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
                result->fault = {FileFault::Idle, idleMilliseconds};
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
            result->fault = systemFault(errno);
            return;
        }
    }
}

} // namespace

FileRead readBounded(const QString &path, const ReadLimits &limits) {
    FileRead result;
    struct stat info {};
    const int fd = openChecked(path, limits.streams, &result.fault, &info);
    if (fd < 0) {
        return result;
    }
    const bool stream = !S_ISREG(info.st_mode);
    if (!stream && !limits.cutAtLimit && info.st_size > limits.maxBytes) {
        ::close(fd);
        result.fault = {FileFault::TooLarge, limits.maxBytes};
        return result;
    }
    // One byte past the limit tells a file that is exactly at the limit from one that goes on.
    readUpTo(fd, stream, limits.maxBytes + 1, limits.idleMilliseconds, &result);
    ::close(fd);
    detail::applyLimit(limits, &result);
    return result;
}

std::unique_ptr<QFile> openRegularFile(const QString &path, FileFault *fault) {
    struct stat info {};
    const int fd = openChecked(path, false, fault, &info);
    if (fd < 0) {
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *fault = {FileFault::System, 0, file->errorString()};
        return nullptr;
    }
    *fault = {};
    return file;
}

namespace {

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

FileFault writeInPlace(const QByteArray &name, const QByteArray &bytes, int idleMilliseconds) {
    // Without O_NONBLOCK a FIFO nobody reads would hold the open for ever; the writes stay
    // non-blocking too, so that a reader that stops reading is given up after the idle time.
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENXIO ? FileFault{FileFault::NoReader} : systemFault(errno);
    }
    const PipeSignalHeld held;
    FileFault fault;
    qsizetype written = 0;
    while (written < bytes.size() && !fault) {
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
                fault = {FileFault::Stalled, idleMilliseconds};
            } else if (ready < 0) {
                fault = systemFault(errno);
            }
        } else if (n == 0 || errno != EINTR) {
            fault = n < 0 ? systemFault(errno) : FileFault{FileFault::TakesNoMore};
        }
    }
    if (::close(fd) != 0 && errno != EINTR && !fault) {
        fault = systemFault(errno);
    }
    return fault;
}

} // namespace

FileFault writeOutput(const QString &path, const QByteArray &bytes) {
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty()) {
        return {FileFault::Missing};
    }
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || S_ISREG(info.st_mode)) {
        return detail::writeAtomically(path, bytes);
    }
    if (S_ISDIR(info.st_mode)) {
        return {FileFault::Directory};
    }
    if (S_ISBLK(info.st_mode)) {
        return {FileFault::BlockDevice};
    }
    return writeInPlace(name, bytes, writeIdleMilliseconds);
}

namespace detail {

// GBK (as GB18030, its superset) through iconv.
QString fromGbk(const QByteArray &bytes, bool cut) {
    iconv_t cd = iconv_open("UTF-16LE", "GB18030");
    if (cd == iconv_t(-1)) {
        return QString::fromLatin1(bytes);
    }
    QByteArray in = bytes;
    QByteArray out(in.size() * 4 + 4, Qt::Uninitialized);
    char *inPtr = in.data();
    size_t inLeft = size_t(in.size());
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) || (cut && errno == EINVAL)) {
            break; // done, or the last character is one the cut split
        }
        // A byte that is no GBK at all (or a sequence cut by the size limit) becomes U+FFFD.
        ++inPtr;
        --inLeft;
        if (outLeft < 2) {
            break;
        }
        *outPtr++ = char(0xFD);
        *outPtr++ = char(0xFF);
        outLeft -= 2;
    }
    iconv_close(cd);
    out.truncate(out.size() - qsizetype(outLeft));
    return QString(reinterpret_cast<const QChar *>(out.constData()), out.size() / 2);
}

} // namespace detail

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

} // namespace tavrin::platform
