// Files on Windows: a name is looked at before it is opened, so that a device (NUL, CON, COM3, a
// disk) is never read, and a pipe is read only where streams are wanted.
#include "files_shared.h"
#include "platform/files.h"
#include "systemwords_win.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <iterator>
#include <optional>
#include <string>
#include <windows.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace {

using detail::systemWords;

bool isMissing(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_NAME;
}

std::wstring nativeName(const QString &path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

// The name as the system resolves it; a reserved name (NUL, CON, COM3, in any folder) and the
// \\.\ namespace resolve to a device.
bool namesDevice(const std::wstring &name) {
    wchar_t full[MAX_PATH * 2];
    const DWORD length = GetFullPathNameW(name.c_str(), DWORD(std::size(full)), full, nullptr);
    if (length == 0 || length >= std::size(full)) {
        return false;
    }
    const std::wstring resolved(full, length);
    return resolved.rfind(L"\\\\.\\", 0) == 0 || resolved.rfind(L"\\\\?\\", 0) == 0;
}

// A disk or a volume is never written over, whatever its name.
bool namesDisk(const std::wstring &name) {
    QString text = QString::fromStdWString(name).toLower();
    text.remove(u"\\\\.\\"_s);
    text.remove(u"\\\\?\\"_s);
    return text.startsWith(u"physicaldrive") || text.startsWith(u"harddisk") || text.startsWith(u"volume{") ||
           (text.size() == 2 && text.at(1) == u':');
}

struct Opened {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool stream = false;
    qint64 size = 0;
};

FileFault systemFault(DWORD code) {
    return {FileFault::System, 0, systemWords(code)};
}

// Opens for reading; the file's kind is checked before (so that no device is ever opened) and after.
Opened openChecked(const QString &path, bool streams, FileFault *fault) {
    const auto refuse = [fault](FileFault why) {
        *fault = why;
        return Opened{};
    };
    if (path.isEmpty()) {
        return refuse({FileFault::Missing});
    }
    const std::wstring name = nativeName(path);
    if (namesDevice(name) && !name.starts_with(L"\\\\.\\pipe\\")) {
        return refuse({FileFault::Device});
    }
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && isMissing(GetLastError())) {
        return refuse({FileFault::Missing});
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return refuse({FileFault::Directory});
    }
    const HANDLE handle =
        CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        return refuse(isMissing(code) ? FileFault{FileFault::Missing} : systemFault(code));
    }
    Opened opened;
    opened.handle = handle;
    FileFault::Reason refusal = FileFault::NotAFile;
    switch (GetFileType(handle)) {
    case FILE_TYPE_DISK: {
        LARGE_INTEGER size{};
        if (GetFileSizeEx(handle, &size)) {
            opened.size = size.QuadPart;
            return opened;
        }
        break;
    }
    case FILE_TYPE_PIPE:
        if (streams) {
            opened.stream = true;
            return opened;
        }
        refusal = FileFault::Stream;
        break;
    case FILE_TYPE_CHAR:
        refusal = FileFault::Device;
        break;
    default:
        break;
    }
    CloseHandle(handle);
    return refuse({refusal});
}

// Reads up to limit bytes. A regular file never waits; a pipe is looked into first, so that one
// whose writer goes quiet is given up after the idle time.
void readUpTo(HANDLE handle, bool stream, qint64 limit, int idleMilliseconds, FileRead *result) {
    constexpr qint64 chunk = 64 * 1024;
    QDeadlineTimer idle(idleMilliseconds);
    while (result->bytes.size() < limit) {
        qint64 want = std::min(chunk, limit - result->bytes.size());
        if (stream) {
            DWORD available = 0;
            if (!PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr)) {
                const DWORD code = GetLastError();
                if (code == ERROR_BROKEN_PIPE) {
                    return; // the writer is done
                }
                result->fault = systemFault(code);
                return;
            }
            if (available == 0) {
                if (idle.hasExpired()) {
                    result->fault = {FileFault::Idle, idleMilliseconds};
                    return;
                }
                QThread::msleep(10);
                continue;
            }
            idle.setRemainingTime(idleMilliseconds);
            want = std::min<qint64>(want, available);
        }
        const qsizetype had = result->bytes.size();
        result->bytes.resize(had + want);
        DWORD n = 0;
        const bool ok = ReadFile(handle, result->bytes.data() + had, DWORD(want), &n, nullptr);
        result->bytes.resize(had + qsizetype(n));
        if (!ok) {
            const DWORD code = GetLastError();
            if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) {
                return;
            }
            result->fault = systemFault(code);
            return;
        }
        if (n == 0) {
            return;
        }
    }
}

} // namespace

FileRead readBounded(const QString &path, const ReadLimits &limits) {
    FileRead result;
    const Opened opened = openChecked(path, limits.streams, &result.fault);
    if (opened.handle == INVALID_HANDLE_VALUE) {
        return result;
    }
    if (!opened.stream && !limits.cutAtLimit && opened.size > limits.maxBytes) {
        CloseHandle(opened.handle);
        result.fault = {FileFault::TooLarge, limits.maxBytes};
        return result;
    }
    // One byte past the limit tells a file that is exactly at the limit from one that goes on.
    readUpTo(opened.handle, opened.stream, limits.maxBytes + 1, limits.idleMilliseconds, &result);
    CloseHandle(opened.handle);
    detail::applyLimit(limits, &result);
    return result;
}

std::unique_ptr<QFile> openRegularFile(const QString &path, FileFault *fault) {
    const Opened opened = openChecked(path, false, fault);
    if (opened.handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    const int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(opened.handle), _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(opened.handle);
        *fault = {FileFault::NotAFile};
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::_close(descriptor);
        *fault = {FileFault::System, 0, file->errorString()};
        return nullptr;
    }
    *fault = {};
    return file;
}

namespace {

// A pipe's writes wait at most the idle time, so that a pipe nobody reads is given up. A console
// or another character device (CON, NUL) is written plainly: it may not take overlapped writes.
FileFault writeInPlace(const std::wstring &name, const QByteArray &bytes, int idleMilliseconds) {
    const auto open = [&name](DWORD flags) {
        return CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           flags, nullptr);
    };
    HANDLE handle = open(FILE_FLAG_OVERLAPPED);
    if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_CHAR) {
        CloseHandle(handle);
        handle = open(0);
        if (handle != INVALID_HANDLE_VALUE) {
            DWORD n = 0;
            const bool done = WriteFile(handle, bytes.constData(), DWORD(bytes.size()), &n, nullptr);
            const FileFault fault = !done                     ? systemFault(GetLastError())
                                    : n < DWORD(bytes.size()) ? FileFault{FileFault::TakesNoMore}
                                                              : FileFault{};
            CloseHandle(handle);
            return fault;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return systemFault(GetLastError());
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    FileFault fault = overlapped.hEvent ? FileFault{} : systemFault(GetLastError());
    qsizetype written = 0;
    while (written < bytes.size() && !fault) {
        ResetEvent(overlapped.hEvent);
        DWORD n = 0;
        bool done = WriteFile(handle, bytes.constData() + written, DWORD(bytes.size() - written), &n, &overlapped);
        if (!done && GetLastError() == ERROR_IO_PENDING) {
            if (WaitForSingleObject(overlapped.hEvent, DWORD(idleMilliseconds)) == WAIT_TIMEOUT) {
                CancelIoEx(handle, &overlapped);
                fault = {FileFault::Stalled, idleMilliseconds};
            }
            done = GetOverlappedResult(handle, &overlapped, &n, TRUE);
        }
        if (fault) {
            break;
        }
        if (!done) {
            fault = systemFault(GetLastError());
        } else if (n == 0) {
            fault = {FileFault::TakesNoMore};
        }
        written += qsizetype(n);
    }
    if (overlapped.hEvent) {
        CloseHandle(overlapped.hEvent);
    }
    CloseHandle(handle);
    return fault;
}

} // namespace

FileFault writeOutput(const QString &path, const QByteArray &bytes) {
    if (path.isEmpty()) {
        return {FileFault::Missing};
    }
    const std::wstring name = nativeName(path);
    if (namesDevice(name)) {
        if (namesDisk(name)) {
            return {FileFault::BlockDevice};
        }
        return writeInPlace(name, bytes, writeIdleMilliseconds);
    }
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {FileFault::Directory};
    }
    return detail::writeAtomically(path, bytes);
}

namespace detail {

// GBK through Windows' own GB18030 code page.
QString fromGbk(const QByteArray &bytes, bool cut) {
    constexpr UINT gb18030 = 54936;
    const auto convert = [](const QByteArray &in, DWORD flags) -> std::optional<QString> {
        if (in.isEmpty()) {
            return QString();
        }
        const int length = MultiByteToWideChar(gb18030, flags, in.constData(), int(in.size()), nullptr, 0);
        if (length <= 0) {
            return std::nullopt;
        }
        std::wstring out(size_t(length), L'\0');
        MultiByteToWideChar(gb18030, flags, in.constData(), int(in.size()), out.data(), length);
        return QString::fromStdWString(out);
    };
    // A cut may have split the last character: the longest start that is whole GBK is taken.
    for (qsizetype drop = 0; cut && drop < 4 && drop < bytes.size(); ++drop) {
        if (const auto text = convert(bytes.first(bytes.size() - drop), MB_ERR_INVALID_CHARS)) {
            return *text;
        }
    }
    return convert(bytes, 0).value_or(QString::fromLatin1(bytes));
}

} // namespace detail

// What libraries print to standard error goes to NUL meanwhile.
StandardErrorMuted::StandardErrorMuted() {
    std::fflush(stderr);
    m_pipe[1] = ::_open("NUL", _O_WRONLY | _O_BINARY);
    if (m_pipe[1] < 0) {
        return;
    }
    m_saved = ::_dup(::_fileno(stderr));
    if (m_saved >= 0 && ::_dup2(m_pipe[1], ::_fileno(stderr)) != 0) {
        ::_close(m_saved);
        m_saved = -1;
    }
}

StandardErrorMuted::~StandardErrorMuted() {
    std::fflush(stderr);
    if (m_saved >= 0) {
        ::_dup2(m_saved, ::_fileno(stderr));
        ::_close(m_saved);
    }
    for (int fd : m_pipe) {
        if (fd >= 0) {
            ::_close(fd);
        }
    }
}

} // namespace tavrin::platform
