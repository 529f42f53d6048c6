#include "platform/desktop.h"

#include <iconv.h>

#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStringConverter>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

FileHead readFileHead(const QString &path, qint64 maxBytes) {
    FileHead head;
    QFile file(path);
    head.exists = file.exists();
    if (!head.exists) {
        return head;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        head.error = file.errorString();
        return head;
    }
    head.bytes = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        head.error = file.errorString();
        head.bytes.clear();
    }
    return head;
}

namespace {

QString fromGbk(const QByteArray &bytes) {
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
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1)) {
            break;
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

} // namespace

QString decodeLocalText(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    }
    return fromGbk(bytes);
}

QStringList installedFonts() {
    return QFontDatabase::families();
}

void installFontSubstitutes() {
    const QStringList families = QFontDatabase::families();
    if (families.contains(u"宋体"_s)) {
        return;
    }
    QStringList song;
    for (const QString &name : {u"SimSun"_s, u"NSimSun"_s, u"AR PL UMing CN"_s, u"AR PL UMing TW"_s,
                                u"Noto Serif CJK SC"_s, u"Source Han Serif SC"_s, u"WenQuanYi Zen Hei"_s}) {
        if (families.contains(name)) {
            song.append(name);
        }
    }
    if (!song.isEmpty()) {
        QFont::insertSubstitutions(u"宋体"_s, song);
    }
}

QString writeFileAtomically(const QString &path, const QByteArray &bytes) {
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
                                       ? QStringLiteral("disk full or file too large")
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

void setClipboardText(const QString &text) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

bool openWebPage(const QString &address) {
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != u"http"_s && url.scheme() != u"https"_s) || url.host().isEmpty()) {
        return false;
    }
    return QDesktopServices::openUrl(url);
}

} // namespace tavrin::platform
