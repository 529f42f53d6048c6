#include "compose/pattern.h"
#include "compose/picture.h"
#include "compose/preparation.h"

#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin::compose;

namespace {

QImage filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// White with black rectangles.
QImage blackOnWhite(int width, int height, const QList<QRect> &blocks) {
    QImage image = filled(width, height, 0xffffffff);
    QPainter painter(&image);
    for (const QRect &block : blocks) {
        painter.fillRect(block, Qt::black);
    }
    return image;
}

QImage checkerboard(int width, int height, int square) {
    QImage image = filled(width, height, 0xffffffff);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if ((x / square + y / square) % 2 == 0) {
                image.setPixel(x, y, 0xff000000);
            }
        }
    }
    return image;
}

QString rows(const QString &row, int count) {
    return QStringList(count, row).join(u'/');
}

// '#' black, '.' white, '+' anything between; rows joined by '/'.
QString shades(const QImage &image) {
    QString text;
    for (int y = 0; y < image.height(); ++y) {
        text += y > 0 ? u"/"_s : QString();
        for (int x = 0; x < image.width(); ++x) {
            const int level = brightness(image.pixel(x, y));
            text += level <= 8 ? u'#' : level >= 247 ? u'.' : u'+';
        }
    }
    return text;
}

PictureSettings fitted(Fit fit, int scale = 100) {
    PictureSettings settings;
    settings.fit = fit;
    settings.scalePercent = scale;
    return settings;
}

} // namespace

class PreparationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shape_data();
    void shape();
    void badSettings_changeNothing_data();
    void badSettings_changeNothing();
    void contentRect_data();
    void contentRect();
    void shrinking_averagesWhatEachDotCovers();
    void testPattern_columns();
};

void PreparationTest::shape_data() {
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<PictureSettings>("settings");
    QTest::addColumn<int>("leds");
    QTest::addColumn<QString>("expected");

    // A 480-pixel-tall bar on white, 30 pixels a dot: its 60 pixels become exactly two dots.
    const QImage bar = blackOnWhite(480, 480, {QRect(210, 0, 60, 480)});
    QTest::newRow("bar, fit to 16 LEDs") << bar << fitted(Fit::Height) << 16 << rows(u".......##......."_s, 16);
    QTest::newRow("2x checkerboard halved") << checkerboard(8, 4, 2) << fitted(Fit::Height) << 2 << u"#.#./.#.#"_s;
    QTest::newRow("as it is keeps the picture")
        << blackOnWhite(3, 2, {QRect(0, 0, 1, 1)}) << PictureSettings{} << 8 << u"#../..."_s;
    QTest::newRow("solid block, 200 %") << filled(2, 1, 0xff000000) << fitted(Fit::Scale, 200) << 8 << u"####/####"_s;
    QTest::newRow("stretch keeps the width")
        << blackOnWhite(3, 2, {QRect(0, 0, 3, 1)}) << fitted(Fit::Stretch) << 8 << u"###/###/###/###/.../.../.../..."_s;
    QTest::newRow("inside a narrow canvas") << filled(40, 10, 0xff000000) << fitted(Fit::Inside) << 32
                                            << u"####################/####################/"
                                               u"####################/####################/"
                                               u"####################"_s;
    PictureSettings crop;
    crop.crop = QRect(1, 1, 3, 3);
    QTest::newRow("crop inside a one-dot border")
        << blackOnWhite(5, 5, {QRect(0, 0, 5, 1), QRect(0, 4, 5, 1), QRect(0, 0, 1, 5), QRect(4, 0, 1, 5)}) << crop << 8
        << u".../.../..."_s;
    PictureSettings autoCrop;
    autoCrop.autoCrop = true;
    autoCrop.fit = Fit::Height;
    QTest::newRow("auto-crop, then the block fills the height")
        << blackOnWhite(40, 30, {QRect(10, 12, 8, 4)}) << autoCrop << 8 << rows(QString(16, u'#'), 8);
    const QImage corner = blackOnWhite(3, 2, {QRect(0, 0, 1, 1)});
    PictureSettings turn;
    turn.turn = 90;
    QTest::newRow("turn 90 clockwise") << corner << turn << 8 << u".#/../.."_s;
    turn.turn = 270;
    QTest::newRow("turn 270") << corner << turn << 8 << u"../../#."_s;
    turn.turn = 180;
    QTest::newRow("turn 180") << corner << turn << 8 << u".../..#"_s;
    PictureSettings mirror;
    mirror.mirror.leftRight = true;
    QTest::newRow("mirror left-right") << corner << mirror << 8 << u"..#/..."_s;
    mirror.mirror = {false, true};
    QTest::newRow("mirror upside down") << corner << mirror << 8 << u".../#.."_s;
    PictureSettings all;
    all.crop = QRect(0, 0, 2, 2);
    all.turn = 90;
    all.mirror.leftRight = true;
    all.fit = Fit::Scale;
    all.scalePercent = 200;
    QTest::newRow("crop, turn, mirror, fit in that order") << corner << all << 8 << u"##../##../..../...."_s;
}

void PreparationTest::shape() {
    QFETCH(QImage, picture);
    QFETCH(PictureSettings, settings);
    QFETCH(int, leds);
    QFETCH(QString, expected);
    const ShapedPicture shaped = shapePicture(picture, settings, leds, 20);
    QCOMPARE(shaped.problem, ShapedPicture::None);
    QCOMPARE(shades(shaped.image), expected);
}

void PreparationTest::badSettings_changeNothing_data() {
    QTest::addColumn<PictureSettings>("settings");
    QTest::addColumn<int>("problem");
    QTest::addColumn<QSize>("size");

    PictureSettings settings;
    settings.crop = QRect(50, 0, 51, 10);
    QTest::newRow("crop past the right edge") << settings << int(ShapedPicture::CropOutside) << QSize(100, 50);
    settings.crop = QRect(-1, 0, 5, 5);
    QTest::newRow("crop before the left edge") << settings << int(ShapedPicture::CropOutside) << QSize(100, 50);
    settings.crop = QRect(10, 10, 0, 5);
    QTest::newRow("crop of no width") << settings << int(ShapedPicture::CropEmpty) << QSize(100, 50);
    QTest::newRow("scale past the picture limits")
        << fitted(Fit::Scale, 10000) << int(ShapedPicture::TooLarge) << QSize(10000, 5000);
    QTest::newRow("scale of 0") << fitted(Fit::Scale, 0) << int(ShapedPicture::BadScale) << QSize();
    QTest::newRow("fit height of a thin strip") << fitted(Fit::Height) << int(ShapedPicture::TooLarge) << QSize();
    settings = {};
    settings.round.enabled = true;
    QTest::newRow("round without a board") << settings << int(ShapedPicture::NoRoundBoard) << QSize();
}

void PreparationTest::badSettings_changeNothing() {
    QFETCH(PictureSettings, settings);
    QFETCH(int, problem);
    QFETCH(QSize, size);
    // A strip of one row: fitted to 32 LEDs it would be 32 × 16384 dots wide.
    const bool strip = settings.fit == Fit::Height;
    const QImage picture = strip ? filled(16384, 1, 0xff000000) : filled(100, 50, 0xff000000);
    const ShapedPicture shaped = shapePicture(picture, settings, 32, 1024);
    QCOMPARE(int(shaped.problem), problem);
    QVERIFY(shaped.image.isNull());
    if (size.isValid()) {
        QCOMPARE(shaped.size, size);
    }
}

void PreparationTest::contentRect_data() {
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QRect>("expected");

    QTest::newRow("logo on a white margin")
        << blackOnWhite(320, 120, {QRect(40, 30, 200, 20), QRect(60, 50, 5, 40)}) << QRect(40, 30, 200, 60);
    QImage transparent = filled(20, 20, 0x00000000);
    transparent.setPixel(3, 15, 0xff00ff00);
    transparent.setPixel(12, 4, 0x80ffffff);
    QTest::newRow("transparent margin") << transparent << QRect(3, 4, 10, 12);
    QImage near = blackOnWhite(10, 10, {QRect(4, 4, 2, 2)});
    near.setPixel(0, 9, qRgb(240, 236, 250)); // a lossy corner
    near.setPixel(8, 1, qRgb(235, 235, 235)); // a faint speck stays background
    QTest::newRow("near-white corners") << near << QRect(4, 4, 2, 2);
    QTest::newRow("corners that differ keep all") << blackOnWhite(10, 10, {QRect(0, 0, 1, 1)}) << QRect(0, 0, 10, 10);
    QTest::newRow("all background keeps all") << filled(7, 3, 0xffffffff) << QRect(0, 0, 7, 3);
}

void PreparationTest::contentRect() {
    QFETCH(QImage, picture);
    QFETCH(QRect, expected);
    QCOMPARE(tavrin::compose::contentRect(picture), expected);
}

void PreparationTest::shrinking_averagesWhatEachDotCovers() {
    // Each dot covers 2 × 2 pixels of a one-pixel checkerboard: grey, where a nearest-pixel pick
    // would give all black or all white and drop thin strokes.
    const ShapedPicture shaped = shapePicture(checkerboard(64, 32, 1), fitted(Fit::Height), 16, 2048);
    QCOMPARE(shaped.image.size(), QSize(32, 16));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) {
            QVERIFY2(std::abs(brightness(shaped.image.pixel(x, y)) - 128) <= 2, qPrintable(u"%1,%2"_s.arg(x).arg(y)));
        }
    }
}

void PreparationTest::testPattern_columns() {
    for (const int leds : {8, 16, 24, 32}) {
        const QImage pattern = testPattern(leds, 1024);
        QCOMPARE(pattern.size(), QSize(1024, leds));
        const auto column = [&](int x) {
            QString lit;
            for (int y = 0; y < leds; ++y) {
                lit += pattern.pixel(x, y) == qRgb(255, 0, 0) ? u'#' : u'.';
            }
            return lit;
        };
        const QString dark(leds, u'.');
        const auto litRows = [&](int from, int to) {
            QString lit = dark;
            lit.replace(from, to - from + 1, QString(to - from + 1, u'#'));
            return lit;
        };
        // The arrow: its shaft on the two middle LEDs, its widest column, its tip in column leds − 1.
        QCOMPARE(column(0), litRows(leds / 2 - 1, leds / 2));
        QCOMPARE(column(leds / 2), litRows(0, leds - 1));
        QCOMPARE(column(leds - 1), litRows(leds / 2 - 1, leds / 2));
        // The F's stem, then its top bar only past the middle bar's end.
        QCOMPARE(column(leds + 2), litRows(0, leds - 1));
        QCOMPARE(column(testPatternRampColumn(leds) - 3), litRows(0, std::max(1, leds / 8) - 1));
        // The ramp: its column i lights LEDs 0 to i, so the top LED is the one lit all along it.
        for (int i = 0; i < leds; ++i) {
            QCOMPARE(column(testPatternRampColumn(leds) + i), litRows(0, i));
        }
        QCOMPARE(column(testPatternRampColumn(leds) + leds), dark);
        // Every 100th column a mark, with its number at the top: "1" of 100 is a column 1 … 5 tall.
        for (const int mark : {100, 500, 1000}) {
            QCOMPARE(column(mark), litRows(0, leds - 1));
            QCOMPARE(column(mark - 1), dark);
            QCOMPARE(column(mark + 1), dark);
        }
        QCOMPARE(column(103), litRows(0, 4));
    }
}

QTEST_GUILESS_MAIN(PreparationTest)
#include "tst_preparation.moc"
