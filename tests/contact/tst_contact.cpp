#include "contact/contact.h"

#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin::contact;

class ContactTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What start-up makes of the contact file in the current folder: the text the window keeps and
    // the instruction field it edits.
    void contactFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("instructions");
        const QString fallback = defaultContactText();
        const QString fallbackInstructions = contactField(splitContact(fallback), Instructions);

        QTest::newRow("no file: default") << u"none"_s << QByteArray() << fallback << fallbackInstructions;
        const QString thirty = u"甲|乙|丙|丁|这是一段刚好三十个字符长的联系方式说明文字呀"_s;
        QTest::newRow("29 characters: default")
            << u"file"_s << thirty.left(29).toUtf8() << fallback << fallbackInstructions;
        QTest::newRow("30 characters: used")
            << u"file"_s << thirty.toUtf8() << thirty << u"这是一段刚好三十个字符长的联系方式说明文字呀"_s;
        const QString noBar = u"没有分隔符的联系方式文本，足足有三十个字符以上的长度呢，再加几个字。"_s;
        QTest::newRow("no bar: one field") << u"file"_s << noBar.toUtf8() << noBar << QString();
        QTest::newRow("empty file: default") << u"file"_s << QByteArray() << fallback << fallbackInstructions;

        const QString chinese =
            u"星光电子|https://example.com|010-1|https://example.com/p|请先停止转动电路板，然后写入。"_s;
        const QString chineseInstructions = u"请先停止转动电路板，然后写入。"_s;
        QTest::newRow("UTF-8") << u"file"_s << chinese.toUtf8() << chinese << chineseInstructions;
        QTest::newRow("UTF-8 with BOM") << u"file"_s << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() << chinese
                                        << chineseInstructions;
        // The same text in GBK, the code page such files are usually saved in.
        const QByteArray gbk =
            QByteArray::fromHex("d0c7b9e2b5e7d7d37c68747470733a2f2f6578616d706c652e636f6d7c3031302d"
                                "317c68747470733a2f2f6578616d706c652e636f6d2f707cc7ebcfc8cda3d6b9d7aa"
                                "b6afb5e7c2b7b0e5a3acc8bbbaf3d0b4c8eba1a3");
        QTest::newRow("GBK") << u"file"_s << gbk << chinese << chineseInstructions;
        const QString crlf = u"Name|https://a.example|1 2|https://a.example/p|line one\r\nline two"_s;
        QTest::newRow("CR LF kept in its field") << u"file"_s << crlf.toUtf8() << crlf << u"line one\r\nline two"_s;

        const QByteArray head = "V|https://v.example|1 2|https://v.example/p|"; // 44 bytes
        const QByteArray longAscii = head + QByteArray(70000 - head.size(), 'x');
        QTest::newRow("cut at 65400 bytes")
            << u"file"_s << longAscii << QString::fromLatin1(longAscii.left(65400)) << QString(65400 - 44, u'x');
        // Cut mid-character, the file would fail UTF-8 decoding and every field turn to GBK mojibake.
        const int whole = (65400 - 44) / 3; // one byte of the next character is left
        QTest::newRow("UTF-8 cut before the split character")
            << u"file"_s << head + u"联"_s.repeated(whole + 10).toUtf8()
            << QString::fromLatin1(head) + u"联"_s.repeated(whole) << u"联"_s.repeated(whole);

        QTest::newRow("FIFO nobody writes to: default")
            << u"fifo"_s << QByteArray() << fallback << fallbackInstructions;
        QTest::newRow("symlink to /dev/zero: default") << u"zero"_s << QByteArray() << fallback << fallbackInstructions;
        QTest::newRow("a folder of that name: default")
            << u"folder"_s << QByteArray() << fallback << fallbackInstructions;
    }
    void contactFile() {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const QString name = QString::fromUtf8(contactFileName);
        if (kind == u"file"_s) {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        } else if (kind == u"fifo"_s) {
            QVERIFY(::mkfifo(QFile::encodeName(name).constData(), 0600) == 0);
        } else if (kind == u"zero"_s) {
            QVERIFY(QFile::link(u"/dev/zero"_s, name));
        } else if (kind == u"folder"_s) {
            QVERIFY(QDir().mkdir(name));
        }
        QElapsedTimer clock;
        clock.start();
        const QString text = effectiveContactText(readContactFile());
        QVERIFY(clock.elapsed() < 5000);
        QDir::setCurrent(previous);
        QTEST(text, "text");
        QTEST(contactField(splitContact(text), Instructions), "instructions");
    }
};

QTEST_GUILESS_MAIN(ContactTest)
#include "tst_contact.moc"
