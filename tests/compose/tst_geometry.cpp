#include "compose/geometry.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin::compose;

class GeometryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ledCountWidth_data() {
        QTest::addColumn<int>("leds");
        QTest::addColumn<int>("dots");
        QTest::newRow("8 LEDs") << 8 << 2048;
        QTest::newRow("16 LEDs") << 16 << 2048;
        QTest::newRow("24 LEDs, 1368 not 1365") << 24 << 1368;
        QTest::newRow("32 LEDs") << 32 << 1024;
    }
    void ledCountWidth() {
        QFETCH(int, leds);
        QFETCH(int, dots);
        QCOMPARE(canvasWidthDots(leds), dots);
        QCOMPARE(canvasWidthTwips(leds, 1.0f), float(dots * 15));
    }

    void unknownCount_keepsWidth() { QCOMPARE(canvasWidthTwips(12, 4321.0f), 4321.0f); }

    void scrollRule_data() {
        QTest::addColumn<float>("canvas");
        QTest::addColumn<float>("outer");
        QTest::addColumn<int>("value");
        QTest::addColumn<float>("left");
        QTest::newRow("start") << 30720.0f << 9315.0f << 0 << 0.0f;
        QTest::newRow("end: right edge at the window's width") << 30720.0f << 9315.0f << 1000 << -21405.0f;
        QTest::newRow("half") << 30720.0f << 9315.0f << 500 << -10702.5f;
        QTest::newRow("window wider than canvas") << 15360.0f << 30000.0f << 1000 << 14640.0f;
    }
    void scrollRule() {
        QFETCH(float, canvas);
        QFETCH(float, outer);
        QFETCH(int, value);
        QFETCH(float, left);
        QCOMPARE(scrolledLeft(canvas, outer, qint16(value), 1000), left);
    }

    void fontSizes_data() {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<double>("inUse");
        QTest::newRow("smallest") << 6 << 8 << 6.0;
        QTest::newRow("design size") << 12 << 16 << 12.0;
        QTest::newRow("largest rounds down") << 28 << 37 << 27.75;
    }
    void fontSizes() {
        QFETCH(int, points);
        QFETCH(int, pixels);
        QFETCH(double, inUse);
        QCOMPARE(pointsToPixels(points), pixels);
        QCOMPARE(pixelsToPoints(pixels), inUse);
    }

    void halfPixels_goToSmallerCoordinate() {
        QCOMPARE(twipsToPixel(7.5f), 0);
        QCOMPARE(twipsToPixel(-7.5f), -1);
        QCOMPARE(twipsToPixel(-15.0f), -1);
        QCOMPARE(twipsToPixel(30.0f), 2);
    }
};

QTEST_GUILESS_MAIN(GeometryTest)
#include "tst_geometry.moc"
