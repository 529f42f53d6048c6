#include "platform/desktop.h"

#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

#include <QClipboard>
#include <QDesktopServices>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStringConverter>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

FileHead readFileHead(const QString &path, qint64 maxBytes) {
    // Only a regular file is read: a FIFO or a device here would hold up or flood the reader.
    FileRead read = readBounded(path, {.maxBytes = maxBytes, .cutAtLimit = true});
    FileHead head;
    head.exists = read.fault != FileRead::Missing;
    head.cut = read.cut;
    if (read.ok()) {
        head.bytes = std::move(read.bytes);
    } else {
        head.error = read.reason;
    }
    return head;
}

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

} // namespace

QString decodeLocalText(const QByteArray &bytes, bool cut) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(cut ? QByteArrayView(bytes).first(completeUtf8Length(bytes)) : bytes);
    if (!utf8.hasError()) {
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    }
    return fromGbk(bytes, cut);
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
    return writeOutput(path, bytes);
}

void setClipboardText(const QString &text) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

namespace {

// The address with the scheme it is opened with: one without a scheme is taken as http.
QString withScheme(const QString &address) {
    QString text = address.trimmed();
    // "host:port/path" has no scheme either: a scheme is letters before a colon not followed by a digit.
    static const QRegularExpression scheme(u"^[A-Za-z][A-Za-z0-9+.-]*:(?![0-9])"_s);
    if (!text.isEmpty() && !scheme.match(text).hasMatch()) {
        text.prepend(u"http://"_s);
    }
    return text;
}

bool isWebScheme(const QString &text) {
    return text.startsWith(u"http:"_s, Qt::CaseInsensitive) || text.startsWith(u"https:"_s, Qt::CaseInsensitive);
}

} // namespace

QUrl webPageUrl(const QString &address) {
    const QUrl url(withScheme(address), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != u"http"_s && url.scheme() != u"https"_s) || url.host().isEmpty()) {
        return {};
    }
    return url;
}

WebPageOpening openWebPage(const QString &address) {
    const QUrl url = webPageUrl(address);
    if (!url.isValid()) {
        return isWebScheme(withScheme(address)) ? WebPageOpening::Invalid : WebPageOpening::Refused;
    }
    return QDesktopServices::openUrl(url) ? WebPageOpening::Opened : WebPageOpening::NoBrowser;
}

} // namespace tavrin::platform
