#pragma once

#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

// What the desktop provides besides windows: fonts, the clipboard and the web browser.
namespace tavrin::platform {

// Installed font families, in the font system's order.
QStringList installedFonts();

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
