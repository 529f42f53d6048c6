#include "platform/desktop.h"

#include <algorithm>

#ifdef TAVRIN_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#include <QClipboard>
#include <QDesktopServices>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace tavrin::platform {

namespace {

#ifdef TAVRIN_HAVE_FONTCONFIG
// Each family's Chinese name, by every other name of the same fonts: fontconfig lists a font's
// names with the language of each.
QHash<QString, QString> chineseFamilyNames() {
    QHash<QString, QString> chinese;
    FcPattern *pattern = FcPatternCreate();
    FcObjectSet *objects = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, nullptr);
    FcFontSet *fonts = FcFontList(nullptr, pattern, objects);
    // Simplified Chinese first; a traditional name is better than a Latin one in a Chinese window.
    const QStringList preferred{u"zh-cn"_s, u"zh-sg"_s, u"zh"_s, u"zh-tw"_s, u"zh-hk"_s, u"zh-mo"_s};
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        QStringList names;
        QString best;
        qsizetype bestRank = preferred.size();
        FcChar8 *name = nullptr;
        for (int k = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, k, &name) == FcResultMatch; ++k) {
            FcChar8 *language = nullptr;
            const QString lang = FcPatternGetString(fonts->fonts[i], FC_FAMILYLANG, k, &language) == FcResultMatch
                                     ? QString::fromUtf8(reinterpret_cast<const char *>(language)).toLower()
                                     : QString();
            const QString family = QString::fromUtf8(reinterpret_cast<const char *>(name));
            if (const qsizetype rank = preferred.indexOf(lang); rank >= 0) {
                if (rank < bestRank) {
                    best = family;
                    bestRank = rank;
                }
            } else {
                names << family;
            }
        }
        for (const QString &family : std::as_const(names)) {
            if (!best.isEmpty()) {
                chinese.insert(family, best);
            }
        }
    }
    if (fonts) {
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return chinese;
}
#endif

// Whether the face has the letters of the name: Latin for a Latin name, Chinese for a Chinese one.
bool drawsName(const QString &family, const QString &name) {
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
    const bool latin = systems.contains(QFontDatabase::Latin);
    const bool chinese =
        systems.contains(QFontDatabase::SimplifiedChinese) || systems.contains(QFontDatabase::TraditionalChinese);
    return std::all_of(name.cbegin(), name.cend(), [&](QChar c) { return c.unicode() < 0x80 ? latin : chinese; });
}

} // namespace

QList<FontFamily> fontFamilies([[maybe_unused]] bool chineseNames) {
    // The font system names a family offered by several foundries once per foundry: "C059 [urw]".
    static const QRegularExpression foundry(u"^(.*\\S) \\[[^\\]]*\\]$"_s);
#ifdef TAVRIN_HAVE_FONTCONFIG
    const QHash<QString, QString> chinese = chineseNames ? chineseFamilyNames() : QHash<QString, QString>();
#else
    const QHash<QString, QString> chinese;
#endif
    QList<FontFamily> families;
    QSet<QString> seen;
    const QStringList all = QFontDatabase::families();
    for (const QString &listed : all) {
        const QRegularExpressionMatch match = foundry.match(listed);
        const QString name = match.hasMatch() ? match.captured(1) : listed;
        const QString shown = chinese.value(name, name);
        if (seen.contains(name) || seen.contains(shown)) {
            continue;
        }
        seen << name << shown;
        families.append({name, shown, drawsName(name, shown)});
    }
    return families;
}

QStringList installedFonts() {
    QStringList names;
    for (const FontFamily &family : fontFamilies(false)) {
        names << family.name;
    }
    return names;
}

QString systemUiFamily() {
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
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
