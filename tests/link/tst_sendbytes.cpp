#include "link/boardlink.h"
#include "platform/serialport.h"
#include "support/pty.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin;
using tavrin::testing::openDescriptorCount;
using tavrin::testing::PtyPair;

namespace {

// A full 16-LED canvas: 2048 columns of four digits, every byte value several times over.
QString fullSixteenLedCode() {
    QByteArray content(4096, '\0');
    for (int i = 0; i < content.size(); ++i) {
        content[i] = char(i % 256);
    }
    QRandomGenerator random(16);
    std::shuffle(content.begin(), content.end(), random);
    return QString::fromLatin1(content.toHex());
}

// The line must be free again: another line takes it with its lock and exclusive mode.
bool portIsFree(const QString &device) {
    platform::SerialLine line;
    return line.open(device, QString::fromLatin1(link::lineSettings));
}

} // namespace

class SendBytes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void command_arrivesExactlyAndPortIsReleased_data();
    void command_arrivesExactlyAndPortIsReleased();
    void portThatCannotBeOpened_reportsAndSendsNothing_data();
    void portThatCannotBeOpened_reportsAndSendsNothing();
    void readerGone_reportsWithinSeconds();
};

void SendBytes::command_arrivesExactlyAndPortIsReleased_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("expected");

    const QString code = fullSixteenLedCode();
    QTest::newRow("erase") << QString::fromLatin1(link::eraseCommand) << code << QByteArray::fromHex("3333000d");
    QTest::newRow("write, empty code") << QString::fromLatin1(link::writeCommand) << QString()
                                       << QByteArray::fromHex("3333f00d");
    QTest::newRow("write, full 16-LED canvas")
        << QString::fromLatin1(link::writeCommand) << code
        << QByteArray::fromHex("3333f00d") + QByteArray::fromHex(code.toLatin1());
}

void SendBytes::command_arrivesExactlyAndPortIsReleased() {
    QFETCH(QString, command);
    QFETCH(QString, code);
    QFETCH(QByteArray, expected);

    PtyPair pty;
    QVERIFY(pty.isValid());
    pty.startReading();
    const int descriptors = openDescriptorCount();

    QList<qint64> delivered;
    const link::SendResult result = link::sendBytes(
        u"COM 3"_s, pty.slavePath(), link::frameBytes(link::frameText(command, code)), [&](qint64 done, qint64 total) {
            QCOMPARE(total, expected.size());
            delivered << done;
        });
    QVERIFY(result.sent());
    QVERIFY(!result.failure);

    // Nothing may follow the expected bytes.
    pty.received(expected.size(), 2000);
    const QByteArray arrived = pty.received(expected.size() + 1, 50);
    QCOMPARE(arrived.size(), expected.size());
    QVERIFY(arrived == expected);

    QCOMPARE(result.delivered, expected.size());
    QVERIFY(std::is_sorted(delivered.cbegin(), delivered.cend()));
    QCOMPARE(delivered.first(), 0);
    QCOMPARE(delivered.last(), expected.size());

    QCOMPARE(openDescriptorCount(), descriptors);
    QVERIFY(portIsFree(pty.slavePath()));
}

void SendBytes::portThatCannotBeOpened_reportsAndSendsNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("lineError");
    QTest::addColumn<QString>("detailMentions");
    QTest::newRow("device absent") << u"missing"_s << int(platform::LineError::DeviceMissing) << u"No such file"_s;
    QTest::newRow("not a serial device") << u"file"_s << int(platform::LineError::NotASerialPort)
                                         << u"Inappropriate ioctl"_s;
    QTest::newRow("busy with another line") << u"busy"_s << int(platform::LineError::Busy) << QString();
}

void SendBytes::portThatCannotBeOpened_reportsAndSendsNothing() {
    QFETCH(QString, kind);
    QFETCH(int, lineError);
    QFETCH(QString, detailMentions);

    PtyPair pty;
    QVERIFY(pty.isValid());
    pty.startReading();
    QTemporaryDir dir;
    QString device = pty.slavePath();
    platform::SerialLine holder;
    if (kind == u"missing") {
        device = dir.filePath(u"ttyUSB0"_s);
    } else if (kind == u"file") {
        device = dir.filePath(u"plain"_s);
        QFile file(device);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(holder.open(device, QString::fromLatin1(link::lineSettings)));
    }
    const int descriptors = openDescriptorCount();

    int progressCalls = 0;
    const link::SendResult result =
        link::sendBytes(u"COM 2"_s, device, QByteArray::fromHex("3333000d"), [&](qint64, qint64) { ++progressCalls; });
    QVERIFY(!result.sent());
    QCOMPARE(result.failure.reason, link::LinkFailure::OpenFailed);
    QCOMPARE(result.failure.port, u"COM 2"_s);
    QCOMPARE(result.failure.device, device);
    QCOMPARE(int(result.failure.line.kind), lineError);
    QVERIFY2(result.failure.line.detail.contains(detailMentions), qPrintable(result.failure.line.detail));
    QCOMPARE(progressCalls, 0);
    QCOMPARE(openDescriptorCount(), descriptors);

    QCOMPARE(pty.received(1, 100).size(), 0);
    if (kind == u"file") {
        QCOMPARE(QFileInfo(device).size(), 0);
    }
}

void SendBytes::readerGone_reportsWithinSeconds() {
    PtyPair pty;
    QVERIFY(pty.isValid());
    pty.startReading();
    const int descriptors = openDescriptorCount();
    const QByteArray bytes =
        link::frameBytes(link::frameText(QString::fromLatin1(link::writeCommand), fullSixteenLedCode()));

    QElapsedTimer clock;
    clock.start();
    // A pseudo-terminal takes a whole write at once: the reader goes before the first byte.
    const link::SendResult result =
        link::sendBytes(u"COM 1"_s, pty.slavePath(), bytes, [&](qint64, qint64) { pty.closeMaster(); });
    QVERIFY(!result.sent());
    QVERIFY2(clock.elapsed() < 8000, "a vanished reader must not hold the write up");
    QVERIFY(result.failure.reason == link::LinkFailure::WriteFailed ||
            result.failure.reason == link::LinkFailure::NotAllSent);
    QCOMPARE(result.failure.port, u"COM 1"_s);
    QCOMPARE(result.failure.device, pty.slavePath());
    QCOMPARE(result.failure.total, bytes.size());
    QCOMPARE(openDescriptorCount(), descriptors - 1); // the master the test closed
}

QTEST_GUILESS_MAIN(SendBytes)
#include "tst_sendbytes.moc"
