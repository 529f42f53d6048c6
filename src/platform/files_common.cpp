// What reading and writing files does the same way on every system.
#include "files_shared.h"
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <QSaveFile>
#include <QStringConverter>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace detail {

FileFault writeAtomically(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    // Unbuffered, so that a short write (disk full, size limit) shows up here and not as a silent
    // truncation when the buffer is flushed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return {FileFault::System, 0, file.errorString()};
    }
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            const FileFault fault = file.error() == QFileDevice::NoError || file.errorString().isEmpty()
                                        ? FileFault{FileFault::Full}
                                        : FileFault{FileFault::System, 0, file.errorString()};
            file.cancelWriting();
            return fault;
        }
        written += n;
    }
    if (!file.commit()) {
        return {FileFault::System, 0, file.errorString()};
    }
    return {};
}

void applyLimit(const ReadLimits &limits, FileRead *result) {
    if (!result->ok()) {
        result->bytes.clear();
    } else if (result->bytes.size() > limits.maxBytes) {
        result->bytes.truncate(limits.maxBytes);
        if (limits.cutAtLimit) {
            result->cut = true;
        } else {
            result->bytes.clear();
            result->fault = {FileFault::TooLarge, limits.maxBytes};
        }
    }
}

} // namespace detail

namespace {

// The length of bytes without a UTF-8 sequence the end cuts short.
qsizetype completeUtf8Length(const QByteArray &bytes) {
    for (qsizetype back = 1; back <= std::min<qsizetype>(4, bytes.size()); ++back) {
        const auto byte = quint8(bytes.at(bytes.size() - back));
        if ((byte & 0xC0) == 0x80) {
            continue; // a continuation byte: the sequence started further back
        }
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
}

} // namespace

QString decodeLocalText(const QByteArray &bytes, bool cut) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(cut ? QByteArrayView(bytes).first(completeUtf8Length(bytes)) : bytes);
    if (!utf8.hasError()) {
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    }
    return detail::fromGbk(bytes, cut);
}

QString flushStandardOutput() {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        return qt_error_string(errno != 0 ? errno : EIO);
    }
    return {};
}

} // namespace tavrin::platform
