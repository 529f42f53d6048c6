#pragma once

#include <QString>
#include <QStringList>

// The contact file beside the program: vendor fields separated by "|".
namespace tavrin::contact {

inline constexpr auto contactFileName = "联系方式.txt";
inline constexpr qint64 contactFileMaxBytes = 65400;
inline constexpr qsizetype contactMinChars = 30;

enum ContactField { VendorName = 0, WebAddress = 1, Telephones = 2, ProductPage = 3, Instructions = 4 };

QString defaultContactText();

// The text of the contact file in the current folder, UTF-8 or GBK, NUL characters dropped; at
// most its first contactFileMaxBytes bytes, cut before a character they would split. Empty when
// the file is missing, cannot be read or is not a regular file (a FIFO or a device would hold up
// or flood the start), which is then treated like a missing one.
QString readContactFile();

// A text shorter than 30 characters is replaced by the default.
QString effectiveContactText(const QString &text);

// Split at every "|": empty fields count, nothing is trimmed.
QStringList splitContact(const QString &text);

// A field that the text does not supply reads as empty.
QString contactField(const QStringList &fields, int index);

// Captions of the title marquee and the update notice.
QString titleCaption(const QStringList &fields);
QString welcomeCaption(const QStringList &fields);
QString updateNoticeText(const QStringList &fields);
QString updateNoticeTitle();

// One tick of the marquee: which caption shows and whether the update notice is due, for the
// counter value after the tick.
struct MarqueeTick {
    bool welcome = false;
    bool notice = false;
};
MarqueeTick marqueeTick(int counter);

} // namespace tavrin::contact
