#pragma once

#include <memory>

#include <QByteArray>
#include <QString>

class QFile;

// Reading and writing the files a user names, safely whatever the name turns out to be: a FIFO
// with no writer, /dev/zero, a sparse file of gigabytes or a device node must neither hang the
// program, nor exhaust its memory, nor be replaced by a regular file.
namespace tavrin::platform {

struct ReadLimits {
    qint64 maxBytes = 0;
    // false: a file longer than maxBytes is refused. true: its first maxBytes bytes are read and
    // FileRead::cut is set.
    bool cutAtLimit = false;
    // Pipes and FIFOs (a shell's <(…) or /dev/stdin) are read to their end; otherwise refused.
    bool streams = false;
    // A stream that brings nothing for this long (a FIFO nobody writes to) is given up.
    int idleMilliseconds = 5000;
};

// Why a file was not read or written, as data: each front end words it.
struct FileFault {
    enum Reason {
        None,
        Missing,     // no such file, or no name at all
        Directory,   // a directory where a file is read or written
        Stream,      // a pipe or FIFO where only a regular file is read
        Device,      // a device where only a regular file is read
        NotAFile,    // another kind of file, or one swapped for another while it was opened
        BlockDevice, // as output: a disk is never overwritten
        TooLarge,    // longer than limit bytes
        Idle,        // a pipe or FIFO that brought nothing for limit milliseconds
        NoReader,    // as output: a FIFO nobody reads from
        TakesNoMore, // as output: a device that took no more bytes
        Stalled,     // as output: a pipe, FIFO or device that took nothing for limit milliseconds
        Full,        // as output: the disk is full or the file too large, and the system said nothing
        System,      // the system's own words for it are in system
    };
    FileFault() = default;
    FileFault(Reason why, qint64 bound = 0, const QString &words = {}) // NOLINT: a reason alone is a fault
        : reason(why)
        , limit(bound)
        , system(words) {}

    Reason reason = None;
    qint64 limit = 0; // TooLarge: bytes; Idle: milliseconds
    QString system;   // System: the system's words for it

    explicit operator bool() const { return reason != None; }
};

struct FileRead {
    FileFault fault;
    QByteArray bytes;
    bool cut = false; // more followed the bytes read (cutAtLimit only)

    bool ok() const { return !fault; }
};

// Never blocks: devices and directories are refused before they are opened, a stream is waited
// for no longer than its idle time.
FileRead readBounded(const QString &path, const ReadLimits &limits);

// Opens a regular file for reading without blocking on anything else, which is refused; fault is
// set as by readBounded.
std::unique_ptr<QFile> openRegularFile(const QString &path, FileFault *fault);

// A device, FIFO or socket written in place that takes nothing for this long is given up.
inline constexpr int writeIdleMilliseconds = 5000;

// Writes output to a path. A regular file (or a new one) is replaced whole or not at all: a failure
// leaves any existing file as it was. A device, a FIFO or a socket (or a symlink to one) is written
// in place and never replaced, and given up when it takes nothing for writeIdleMilliseconds or its
// reader goes away; a directory or a block device is refused.
FileFault writeOutput(const QString &path, const QByteArray &bytes);

// Decodes bytes that are UTF-8 (a byte-order mark allowed) as UTF-8, anything else as GBK. When
// the bytes are cut from a longer file, a last character the cut split is dropped, not taken for
// a fault of the encoding.
QString decodeLocalText(const QByteArray &bytes, bool cut = false);

// While it lives, what libraries print straight to standard error (libpng's own error lines) is
// swallowed: the command line says what went wrong in one line of its own.
class StandardErrorMuted {
public:
    StandardErrorMuted();
    ~StandardErrorMuted();
    StandardErrorMuted(const StandardErrorMuted &) = delete;
    StandardErrorMuted &operator=(const StandardErrorMuted &) = delete;

private:
    int m_saved = -1;
    int m_pipe[2] = {-1, -1};
};

// Flushes standard output; the system's reason when what was written there did not all arrive.
QString flushStandardOutput();

} // namespace tavrin::platform
