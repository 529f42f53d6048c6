#pragma once

#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

// What the desktop provides besides windows: files, fonts, the clipboard and the web browser.
namespace tavrin::platform {

// The first maxBytes bytes of a regular file; error set when it exists but cannot be read or is
// not a regular file (a FIFO, a device, a directory).
struct FileHead {
    bool exists = false;
    QByteArray bytes;
    bool cut = false; // the file goes on past maxBytes
    QString error;
};
FileHead readFileHead(const QString &path, qint64 maxBytes);

// Decodes bytes that are UTF-8 (a byte-order mark allowed) as UTF-8, anything else as GBK. When
// the bytes are cut from a longer file, a last character the cut split is dropped, not taken for
// a fault of the encoding.
QString decodeLocalText(const QByteArray &bytes, bool cut = false);

// Installed font families, in the font system's order.
QStringList installedFonts();

// Lets the Song typeface name the window is designed with resolve to an installed Song/Ming face
// on systems that do not have it under that name.
void installFontSubstitutes();

// Writes a whole file or nothing: a failure leaves any existing file as it was. A device or FIFO
// the path names is written in place, never replaced (see writeOutput). Returns the system's
// reason on failure, an empty text on success.
QString writeFileAtomically(const QString &path, const QByteArray &bytes);

void setClipboardText(const QString &text);

// Opens an http or https address in the user's browser; an address without a scheme
// ("www.example.com/p") is taken as http. Anything else is refused unopened: another scheme, or an
// http or https address that is not a valid one (a space in it, no host).
enum class WebPageOpening { Opened, Refused, Invalid, NoBrowser };
WebPageOpening openWebPage(const QString &address);
// The address openWebPage would open; invalid when it refuses it.
QUrl webPageUrl(const QString &address);

} // namespace tavrin::platform
