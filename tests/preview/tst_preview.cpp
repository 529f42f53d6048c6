#include "preview/boardmodel.h"
#include "preview/spinrenderer.h"

#include <cmath>
#include <numbers>

#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin::preview;

namespace {

QList<int> columnsOf(const QList<ShownColumn> &shown) {
    QList<int> columns;
    for (const ShownColumn &column : shown) {
        columns.append(column.column);
    }
    return columns;
}

QList<int> range(int from, int count) {
    QList<int> list;
    for (int i = 0; i < count; ++i) {
        list.append(from + i);
    }
    return list;
}

// The pixel of an LED at an angle clockwise from twelve o'clock, at the renderer's geometry.
QRgb ledPixel(const QImage &frame, int row, int leds, bool topOutermost, double degrees) {
    const double rim = frame.width() * 0.47;
    const double hub = rim * 0.38;
    const double pitch = (rim - hub) / leds;
    const double radius = topOutermost ? rim - (row + 0.5) * pitch : hub + (row + 0.5) * pitch;
    const double angle = degrees * std::numbers::pi / 180;
    return frame.pixel(int(frame.width() / 2.0 + radius * std::sin(angle)),
                       int(frame.height() / 2.0 - radius * std::cos(angle)));
}

// Red, however faded: the board's backdrop is grey and its surroundings black.
bool lit(QRgb pixel) {
    return qRed(pixel) > 40 && qGreen(pixel) * 2 < qRed(pixel);
}

} // namespace

class PreviewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void variants_areTheExportsSix() {
        for (int variant : {0, 1, 2, 3, 22, 33}) {
            QVERIFY(BoardModel::isVariant(variant));
            QCOMPARE(BoardModel::forVariant(variant).variant(), variant);
        }
        for (int other : {-1, 4, 5, 23, 100}) {
            QVERIFY(!BoardModel::isVariant(other));
        }
        QCOMPARE(BoardModel::forVariant(0).turning(), Turning::Anticlockwise);
        QCOMPARE(BoardModel::forVariant(1).turning(), Turning::Clockwise);
    }

    void windowBoards_takeNoEdgeWhileBusy_data() {
        QTest::addColumn<int>("variant");
        QTest::addColumn<double>("period");
        QTest::addColumn<int>("every");
        QTest::newRow("board 0, slow") << 0 << 25000.0 << 1;
        QTest::newRow("board 0, just under its busy time") << 0 << 22000.0 << 2;
        QTest::newRow("board 0, a third") << 0 << 7000.0 << 4;
        QTest::newRow("board 1, slow") << 1 << 18000.0 << 1;
        QTest::newRow("board 1, fast") << 1 << 12000.0 << 2;
    }
    void windowBoards_takeNoEdgeWhileBusy() {
        QFETCH(int, variant);
        QFETCH(double, period);
        QFETCH(int, every);
        const BoardModel model = BoardModel::forVariant(variant);
        QCOMPARE(model.overrun(period), every - 1);
        QCOMPARE(model.mostColumns(period), 108);
        for (int k = 0; k < 12; ++k) {
            QCOMPARE(model.revolution(k, period, 2048).size(), k % every == 0 ? 108 : 0);
        }
    }

    void board0_showsItsWindowRightColumnFirst() {
        const QList<ShownColumn> shown = BoardModel::forVariant(0).revolution(3, 30000, 2048);
        QCOMPARE(shown.first(), (ShownColumn{92, 205, 61 + 107}));
        QCOMPARE(shown.last(), (ShownColumn{92 + 107 * 205, 205, 61}));
    }

    void board1_movesEveryFourRevolutions() {
        const BoardModel model = BoardModel::forVariant(1);
        QCOMPARE(columnsOf(model.revolution(0, 20000, 2048)), range(64, 108));
        QCOMPARE(columnsOf(model.revolution(3, 20000, 2048)), range(64, 108));
        QCOMPARE(columnsOf(model.revolution(4, 20000, 2048)), range(65, 108));
        QCOMPARE(model.revolution(4, 20000, 2048).first().startUs, 38.0);
    }

    void slotBoards_slotsUntilTheNextEdge_data() {
        QTest::addColumn<int>("variant");
        QTest::addColumn<double>("period");
        QTest::addColumn<int>("slots");
        QTest::newRow("board 2 at 1200 rpm") << 2 << 50000.0 << 99;
        QTest::newRow("board 2, slow: the slot limit") << 2 << 200000.0 << 256;
        QTest::newRow("board 22 at 1200 rpm") << 22 << 50000.0 << 198;
        QTest::newRow("board 33 at 1200 rpm") << 33 << 50000.0 << 191;
        QTest::newRow("board 33, slow: the slot limit") << 33 << 200000.0 << 608;
        QTest::newRow("board 33, faster than its first column") << 33 << 2000.0 << 0;
    }
    void slotBoards_slotsUntilTheNextEdge() {
        QFETCH(int, variant);
        QFETCH(double, period);
        QFETCH(int, slots);
        const QList<ShownColumn> shown = BoardModel::forVariant(variant).revolution(7, period, 2048);
        QCOMPARE(shown.size(), slots);
        QCOMPARE(BoardModel::forVariant(variant).mostColumns(period), slots);
        for (const ShownColumn &column : shown) {
            QVERIFY(column.startUs < period);
        }
    }

    void lengthWordBoards_stayDarkPastTheContent() {
        const BoardModel model = BoardModel::forVariant(3);
        // Five columns: revolution 7 starts at column 2 and shows 2, 3, 4, then dark slots.
        const QList<ShownColumn> shown = model.revolution(7, 50000, 5);
        QCOMPARE(columnsOf(shown), (QList<int>{2, 3, 4}));
        QCOMPARE(shown.first().startUs, 500.0);
        QVERIFY(model.revolution(0, 50000, 0).isEmpty());
    }

    void canvasBoards_runOnRoundTheCanvas() {
        const QList<ShownColumn> shown = BoardModel::forVariant(22).revolution(2047, 50000, 300);
        QCOMPARE(shown.at(0).column, 2047);
        QCOMPARE(shown.at(1).column, 0);
    }

    void generic_spreadsItsColumns() {
        const BoardModel model = BoardModel::generic(4, 3);
        const QList<ShownColumn> shown = model.revolution(2, 40000, 10);
        QCOMPARE(columnsOf(shown), (QList<int>{6, 7, 8, 9}));
        QCOMPARE(shown.at(1), (ShownColumn{10000, 10000, 7}));
        QCOMPARE(columnsOf(model.revolution(3, 40000, 10)), (QList<int>{9, 0, 1, 2}));
        QCOMPARE(model.mostColumns(40000), 4);
        QVERIFY(model.revolution(-1, 40000, 10).isEmpty());
    }

    void renderer_refusesCodesThatAreNotWholeColumns() {
        SpinRenderer renderer;
        QVERIFY(renderer.setContent(u"ffff0000"_s, 16));
        QCOMPARE(renderer.contentColumns(), 2);
        QVERIFY(!renderer.setContent(u"fff"_s, 16));
        QVERIFY(!renderer.setContent(u"ffxx"_s, 16));
        QVERIFY(!renderer.setContent(u"ff"_s, 12));
        QCOMPARE(renderer.contentColumns(), 0);
    }

    void renderer_drawsEachRowAtItsRadius_data() {
        QTest::addColumn<bool>("topOutermost");
        QTest::newRow("top LED at the rim") << true;
        QTest::newRow("top LED at the hub") << false;
    }
    void renderer_drawsEachRowAtItsRadius() {
        QFETCH(bool, topOutermost);
        // Only the top LED lit, in every column, four columns a revolution.
        SpinRenderer renderer;
        QVERIFY(renderer.setContent(u"8000"_s.repeated(8), 16));
        renderer.setModel(BoardModel::generic(4, 1));
        renderer.setSettings({1200, 60, topOutermost});
        const QImage frame = renderer.revolutionFrame(3, 400);
        for (double degrees : {10.0, 100.0, 190.0, 280.0}) {
            QVERIFY2(lit(ledPixel(frame, 0, 16, topOutermost, degrees)), qPrintable(QString::number(degrees)));
            QVERIFY(!lit(ledPixel(frame, 15, 16, topOutermost, degrees)));
            QVERIFY(!lit(ledPixel(frame, 1, 16, topOutermost, degrees)));
        }
    }

    void renderer_placesColumnsWhereTheArmIsWhenTheyLight_data() {
        QTest::addColumn<int>("variant");
        QTest::addColumn<double>("litDegrees");
        QTest::addColumn<double>("darkDegrees");
        // At 1200 rpm, 50 ms a turn: board 22 shows 198 columns from 0.5 ms, all round; board 0
        // shows 108 columns from 92 us over 22 ms, about 160 degrees, anticlockwise.
        QTest::newRow("board 22") << 22 << 91.0 << 1.0;
        QTest::newRow("board 0, anticlockwise") << 0 << 270.0 << 90.0;
        QTest::newRow("board 0, its end") << 0 << 205.0 << 195.0;
    }
    void renderer_placesColumnsWhereTheArmIsWhenTheyLight() {
        QFETCH(int, variant);
        QFETCH(double, litDegrees);
        QFETCH(double, darkDegrees);
        SpinRenderer renderer;
        QVERIFY(renderer.setContent(u"ffff"_s.repeated(2048), 16));
        renderer.setModel(BoardModel::forVariant(variant));
        renderer.setSettings({1200, 45, true});
        const QImage frame = renderer.revolutionFrame(5, 480);
        for (int row : {0, 7, 15}) {
            QVERIFY(lit(ledPixel(frame, row, 16, true, litDegrees)));
            QVERIFY(!lit(ledPixel(frame, row, 16, true, darkDegrees)));
        }
    }

    void renderer_fadesWithPersistence() {
        SpinRenderer renderer;
        QVERIFY(renderer.setContent(u"ffff"_s.repeated(100), 16));
        renderer.setModel(BoardModel::generic(100, 0));
        // Half a turn after the start, 25 ms at 1200 rpm: with 20 ms of persistence the first
        // quarter of the turn has faded out, with 100 ms it is still there, dimmer than what is new.
        renderer.setSettings({1200, 20, true});
        QImage frame;
        renderer.render(frame, 300, 25000);
        QVERIFY(!lit(ledPixel(frame, 3, 16, true, 20)));
        QVERIFY(lit(ledPixel(frame, 3, 16, true, 170)));
        renderer.setSettings({1200, 100, true});
        renderer.render(frame, 300, 25000);
        QVERIFY(lit(ledPixel(frame, 3, 16, true, 20)));
        QVERIFY(qRed(ledPixel(frame, 3, 16, true, 20)) < qRed(ledPixel(frame, 3, 16, true, 170)));
        // Nothing before the first edge, nothing past half a turn yet.
        QVERIFY(!lit(ledPixel(frame, 3, 16, true, 200)));
    }

    void renderer_keepsSettingsInRange() {
        SpinRenderer renderer;
        renderer.setSettings({1, -5, true});
        QCOMPARE(renderer.settings().rpm, lowestRpm);
        QCOMPARE(renderer.settings().persistenceMs, 0.0);
        renderer.setSettings({1e9, 1e9, true});
        QCOMPARE(renderer.settings().rpm, highestRpm);
        QCOMPARE(renderer.settings().persistenceMs, longestPersistenceMs);
    }
};

QTEST_GUILESS_MAIN(PreviewTest)
#include "tst_preview.moc"
