#include "compose/canvas.h"
#include "compose/dots.h"
#include "compose/preparation.h"
#include "preview/roundmap.h"
#include "preview/spinrenderer.h"

#include <cmath>
#include <numbers>

#include <QPainter>
#include <QPainterPath>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin;
using namespace tavrin::preview;

namespace {

// A square picture, black with white drawn on it.
QImage drawing(const std::function<void(QPainter &)> &draw) {
    QImage image(400, 400, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    draw(painter);
    return image;
}

// Each column's lit rows as a bit mask (bit 0 the top LED), the picture made into dots at 128.
QList<quint32> litColumns(const QImage &picture, const compose::RoundSettings &round, int leds, int columns) {
    compose::PictureSettings settings;
    settings.round = round;
    settings.dots.method = compose::DotMethod::Threshold;
    const compose::ShapedPicture shaped = shapeForCanvas(picture, settings, leds, columns);
    const QImage dots = compose::makeDots(shaped.image, settings.dots);
    QList<quint32> lit;
    for (int x = 0; x < dots.width(); ++x) {
        quint32 rows = 0;
        for (int y = 0; y < dots.height(); ++y) {
            rows |= dots.pixel(x, y) == compose::glyphColour ? quint32(1) << y : 0;
        }
        lit.append(rows);
    }
    return lit;
}

compose::RoundSettings roundFor(int variant, bool topInside = false) {
    compose::RoundSettings round;
    round.enabled = true;
    round.variant = variant;
    round.perRevolution = 100;
    round.topInside = topInside;
    return round;
}

// The ring the LEDs 4 to 9 from the rim sweep, at the spinning preview's radii.
void ring(QPainter &painter) {
    const double outer = 200 * ledRadius(4, 16, true) + 200 * (1 - hubShare) / 32;
    const double inner = 200 * ledRadius(9, 16, true) - 200 * (1 - hubShare) / 32;
    QPainterPath path;
    path.addEllipse(QPointF(200, 200), outer, outer);
    path.addEllipse(QPointF(200, 200), inner, inner);
    painter.drawPath(path);
}

} // namespace

class RoundMapTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ring_lightsTheSameBandInEveryColumn_data() {
        QTest::addColumn<int>("variant");
        QTest::addColumn<bool>("topInside");
        QTest::newRow("generic") << -1 << false;
        QTest::newRow("generic, top LED at the hub") << -1 << true;
        QTest::newRow("board 22") << 22 << false;
        QTest::newRow("board 0, anticlockwise") << 0 << false;
    }
    void ring_lightsTheSameBandInEveryColumn() {
        QFETCH(int, variant);
        QFETCH(bool, topInside);
        const QList<quint32> lit = litColumns(drawing(ring), roundFor(variant, topInside), 16, 2048);
        QCOMPARE(lit.size(), 2048);
        // LEDs 4 to 9 counted from the rim: from the hub, LEDs 6 to 11.
        const quint32 expected = topInside ? 0x0fc0u : 0x03f0u;
        for (int x = 0; x < lit.size(); ++x) {
            QVERIFY2(lit[x] == expected, qPrintable(u"column %1: %2"_s.arg(x).arg(lit[x], 16, 2, QChar(u'0'))));
        }
    }

    void spoke_lightsOneColumnARevolution_data() {
        QTest::addColumn<int>("degrees");
        QTest::addColumn<int>("first");
        // 100 columns a revolution clockwise, column 0 lit over the first 3.6 degrees after twelve.
        QTest::newRow("twelve o'clock") << 0 << 99;
        QTest::newRow("three o'clock") << 90 << 24;
    }
    void spoke_lightsOneColumnARevolution() {
        QFETCH(int, degrees);
        QFETCH(int, first);
        const QImage spoke = drawing([degrees](QPainter &painter) {
            painter.translate(200, 200);
            painter.rotate(degrees);
            painter.drawRect(-10, -200, 20, 200);
        });
        const QList<quint32> lit = litColumns(spoke, roundFor(-1), 16, 2048);
        // The spoke lights the column each side of its angle whole, and near the hub, where it
        // is wider, the next ones.
        const auto place = [](int x) { return (x % 100 + 100) % 100; };
        for (int x = 0; x < 2048; ++x) {
            const int at = place(x - first);
            QVERIFY2(at <= 1 ? lit[x] == 0xffff : at == 2 || at == 99 || lit[x] == 0, qPrintable(QString::number(x)));
        }
    }

    void ring_showsClosedInTheSpinningPreview() {
        const QList<quint32> lit = litColumns(drawing(ring), roundFor(-1), 16, 2048);
        QString code;
        for (const quint32 rows : lit) {
            for (int digit = 0; digit < 4; ++digit) {
                int value = 0;
                for (int b = 0; b < 4; ++b) {
                    value |= (rows >> (digit * 4 + b) & 1) << (3 - b);
                }
                code += QString::number(value, 16);
            }
        }
        SpinRenderer renderer;
        QVERIFY(renderer.setContent(code, 16));
        renderer.setModel(BoardModel::generic(100, 1));
        renderer.setSettings({1200, 100, true});
        const QImage frame = renderer.revolutionFrame(4, 480);
        const double rim = 480 * 0.47;
        // The arm itself stands at twelve o'clock at the end of a revolution.
        for (int degrees = 6; degrees < 355; degrees += 3) {
            const double a = degrees * std::numbers::pi / 180;
            for (int row : {4, 9, 2, 12}) {
                const double r = rim * ledRadius(row, 16, true);
                const QRgb pixel = frame.pixel(int(240 + r * std::sin(a)), int(240 - r * std::cos(a)));
                const bool on = qRed(pixel) > 40 && qGreen(pixel) * 2 < qRed(pixel);
                QVERIFY2(on == (row == 4 || row == 9), qPrintable(u"%1° row %2"_s.arg(degrees).arg(row)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(RoundMapTest)
#include "tst_roundmap.moc"
