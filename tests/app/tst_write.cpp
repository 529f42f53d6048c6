#include "app/form1.h"
#include "support/board.h"
#include "support/home.h"
#include "support/modal.h"
#include "support/widgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace Qt::StringLiterals;
using tavrin::app::Form1;
using tavrin::testing::child;
using tavrin::testing::PluggedBoard;
using tavrin::testing::PtyPair;
using tavrin::testing::sendEnded;
using tavrin::testing::TemporaryHome;
using tavrin::testing::writeDoneMessage;

namespace {

const QString eraseMessage = u"　　已发出擦除命令！如点阵仍然显示原内容，请检查串口号、连接线！\r\r"
                             u"注意：出厂的内置广告是无法擦除的，擦除成功后会显示内置广告！"_s;

// Waits until the reader has seen `size` bytes (the line is drained before the port closes, so
// they are normally there already).
QByteArray receivedBytes(PtyPair &reader, qsizetype size) {
    for (int i = 0; i < 200 && reader.received().size() < size; ++i) {
        QTest::qWait(10);
    }
    QTest::qWait(50); // and nothing more follows
    return reader.received();
}

QString cliPatternCode(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral(TAVRIN_CLI), QStringList{u"pattern"_s, u"code"_s} + arguments);
    process.waitForFinished(60000);
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}

} // namespace

class WriteTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_board.plugIn(); }
    void cleanup() { m_board.unplug(); }

    void write_sendsCommandAndExactlyTheCode() {
        Form1 form;
        QCOMPARE(child<QComboBox>(form, u"Combo7"_s)->currentText(), u"COM 1"_s);
        auto *edit = child<QPlainTextEdit>(form, u"Text1"_s);
        edit->clear();
        QTest::keyClicks(edit, u"LED "_s);
        edit->insertPlainText(u"点阵"_s); // as an input method commits it
        BoxAnswerer ok(QMessageBox::Ok);
        QTest::mouseClick(child<QPushButton>(form, u"Command14_2"_s), Qt::LeftButton);
        QVERIFY(sendEnded(form));
        QCOMPARE(ok.seen.size(), 1);
        QCOMPARE(ok.seen.at(0).text, writeDoneMessage);
        QCOMPARE(ok.seen.at(0).title, u"Tavrin"_s);

        const QString code = child<QLineEdit>(form, u"Text3"_s)->text();
        QCOMPARE(code.size(), 8192);
        QVERIFY(code.contains(QRegularExpression(u"^[0-9a-f]+$"_s)));
        QVERIFY(code != QString(8192, u'0'));
        QCOMPARE(child<QPlainTextEdit>(form, u"Text2"_s)->toPlainText(), code);
        const QByteArray expected = QByteArray::fromHex("3333f00d") + QByteArray::fromHex(code.toLatin1());
        QCOMPARE(receivedBytes(*m_board, expected.size()), expected);
        QVERIFY(child<QWidget>(form, u"Picture3"_s)->isHidden());

        // The same canvas again sends the same bytes again.
        m_board->clear();
        QTest::mouseClick(child<QPushButton>(form, u"Command14_2"_s), Qt::LeftButton);
        QVERIFY(sendEnded(form));
        QCOMPARE(ok.seen.size(), 2);
        QCOMPARE(receivedBytes(*m_board, expected.size()), expected);
    }

    void write_picture_sendsItsDots() {
        const QString path = m_dir.filePath(u"dots.bmp"_s);
        QImage picture(3, 16, QImage::Format_RGB32);
        picture.fill(qRgb(0, 0, 0));
        picture.setPixel(0, 0, qRgb(255, 0, 0));
        picture.setPixel(0, 15, qRgb(255, 0, 0));
        picture.setPixel(2, 3, qRgb(255, 255, 255));
        QVERIFY(picture.save(path));
        Form1 form;
        {
            FileDialogAnswerer answer(path);
            QTest::mouseClick(child<QPushButton>(form, u"Command9_6"_s), Qt::LeftButton);
        }
        BoxAnswerer ok(QMessageBox::Ok);
        QTest::mouseClick(child<QPushButton>(form, u"Command14_2"_s), Qt::LeftButton);
        QVERIFY(sendEnded(form));
        QCOMPARE(ok.seen.size(), 1);
        const QString code = child<QLineEdit>(form, u"Text3"_s)->text();
        QCOMPARE(code.left(12), u"800100001000"_s);
        QCOMPARE(code.mid(12), QString(8192 - 12, u'0'));
        const QByteArray received = receivedBytes(*m_board, 4 + 4096);
        QCOMPARE(received.left(10), QByteArray::fromHex("3333f00d800100001000"));
    }

    void testPattern_sendsTheCommandLinesPatternAndKeepsTheComposition_data() {
        QTest::addColumn<int>("leds");
        QTest::addColumn<bool>("leftRight");
        QTest::addColumn<bool>("upsideDown");
        QTest::newRow("8 LEDs") << 8 << false << false;
        QTest::newRow("32 LEDs, mirrored left-right") << 32 << true << false;
        QTest::newRow("16 LEDs, upside down") << 16 << false << true;
    }
    void testPattern_sendsTheCommandLinesPatternAndKeepsTheComposition() {
        QFETCH(int, leds);
        QFETCH(bool, leftRight);
        QFETCH(bool, upsideDown);
        Form1 form;
        form.setLedCount(leds);
        form.setContentMirror({leftRight, upsideDown});
        const QImage canvas = form.canvas().render();
        const QString held = child<QLineEdit>(form, u"Text3"_s)->text();
        BoxAnswerer ok(QMessageBox::Ok);
        form.writeTestPattern();
        QVERIFY(sendEnded(form));
        QCOMPARE(ok.seen.size(), 1);
        QCOMPARE(ok.seen.at(0).text, writeDoneMessage);
        QStringList arguments{u"--leds"_s, QString::number(leds)};
        if (leftRight) {
            arguments += {u"--mirror"_s, u"left-right"_s};
        }
        if (upsideDown) {
            arguments += {u"--mirror"_s, u"upside-down"_s};
        }
        const QString code = cliPatternCode(arguments);
        QVERIFY(!code.isEmpty());
        const QByteArray expected = QByteArray::fromHex("3333f00d") + QByteArray::fromHex(code.toLatin1());
        QCOMPARE(receivedBytes(*m_board, expected.size()), expected);
        QCOMPARE(form.canvas().render(), canvas);
        QCOMPARE(child<QLineEdit>(form, u"Text3"_s)->text(), held);
    }

    void write_afterScrolling_canvasBackHome() {
        Form1 form;
        auto *scroll = child<QScrollBar>(form, u"HScroll1"_s);
        scroll->setValue(700);
        BoxAnswerer ok(QMessageBox::Ok);
        QTest::mouseClick(child<QPushButton>(form, u"Command14_2"_s), Qt::LeftButton);
        QVERIFY(sendEnded(form));
        QCOMPARE(ok.seen.size(), 1);
        QCOMPARE(child<QWidget>(form, u"Picture1"_s)->x(), 0);
        QCOMPARE(scroll->value(), 700);
        QCOMPARE(form.progresscount(), 0); // the scan ends at 0; the send reports on its own clock
    }

    void erase_sendsFourBytesAndKeepsCode() {
        Form1 form;
        BoxAnswerer ok(QMessageBox::Ok);
        QTest::mouseClick(child<QPushButton>(form, u"Command14_0"_s), Qt::LeftButton);
        QVERIFY(sendEnded(form));
        QCOMPARE(ok.seen.size(), 1);
        QCOMPARE(ok.seen.at(0).text, eraseMessage);
        QCOMPARE(receivedBytes(*m_board, 4), QByteArray::fromHex("3333000d"));
        QCOMPARE(child<QPlainTextEdit>(form, u"Text2"_s)->toPlainText(), QString());
    }

    void portFailures_sayWhyAndNothingElse_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("named");
        QTest::newRow("no port found") << QString() << u"没有选择串口"_s;
        QTest::newRow("no number") << u"COM"_s << u"COM"_s;
        QTest::newRow("absent device") << u"/nonexistent/ttyTAVRIN9"_s << u"/nonexistent/ttyTAVRIN9"_s;
        QTest::newRow("number without device") << u"COM 9"_s << u"COM 9"_s;
    }
    void portFailures_sayWhyAndNothingElse() {
        QFETCH(QString, port);
        QFETCH(QString, named);
        Form1 form;
        child<QComboBox>(form, u"Combo7"_s)->setEditText(port);
        for (int button : {2, 0}) {
            BoxAnswerer ok(QMessageBox::Ok);
            QTest::mouseClick(child<QPushButton>(form, u"Command14_%1"_s.arg(button)), Qt::LeftButton);
            QVERIFY(sendEnded(form));
            QCOMPARE(ok.seen.size(), 1);
            QVERIFY2(ok.seen.at(0).text.contains(named), qPrintable(ok.seen.at(0).text));
            QVERIFY(ok.seen.at(0).text != writeDoneMessage && ok.seen.at(0).text != eraseMessage);
            QVERIFY(child<QWidget>(form, u"Picture3"_s)->isHidden());
        }
        // The scan's code stays for the next try.
        QCOMPARE(child<QLineEdit>(form, u"Text3"_s)->text().size(), 8192);
        QTest::qWait(50);
        QVERIFY(m_board->received().isEmpty());
    }

    void typedDevicePath_isUsedAsItStands() {
        PtyPair other(PtyPair::LeftToSender);
        Form1 form;
        child<QComboBox>(form, u"Combo7"_s)->setEditText(other.slavePath());
        BoxAnswerer ok(QMessageBox::Ok);
        QTest::mouseClick(child<QPushButton>(form, u"Command14_0"_s), Qt::LeftButton);
        QVERIFY(sendEnded(form));
        QCOMPARE(ok.seen.size(), 1);
        QCOMPARE(ok.seen.at(0).text, eraseMessage);
        QCOMPARE(receivedBytes(other, 4), QByteArray::fromHex("3333000d"));
    }

private:
    TemporaryHome m_dir;
    PluggedBoard m_board;
};

QTEST_MAIN(WriteTest)
#include "tst_write.moc"
