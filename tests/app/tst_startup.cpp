#include "app/form1.h"
#include "app/portlist.h"
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

    // The text as read goes to the store, its instruction field to the edit box (the contact
    // file's own cases are tested where it is read).
    void contactFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text4");
        QTest::addColumn<QString>("text1");

        const QString chinese =
            u"星光电子|https://example.com|010-1|https://example.com/p|请先停止转动电路板，然后写入。"_s;
        QTest::newRow("UTF-8") << chinese.toUtf8() << chinese << u"请先停止转动电路板，然后写入。"_s;
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

    void noSerialPort_saysSoInWords() {
        Form1 form;
        auto *combo = form.findChild<QComboBox *>(u"Combo7"_s);
        QCOMPARE(combo->count(), 0);
        QCOMPARE(combo->currentText(), QString());
        QCOMPARE(combo->lineEdit()->placeholderText(), u"无"_s);
        // The box's tooltip says what to check.
        const QString reason = qobject_cast<tavrin::app::PortList *>(combo)->noPortsReason();
        QVERIFY2(reason.startsWith(u"没有找到串口。请检查"_s), qPrintable(reason));
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
