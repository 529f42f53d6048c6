#include "platform/desktop.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

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
