#include "app/form1.h"
#include "contact/contact.h"
#include "platform/desktop.h"
#include "support/home.h"
#include "support/pty.h"

#include <sys/stat.h>

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::StringLiterals;
using tavrin::app::Form1;
using tavrin::testing::PtyPair;
using tavrin::testing::TemporaryHome;

namespace {

const QString instructions = tavrin::contact::splitContact(tavrin::contact::defaultContactText()).value(4);

QString text(const Form1 &form, const char *name) {
    return form.findChild<QPlainTextEdit *>(QString::fromLatin1(name))->toPlainText();
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("TAVRIN_SERIAL_PORTS", "/nonexistent/ttyTAVRIN0"); }
    void init() { m_dir.emplace(); }
    void cleanup() { m_dir.reset(); }

    void noContactFile_usesDefault() {
        Form1 form;
        QCOMPARE(text(form, "Text4"), tavrin::contact::defaultContactText());
        QCOMPARE(form.contact().size(), 5);
        QCOMPARE(text(form, "Text1"), instructions);
        QCOMPARE(form.texts()[0], instructions);
        QVERIFY(form.contact().at(1).startsWith(u"https://"_s));
        QVERIFY(form.contact().at(3).startsWith(u"https://"_s));
        QCOMPARE(form.contact().at(2).count(u' '), 1);
    }

    void contactFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text4");
        QTest::addColumn<QString>("text1");

        const QString thirty = u"甲|乙|丙|丁|这是一段刚好三十个字符长的联系方式说明文字呀"_s;
        QVERIFY(thirty.size() == 30);
        QTest::newRow("29 characters: default")
            << thirty.left(29).toUtf8() << tavrin::contact::defaultContactText() << instructions;
        QTest::newRow("30 characters: used")
            << thirty.toUtf8() << thirty << u"这是一段刚好三十个字符长的联系方式说明文字呀"_s;
        const QString noBar = u"没有分隔符的联系方式文本，足足有三十个字符以上的长度呢，再加几个字。"_s;
        QTest::newRow("no bar: one field, empty edit box") << noBar.toUtf8() << noBar << QString();
        QTest::newRow("empty file: default") << QByteArray() << tavrin::contact::defaultContactText() << instructions;

        const QString chinese =
            u"星光电子|https://example.com|010-1|https://example.com/p|请先停止转动电路板，然后写入。"_s;
        QTest::newRow("UTF-8") << chinese.toUtf8() << chinese << u"请先停止转动电路板，然后写入。"_s;
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() << chinese
                                        << u"请先停止转动电路板，然后写入。"_s;
        // The same text in GBK, the code page such files are usually saved in.
        const QByteArray gbk =
            QByteArray::fromHex("d0c7b9e2b5e7d7d37c68747470733a2f2f6578616d706c652e636f6d7c3031302d"
                                "317c68747470733a2f2f6578616d706c652e636f6d2f707cc7ebcfc8cda3d6b9d7aa"
                                "b6afb5e7c2b7b0e5a3acc8bbbaf3d0b4c8eba1a3");
        QTest::newRow("GBK") << gbk << chinese << u"请先停止转动电路板，然后写入。"_s;
        const QString crlf = u"Name|https://a.example|1 2|https://a.example/p|line one\r\nline two"_s;
        QTest::newRow("line breaks belong to their field")
            << crlf.toUtf8() << u"Name|https://a.example|1 2|https://a.example/p|line one\nline two"_s
            << u"line one\nline two"_s;
    }
    void contactFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text4);
        QFETCH(QString, text1);
        QFile file(QString::fromUtf8(tavrin::contact::contactFileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        Form1 form;
        QCOMPARE(text(form, "Text4"), text4);
        QCOMPARE(text(form, "Text1"), text1);
    }

    void longContactFile_isCutAt65400Bytes() {
        QByteArray bytes = "V|https://v.example|1 2|https://v.example/p|";
        bytes += QByteArray(70000 - bytes.size(), 'x');
        QFile file(QString::fromUtf8(tavrin::contact::contactFileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        Form1 form;
        QCOMPARE(text(form, "Text4").size(), 65400);
        QCOMPARE(form.contact().value(4).size(), 65400 - 44);
    }

    // Cut mid-character, the file failed UTF-8 decoding and every field turned to GBK mojibake.
    void longUtf8ContactFile_isCutBeforeTheSplitCharacter() {
        const QByteArray head = "V|https://v.example|1 2|https://v.example/p|"; // 44 bytes
        const int whole = (65400 - 44) / 3;                                     // one byte of the next is left
        QFile file(QString::fromUtf8(tavrin::contact::contactFileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(head + u"联"_s.repeated(whole + 10).toUtf8());
        file.close();
        Form1 form;
        QCOMPARE(text(form, "Text4"), QString::fromLatin1(head) + u"联"_s.repeated(whole));
        QCOMPARE(form.contact().value(0), u"V"_s);
        QCOMPARE(form.contact().value(4), u"联"_s.repeated(whole));
    }

    void specialContactFile_windowStartsWithDefault_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO nobody writes to") << u"fifo"_s;
        QTest::newRow("symlink to /dev/zero") << u"zero"_s;
    }
    void specialContactFile_windowStartsWithDefault() {
        QFETCH(QString, kind);
        const QString name = QString::fromUtf8(tavrin::contact::contactFileName);
        if (kind == u"fifo"_s) {
            QVERIFY(::mkfifo(QFile::encodeName(name).constData(), 0600) == 0);
        } else {
            QVERIFY(QFile::link(u"/dev/zero"_s, name));
        }
        QElapsedTimer clock;
        clock.start();
        Form1 form;
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(text(form, "Text4"), tavrin::contact::defaultContactText());
    }

    void unreadableContactFile_usesDefault() {
        // A folder of that name exists but cannot be read as a file, even by root.
        QVERIFY(QDir().mkdir(QString::fromUtf8(tavrin::contact::contactFileName)));
        Form1 form;
        QCOMPARE(text(form, "Text4"), tavrin::contact::defaultContactText());
        QCOMPARE(text(form, "Text1"), instructions);
    }

    void noSerialPort_saysSoInWords() {
        Form1 form;
        auto *combo = form.findChild<QComboBox *>(u"Combo7"_s);
        QCOMPARE(combo->count(), 0);
        QCOMPARE(combo->currentText(), QString());
        QCOMPARE(combo->lineEdit()->placeholderText(), u"没有串口"_s);
    }

    void freePorts_listedByNumber() {
        PtyPair port3(PtyPair::LeftToSender);
        PtyPair port12(PtyPair::LeftToSender);
        PtyPair port17(PtyPair::LeftToSender);
        QStringList table;
        for (int n = 1; n <= 17; ++n) {
            table.append(n == 3    ? port3.slavePath()
                         : n == 12 ? port12.slavePath()
                         : n == 17 ? port17.slavePath()
                                   : u"/nonexistent/ttyTAVRIN%1"_s.arg(n));
        }
        const QByteArray saved = qgetenv("TAVRIN_SERIAL_PORTS");
        qputenv("TAVRIN_SERIAL_PORTS", table.join(u':').toLocal8Bit());
        Form1 form;
        qputenv("TAVRIN_SERIAL_PORTS", saved);
        auto *combo = form.findChild<QComboBox *>(u"Combo7"_s);
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), u"COM 3"_s);
        QCOMPARE(combo->itemText(1), u"COM 12"_s);
        QCOMPARE(combo->currentText(), u"COM 3"_s);
        QCOMPARE(combo->itemData(0, Qt::ToolTipRole).toString(), port3.slavePath());
    }

    void formState_afterStartup() {
        Form1 form;
        QCOMPARE(form.ledcount(), 16);
        QCOMPARE(form.picmode(), 0);
        QCOMPARE(form.progresscount(), 0);
        QCOMPARE(form.canvasleft(), 0.0f);
        QCOMPARE(form.tickCounter(), 0);
        QCOMPARE(form.findChild<QComboBox *>(u"Combo2"_s)->currentText(), u"Kelvora16象素"_s);
        QCOMPARE(form.findChild<QComboBox *>(u"Combo2"_s)->count(), 4);
        QCOMPARE(form.canvas().render().size(), QSize(2048, 16));
        QVERIFY(form.findChild<QWidget *>(u"Picture3"_s)->isHidden());
        const QString report = form.findChild<QLabel *>(u"Label7"_s)->text();
        QVERIFY2(report.startsWith(u"当前%1字，12号字尺寸"_s.arg(instructions.size())), qPrintable(report));
        QVERIFY2(report.contains(u"（最大尺寸2048*16）已超出显示！"_s), qPrintable(report));
        auto *fonts = form.findChild<QListWidget *>(u"List1"_s);
        QCOMPARE(fonts->count(), tavrin::platform::installedFonts().size());
    }

private:
    std::optional<TemporaryHome> m_dir;
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
