#include "contact/contact.h"

#include "platform/files.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace tavrin::contact {

QString defaultContactText() {
    return QStringList{
        u"Tavrin"_s,
        u"https://tavrin.example.org"_s,
        u"+86-10-0000-0000 +86-21-0000-0000"_s,
        u"https://tavrin.example.org/boards"_s,
        // The built-in instructions are the program's own text: an English window shows them in English.
        QCoreApplication::translate("tavrin::contact",
                                    "更改显示内容，请先让电路板进入更改内容模式，即不要转动电路板，特别是不能让电路板被"
                                    "同步，否则，需要重新等待10"
                                    "秒，电路板才会进入更改内容模式。电路板进入更改内容模式后，才可以更改和擦除内容。"),
    }
        .join(u'|');
}

QString readContactFile() {
    // Only a regular file is read: a FIFO or a device here would hold up or flood the reader.
    const platform::FileRead file = platform::readBounded(QString::fromUtf8(contactFileName),
                                                          {.maxBytes = contactFileMaxBytes, .cutAtLimit = true});
    if (!file.ok()) {
        return {};
    }
    QString text = platform::decodeLocalText(file.bytes, file.cut);
    text.remove(QChar(0));
    return text;
}

QString effectiveContactText(const QString &text) {
    return text.size() < contactMinChars ? defaultContactText() : text;
}

QStringList splitContact(const QString &text) {
    return text.split(u'|', Qt::KeepEmptyParts);
}

QString contactField(const QStringList &fields, int index) {
    return index >= 0 && index < fields.size() ? fields.at(index) : QString();
}

// The captions are the window's words around the vendor's own texts, which stay as written.
QString titleCaption(const QStringList &fields) {
    return QCoreApplication::translate("tavrin::contact", "Tavrin！ TEL:%1").arg(contactField(fields, Telephones));
}

QString welcomeCaption(const QStringList &fields) {
    return QCoreApplication::translate("tavrin::contact", "欢迎访问%1网站！%2，诚招全国各地代理！ ")
        .arg(contactField(fields, VendorName), contactField(fields, WebAddress));
}

QString updateNoticeText(const QStringList &fields) {
    return QCoreApplication::translate("tavrin::contact", "%1欢迎您访问%2了解更新版本！")
        .arg(contactField(fields, VendorName), contactField(fields, WebAddress));
}

QString updateNoticeTitle() {
    return QCoreApplication::translate("tavrin::contact", "软件更新提示：");
}

MarqueeTick marqueeTick(int counter) {
    return {counter % 10 > 5, counter > 2000 && counter <= 2002};
}

} // namespace tavrin::contact
