#include "platform/serialport.h"
#include "support/pty.h"

#include <termios.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin::platform;
using tavrin::testing::PtyPair;

class SerialLineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void open_setsRawLineWithoutFlowControl_data();
    void open_setsRawLineWithoutFlowControl();
    void openProblem_saysWhatKeepsADeviceFromOpening_data();
    void openProblem_saysWhatKeepsADeviceFromOpening();
    void failures_sayWhy_data();
    void failures_sayWhy();
};

void SerialLineTest::open_setsRawLineWithoutFlowControl_data() {
    // A pseudo-terminal always carries 8 bits without parity, whatever is asked; speed and stop
    // bits are kept as set.
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("twoStopBits");

    QTest::newRow("board line 9600,n,8,1") << u"9600,n,8,1"_s << int(B9600) << false;
    QTest::newRow("19200 with two stop bits") << u"19200,e,7,2"_s << int(B19200) << true;
    QTest::newRow("4800, upper-case parity letter") << u"4800,O,8,1"_s << int(B4800) << false;
}

void SerialLineTest::open_setsRawLineWithoutFlowControl() {
    QFETCH(QString, settings);
    QFETCH(int, speed);
    QFETCH(bool, twoStopBits);

    PtyPair pty;
    QVERIFY(pty.isValid());
    SerialLine line;
    QVERIFY2(line.open(pty.slavePath(), settings), qPrintable(line.error().detail));
    QVERIFY(line.isOpen());

    termios tio{};
    QCOMPARE(::tcgetattr(pty.slaveFd(), &tio), 0);
    QCOMPARE(int(cfgetospeed(&tio)), speed);
    QCOMPARE(bool(tio.c_cflag & CSTOPB), twoStopBits);
    QCOMPARE(int(tio.c_cflag & CRTSCTS), 0);
    QCOMPARE(int(tio.c_iflag & (IXON | IXOFF)), 0);
    QCOMPARE(int(tio.c_oflag & OPOST), 0); // no newline translation on the way out

    line.close();
    QVERIFY(!line.isOpen());
}

void SerialLineTest::openProblem_saysWhatKeepsADeviceFromOpening_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("expected");
    QTest::newRow("pseudo-terminal") << u"pty"_s << int(LineError::None);
    QTest::newRow("missing device") << u"missing"_s << int(LineError::DeviceMissing);
    QTest::newRow("regular file") << u"file"_s << int(LineError::NotASerialPort);
    QTest::newRow("port in use by another line") << u"busy"_s << int(LineError::Busy);
    QTest::newRow("no device named") << u"empty"_s << int(LineError::NoDevice);
}

void SerialLineTest::openProblem_saysWhatKeepsADeviceFromOpening() {
    QFETCH(QString, kind);
    QFETCH(int, expected);

    PtyPair pty;
    QVERIFY(pty.isValid());
    QTemporaryDir dir;
    QString device = pty.slavePath();
    SerialLine holder;
    if (kind == u"missing") {
        device = dir.filePath(u"ttyUSB99"_s);
    } else if (kind == u"file") {
        device = dir.filePath(u"plain"_s);
        QFile file(device);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == u"busy") {
        QVERIFY(holder.open(device, u"9600,n,8,1"_s));
    } else if (kind == u"empty") {
        device.clear();
    }

    const int before = tavrin::testing::openDescriptorCount();
    const LineError problem = openProblem(device);
    QCOMPARE(int(problem.kind), expected);
    QCOMPARE(canOpen(device), expected == LineError::None);
    QCOMPARE(tavrin::testing::openDescriptorCount(), before);
    if (kind == u"busy") {
        // The holder is named as the system names it: this test program, by its process id.
        QFile comm(u"/proc/self/comm"_s);
        QVERIFY(comm.open(QIODevice::ReadOnly));
        QCOMPARE(problem.holders.size(), 1);
        QCOMPARE(problem.holders.constFirst().pid, qint64(::getpid()));
        QCOMPARE(problem.holders.constFirst().program, QString::fromLocal8Bit(comm.readAll().trimmed()));
    }
}

void SerialLineTest::failures_sayWhy_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("device");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("detail");
    QTest::newRow("unknown parity letter") << u"9600,x,8,1"_s << true << int(LineError::BadSettings) << u"9600,x,8,1"_s;
    QTest::newRow("no speed") << u",n,8,1"_s << true << int(LineError::BadSettings) << u",n,8,1"_s;
    QTest::newRow("no device named") << u"9600,n,8,1"_s << false << int(LineError::NoDevice) << QString();
}

void SerialLineTest::failures_sayWhy() {
    QFETCH(QString, settings);
    QFETCH(bool, device);
    QFETCH(int, kind);
    QFETCH(QString, detail);
    PtyPair pty;
    QVERIFY(pty.isValid());
    SerialLine line;
    QVERIFY(!line.open(device ? pty.slavePath() : QString(), settings));
    QCOMPARE(int(line.error().kind), kind);
    QCOMPARE(line.error().detail, detail);
    // A line that did not open refuses every call, and says so.
    char byte = 0;
    QCOMPARE(line.writeSome(&byte, 1), -1);
    QCOMPARE(line.error().kind, LineError::NotOpen);
    QCOMPARE(line.queuedBytes(), -1);
    QVERIFY(!line.waitForRoom(1));
}

QTEST_GUILESS_MAIN(SerialLineTest)
#include "tst_serialline.moc"
