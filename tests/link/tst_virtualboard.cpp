#include "link/boardlink.h"
#include "link/virtualboard.h"

#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;
using namespace tavrin::link;

Q_DECLARE_METATYPE(tavrin::link::FrameKind)

namespace {

struct Listener {
    explicit Listener(VirtualBoard &board) {
        QObject::connect(&board, &VirtualBoard::frameReceived, [this](const BoardFrame &frame) { frames << frame; });
    }
    QList<BoardFrame> frames;
};

// Writes on the device as a plain program would: no serial settings of its own.
bool writePlain(const QString &device, const QByteArray &bytes) {
    const int fd = ::open(device.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY);
    const bool written = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}

} // namespace

class VirtualBoardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void burst_decodesAsTheBoardTakesIt_data() {
        QTest::addColumn<QByteArray>("burst");
        QTest::addColumn<int>("leds");
        QTest::addColumn<QList<FrameKind>>("kinds");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QByteArray>("content");
        using K = FrameKind;
        QTest::newRow("erase") << QByteArray::fromHex("3333000d") << 16 << QList{K::Erase} << 0 << QByteArray();
        QTest::newRow("write, no content")
            << QByteArray::fromHex("3333f00d") << 16 << QList{K::Write} << 0 << QByteArray();
        QTest::newRow("write, 8 LEDs") << QByteArray::fromHex("3333f00d80ff03") << 8 << QList{K::Write} << 3
                                       << QByteArray::fromHex("80ff03");
        QTest::newRow("write, 16 LEDs") << QByteArray::fromHex("3333f00d8001ffff") << 16 << QList{K::Write} << 2
                                        << QByteArray::fromHex("8001ffff");
        QTest::newRow("write, 32 LEDs, partial column kept")
            << QByteArray::fromHex("3333f00d0102030405") << 32 << QList{K::Write} << 1
            << QByteArray::fromHex("0102030405");
        QTest::newRow("erase inside a write is content")
            << QByteArray::fromHex("3333f00d3333000d") << 16 << QList{K::Write} << 2 << QByteArray::fromHex("3333000d");
        QTest::newRow("erase, then write at once") << QByteArray::fromHex("3333000d3333f00d8001") << 16
                                                   << QList{K::Erase, K::Write} << 1 << QByteArray::fromHex("8001");
        QTest::newRow("other command byte")
            << QByteArray::fromHex("3333010d") << 16 << QList{K::Unknown} << 0 << QByteArray();
        QTest::newRow("cut short") << QByteArray::fromHex("3333f0") << 16 << QList{K::Unknown} << 0 << QByteArray();
        QTest::newRow("noise before a write")
            << QByteArray::fromHex("003333f00d8001") << 16 << QList{K::Unknown} << 0 << QByteArray();
        QTest::newRow("nothing") << QByteArray() << 16 << QList<FrameKind>{} << 0 << QByteArray();
    }
    void burst_decodesAsTheBoardTakesIt() {
        QFETCH(QByteArray, burst);
        QFETCH(int, leds);
        QFETCH(QList<FrameKind>, kinds);
        QFETCH(int, columns);
        QFETCH(QByteArray, content);
        const QList<BoardFrame> frames = decodeFrames(burst, leds);
        QCOMPARE(frames.size(), kinds.size());
        qsizetype total = 0;
        for (qsizetype i = 0; i < frames.size(); ++i) {
            QCOMPARE(frames[i].kind, kinds[i]);
            total += frames[i].byteCount;
        }
        QCOMPARE(total, burst.size());
        if (!frames.isEmpty()) {
            QCOMPARE(frames.last().columns, columns);
            QCOMPARE(frames.last().content, content);
        }
    }

    void toolWrite_reachesTheBoardExactly() {
        VirtualBoard board(16);
        QVERIFY2(board.open(), qPrintable(board.errorString()));
        Listener listener(board);
        QByteArray content(4096, '\0');
        for (qsizetype i = 0; i < content.size(); ++i) {
            content[i] = char(i * 37 % 256); // CR, LF, XON, XOFF and the command bytes among them
        }
        for (const QByteArray &sent : {QByteArray::fromHex("3333f00d") + content, QByteArray::fromHex("3333000d")}) {
            SendResult result;
            // The sender blocks while the board reads, as a tool and a board would.
            std::unique_ptr<QThread> sender(
                QThread::create([&] { result = sendBytes(u"COM 1"_s, board.devicePath(), sent, {}); }));
            sender->start();
            const qsizetype before = listener.frames.size();
            QTRY_COMPARE_WITH_TIMEOUT(listener.frames.size(), before + 1, 10000);
            QVERIFY(sender->wait(10000));
            QVERIFY(result.sent());
            QVERIFY(listener.frames.last().bytes == sent);
        }
        QCOMPARE(listener.frames[0].kind, FrameKind::Write);
        QCOMPARE(listener.frames[0].columns, 2048);
        QCOMPARE(listener.frames[1].kind, FrameKind::Erase);
        QVERIFY(board.content().isEmpty());
    }

    void silence_endsAFrame() {
        VirtualBoard board(16);
        QVERIFY2(board.open(), qPrintable(board.errorString()));
        Listener listener(board);
        // A pause well under the gap stays inside the frame; LF and CR arrive untranslated.
        QVERIFY(writePlain(board.devicePath(), QByteArray::fromHex("3333f00d")));
        QTest::qWait(50);
        QVERIFY(writePlain(board.devicePath(), QByteArray::fromHex("0a0d")));
        QTRY_COMPARE(listener.frames.size(), 1);
        QCOMPARE(board.content(), QByteArray::fromHex("0a0d"));
        QTest::qWait(VirtualBoard::frameGapMs + 100);
        QVERIFY(writePlain(board.devicePath(), QByteArray::fromHex("1234")));
        QTRY_COMPARE(listener.frames.size(), 2);
        QCOMPARE(listener.frames[1].kind, FrameKind::Unknown);
        QCOMPARE(board.content(), QByteArray::fromHex("0a0d"));
        QVERIFY(writePlain(board.devicePath(), QByteArray::fromHex("3333000d3333f00d8001")));
        QTRY_COMPARE(listener.frames.size(), 4);
        QCOMPARE(listener.frames[2].kind, FrameKind::Erase);
        QCOMPARE(board.content(), QByteArray::fromHex("8001"));
    }
};

QTEST_GUILESS_MAIN(VirtualBoardTest)
#include "tst_virtualboard.moc"
