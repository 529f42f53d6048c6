#include "encode/contentcode.h"

#include <limits>

#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin::encode;

namespace {

QImage canvasOf(int width, int height, QRgb unlit = qRgb(64, 64, 64)) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(unlit);
    return image;
}

QString scan(const QImage &image, int leds) {
    return makeContentCode(image, float(image.width() * 15), float(image.height() * 15), leds);
}

} // namespace

class ContentCodeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void knownCanvases_data() {
        QTest::addColumn<QImage>("canvas");
        QTest::addColumn<int>("leds");
        QTest::addColumn<QString>("code");

        QImage example = canvasOf(3, 8);
        example.setPixel(0, 0, qRgb(255, 0, 0));
        for (int y = 0; y < 8; ++y) {
            example.setPixel(1, y, qRgb(255, 0, 0));
        }
        example.setPixel(2, 6, qRgb(255, 0, 0));
        example.setPixel(2, 7, qRgb(255, 0, 0));
        QTest::newRow("worked example") << example << 8 << u"80ff03"_s;

        QImage third = canvasOf(1, 8);
        third.setPixel(0, 2, qRgb(255, 0, 0));
        QTest::newRow("third dot at 8 LEDs") << third << 8 << u"20"_s;

        QImage ends = canvasOf(1, 16);
        ends.setPixel(0, 0, qRgb(255, 0, 0));
        ends.setPixel(0, 15, qRgb(255, 0, 0));
        QTest::newRow("top and bottom at 16 LEDs") << ends << 16 << u"8001"_s;

        QTest::newRow("pure red is lit") << canvasOf(1, 8, qRgb(255, 0, 0)) << 8 << u"ff"_s;
        QTest::newRow("pure green is unlit") << canvasOf(1, 8, qRgb(0, 255, 0)) << 8 << u"00"_s;
        QTest::newRow("pure blue is unlit") << canvasOf(1, 8, qRgb(0, 0, 255)) << 8 << u"00"_s;
        QTest::newRow("red 128 is unlit") << canvasOf(1, 8, qRgb(128, 128, 128)) << 8 << u"00"_s;
        QTest::newRow("red 129 is lit") << canvasOf(1, 8, qRgb(129, 0, 0)) << 8 << u"ff"_s;
        QTest::newRow("white is lit") << canvasOf(2, 32, qRgb(255, 255, 255)) << 32 << u"ffffffffffffffff"_s;

        QImage steps = canvasOf(1, 24);
        for (int y : {0, 5, 10, 23}) {
            steps.setPixel(0, y, qRgb(200, 0, 0));
        }
        QTest::newRow("24 LEDs, top dot most significant") << steps << 24 << u"842001"_s;
        QTest::newRow("no columns") << QImage(0, 0, QImage::Format_RGB32) << 16 << QString();
    }
    void knownCanvases() {
        QFETCH(QImage, canvas);
        QFETCH(int, leds);
        QFETCH(QString, code);
        QCOMPARE(scan(canvas, leds), code);
    }

    void fullWidth_digitCounts_data() {
        QTest::addColumn<int>("leds");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("digits");
        QTest::newRow("8") << 8 << 2048 << 4096;
        QTest::newRow("16") << 16 << 2048 << 8192;
        QTest::newRow("24") << 24 << 1368 << 8208;
        QTest::newRow("32") << 32 << 1024 << 8192;
    }
    void fullWidth_digitCounts() {
        QFETCH(int, leds);
        QFETCH(int, width);
        QFETCH(int, digits);
        const QString dark = scan(canvasOf(width, leds), leds);
        QCOMPARE(dark, QString(digits, u'0'));
        const QString lit = scan(canvasOf(width, leds, qRgb(255, 0, 0)), leds);
        QCOMPARE(lit, QString(digits, u'f'));
    }

    void columnsAreScannedLeftToRight() {
        QImage image = canvasOf(16, 8);
        for (int x = 0; x < 16; ++x) {
            for (int bit = 0; bit < 8; ++bit) {
                if (x & (0x80 >> bit)) {
                    image.setPixel(x, bit, qRgb(255, 0, 0));
                }
            }
        }
        QCOMPARE(scan(image, 8), u"000102030405060708090a0b0c0d0e0f"_s);
    }

    void wrongHeight_reportsEveryColumnAndLeavesItOut() {
        QImage image = canvasOf(3, 17);
        image.setPixel(1, 0, qRgb(255, 0, 0));
        QStringList messages;
        int done = 0;
        ScanHooks hooks;
        hooks.badColumn = [&](const QString &message) { messages.append(message); };
        hooks.columnDone = [&](int column, int columns) {
            QCOMPARE(column, done);
            QCOMPARE(columns, 3);
            ++done;
        };
        QCOMPARE(makeContentCode(image, 45, 255, 16, hooks), QString());
        QCOMPARE(done, 3);
        QCOMPARE(messages.size(), 3);
        QCOMPARE(messages.at(1), u"10000000000000000-17-16"_s);
    }

    void samplePoints_followTheTwipGrid() {
        QCOMPARE(samplePoints(0), 0);
        QCOMPARE(samplePoints(4), 0);
        QCOMPARE(samplePoints(5), 1);
        QCOMPARE(samplePoints(240), 16);
        QCOMPARE(samplePoints(30720), 2048);
        QCOMPARE(samplePoints(-30), 0);
        // Past single precision's whole numbers a point-by-point count would never end.
        QCOMPARE(samplePoints(16777215.0f), 1118481);
        QCOMPARE(samplePoints(3e9f), 200000000);
        QCOMPARE(samplePoints(1e30f), std::numeric_limits<int>::max());
        QCOMPARE(samplePoints(std::numeric_limits<float>::infinity()), std::numeric_limits<int>::max());
        QCOMPARE(samplePoints(std::numeric_limits<float>::quiet_NaN()), 0);
    }

    void bitsToHex_dropsShortLastGroup() {
        QCOMPARE(bitsToHex(u"1010000011111"_s), u"a0f"_s);
        QCOMPARE(bitsToHex(u"111"_s), QString());
    }
};

QTEST_GUILESS_MAIN(ContentCodeTest)
#include "tst_contentcode.moc"
