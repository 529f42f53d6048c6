#pragma once

#include <optional>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// What the desktop provides besides windows: fonts, the clipboard and the web browser.
namespace tavrin::platform {

// An installed font family: the font system's name for it, the name to show for it, and whether
// its face has the letters of that name (a symbol face does not).
struct FontFamily {
    QString name;
    QString shownName;
    bool drawsItsName = true;
};

// One entry per installed family, in the font system's order: a family the font system lists once
// for each foundry ("C059 [urw]", "C059 [UKWN]") is one entry. With chineseNames, a family that has
// a Chinese name of its own (as fontconfig gives it) is shown under it: 文泉驿正黑 for WenQuanYi
// Zen Hei.
QList<FontFamily> fontFamilies(bool chineseNames);

// The families' font-system names, as fontFamilies gives them.
QStringList installedFonts();

// The face the system uses for its own windows.
QString systemUiFamily();

// Called before the application object is made, with the platform a program draws on when it is
// not told otherwise ("offscreen" for tavrin-cli, so that its canvas is the same with or without a
// display). On Windows every program draws on the system's own platform, which knows the installed
// fonts and needs no display.
void prepareFontDrawing(const char *platform = nullptr);

// Lets the Song typeface name the window is designed with resolve to an installed Song/Ming face
// on systems that do not have it under that name.
void installFontSubstitutes();

void setClipboardText(const QString &text);

// Opens an http or https address in the user's browser; an address without a scheme
// ("www.example.com/p") is taken as http. Anything else is refused unopened: another scheme, or an
// http or https address that is not a valid one (a space in it, no host).
enum class WebPageOpening { Opened, Refused, Invalid, NoBrowser };
WebPageOpening openWebPage(const QString &address);
// The address openWebPage would open; invalid when it refuses it.
QUrl webPageUrl(const QString &address);

} // namespace tavrin::platform
