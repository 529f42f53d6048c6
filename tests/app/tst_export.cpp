#include "app/form1.h"
#include "hex/firmware.h"
#include "support/board.h"
#include "support/home.h"
#include "support/modal.h"
#include "support/widgets.h"

#include <csignal>
#include <sys/resource.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using tavrin::app::Form1;
using tavrin::testing::child;
using tavrin::testing::TemporaryHome;

namespace {

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Puts a content code into the code holder as the write action leaves it, without a board.
void writeCode(Form1 &form, const QString &code) {
    child<QLineEdit>(form, u"Text3"_s)->setText(code);
}

} // namespace

class ExportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("TAVRIN_SERIAL_PORTS", "/nonexistent/ttyTAVRIN0"); }

    void export_savesVariantWithContent_data() {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<QString>("reset");
        QTest::newRow("2") << u"2 号"_s << u":02000000801F5F"_s;
        QTest::newRow("33") << u"33 号"_s << u":02000000800C72"_s;
        QTest::newRow("0") << u"0 号"_s << u":0200000080047A"_s;
    }
    void export_savesVariantWithContent() {
        QFETCH(QString, variant);
        QFETCH(QString, reset);
        Form1 form;
        writeCode(form, u"80ff03"_s);
        ChoiceAnswerer choose(variant);
        const QString typed = m_dir.filePath(u"board-%1"_s.arg(QString::fromLatin1(QTest::currentDataTag())));
        FileDialogAnswerer save(typed);
        BoxAnswerer boxes(QMessageBox::Ok);
        QTest::mouseClick(child<QPushButton>(form, u"Command7_0"_s), Qt::LeftButton);
        QVERIFY(choose.answered && save.answered);
        QCOMPARE(choose.items.size(), 6);
        QVERIFY(boxes.seen.isEmpty());
        // A name typed without an extension under the HEX filter gets ".hex".
        const QByteArray file = readAll(typed + u".hex"_s);
        QVERIFY(file.startsWith(reset.toLatin1() + "\r\n"));
        QVERIFY(file.endsWith("\r\n:00000001FF\r\n"));
        QVERIFY(file.contains(":10028000"
                              "80ff03"));
    }

    void choice_preselectsLedCountThenLastChoice() {
        Form1 form;
        writeCode(form, u"00"_s);
        {
            ChoiceAnswerer choose(u"22 号"_s);
            FileDialogAnswerer save(m_dir.filePath(u"first.hex"_s));
            child<QPushButton>(form, u"Command7_0"_s)->click();
            const int expected = tavrin::hex::variantForLedCount(16);
            QVERIFY(choose.preselected.startsWith(u"%1 号"_s.arg(expected)));
        }
        ChoiceAnswerer again{QString()};
        child<QPushButton>(form, u"Command7_0"_s)->click();
        QVERIFY(again.preselected.startsWith(u"22 号"_s));
    }

    void cancel_writesNothingShowsNothing() {
        Form1 form;
        writeCode(form, u"80ff03"_s);
        const int before = int(QDir(m_dir.path()).entryList(QDir::Files).size());
        for (const bool atChoice : {true, false}) {
            ChoiceAnswerer choose(atChoice ? QString() : u"1 号"_s);
            FileDialogAnswerer save{QString()};
            BoxAnswerer boxes(QMessageBox::Ok);
            child<QPushButton>(form, u"Command7_0"_s)->click();
            QCOMPARE(save.answered, !atChoice);
            QVERIFY(boxes.seen.isEmpty());
        }
        QCOMPARE(int(QDir(m_dir.path()).entryList(QDir::Files).size()), before);
    }

    // The firmware reads the exported code as columns of its own LED count: the question is asked
    // when the code was made for another count, whatever the list has been set to since.
    void ledCountQuestion_followsTheWrittenCode_data() {
        QTest::addColumn<int>("writtenAt");
        QTest::addColumn<int>("listedNow");
        QTest::addColumn<bool>("asked");
        QTest::newRow("written for 32, list now 16") << 3 << 1 << true;
        QTest::newRow("written for 16, list now 32") << 1 << 3 << false;
        QTest::newRow("written for 8, list unchanged") << 0 << 0 << true;
        QTest::newRow("written for 16, list unchanged") << 1 << 1 << false;
    }
    void ledCountQuestion_followsTheWrittenCode() {
        QFETCH(int, writtenAt);
        QFETCH(int, listedNow);
        QFETCH(bool, asked);
        Form1 form;
        auto *ledList = child<QComboBox>(form, u"Combo2"_s);
        ledList->setCurrentIndex(writtenAt);
        form.Combo2_Click();
        {
            BoxAnswerer noPort(QMessageBox::Ok); // the code is made before the port is looked for
            child<QPushButton>(form, u"Command14_2"_s)->click();
            QVERIFY(tavrin::testing::sendEnded(form));
            QCOMPARE(noPort.seen.size(), 1);
        }
        const QString code = child<QLineEdit>(form, u"Text3"_s)->text();
        ledList->setCurrentIndex(listedNow);
        form.Combo2_Click();
        ChoiceAnswerer choose(u"0 号"_s);
        const QString path = m_dir.filePath(u"leds-%1-%2.hex"_s.arg(writtenAt).arg(listedNow));
        FileDialogAnswerer save(path);
        BoxAnswerer boxes(QMessageBox::Yes);
        child<QPushButton>(form, u"Command7_0"_s)->click();
        QCOMPARE(boxes.seen.size(), asked ? 1 : 0);
        if (asked) {
            QVERIFY2(boxes.seen.at(0).text.contains(u"驱动 16 个LED"_s) &&
                         boxes.seen.at(0).text.contains(u" %1 个LED"_s.arg(8 * writtenAt + 8)),
                     qPrintable(boxes.seen.at(0).text));
        }
        QVERIFY(save.answered);
        QVERIFY(readAll(path).contains(":10028000" + code.left(32).toLatin1()));
    }

    void beforeAnyWrite_refuses() {
        Form1 form;
        ChoiceAnswerer choose(u"2 号"_s);
        BoxAnswerer boxes(QMessageBox::Ok);
        child<QPushButton>(form, u"Command7_0"_s)->click();
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY2(boxes.seen.at(0).text.contains(u"写入新内容"_s), qPrintable(boxes.seen.at(0).text));
    }

    void failedSave_saysWhyAndKeepsOldFile() {
        const QString path = m_dir.filePath(u"old.hex"_s);
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("previous export\r\n");
        }
        Form1 form;
        writeCode(form, QString(8192, u'f'));
        // A disk that fills up mid-write: the file size limit fails every write past 1 KB, even for root.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 1024;
        setrlimit(RLIMIT_FSIZE, &small);
        ChoiceAnswerer choose(u"33 号"_s);
        FileDialogAnswerer save(path);
        BoxAnswerer boxes(QMessageBox::Ok);
        child<QPushButton>(form, u"Command7_0"_s)->click();
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY2(boxes.seen.at(0).text.contains(u"old.hex"_s), qPrintable(boxes.seen.at(0).text));
        QCOMPARE(readAll(path), QByteArray("previous export\r\n"));
        QCOMPARE(QDir(m_dir.path()).entryList({u"old.hex*"_s}, QDir::Files | QDir::Hidden).size(), 1);
    }

    void unwritableFolder_saysWhy() {
        Form1 form;
        writeCode(form, u"80ff03"_s);
        ChoiceAnswerer choose(u"3 号"_s);
        FileDialogAnswerer save(u"/proc/tavrin-export.hex"_s);
        BoxAnswerer boxes(QMessageBox::Ok);
        child<QPushButton>(form, u"Command7_0"_s)->click();
        QCOMPARE(boxes.seen.size(), 1);
        QVERIFY(boxes.seen.at(0).text.contains(u"/proc/tavrin-export.hex"_s));
    }

private:
    TemporaryHome m_dir;
};

QTEST_MAIN(ExportTest)
#include "tst_export.moc"
