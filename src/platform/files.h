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

struct FileRead {
    enum Fault { None, Missing, Unreadable, NotAFile, TooLarge, Idle };
    Fault fault = None;
    QByteArray bytes;
    bool cut = false; // more followed the bytes read (cutAtLimit only)
    // The reason when fault is set, for a message that names the file: "it does not exist",
    // "it is a directory", "it is larger than 8208 bytes", "Permission denied".
    QString reason;

    bool ok() const { return fault == None; }
};

// Never blocks: devices and directories are refused before they are opened, a stream is waited
// for no longer than its idle time.
FileRead readBounded(const QString &path, const ReadLimits &limits);

// Opens a regular file for reading without blocking on anything else, which is refused; the
// reason is set as by readBounded.
std::unique_ptr<QFile> openRegularFile(const QString &path, FileRead::Fault *fault, QString *reason);

// A device, FIFO or socket written in place that takes nothing for this long is given up.
inline constexpr int writeIdleMilliseconds = 5000;

// Writes output to a path. A regular file (or a new one) is written whole or not at all, as
// writeFileAtomically does; a device, a FIFO or a socket (or a symlink to one) is written in place
// and never replaced, and given up when it takes nothing for writeIdleMilliseconds or its reader
// goes away; a directory or a block device is refused. Returns the reason on failure, an empty
// text on success.
QString writeOutput(const QString &path, const QByteArray &bytes);

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
