#include "compose/canvas.h"
#include "compose/dots.h"

#include <vector>

#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin::compose;

namespace {

QImage grey(int width, int height, int level) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(level, level, level));
    return image;
}

// '#' for a lit dot, '.' for an unlit one, rows joined by '/'; any other colour fails the test.
QString dotsText(const QImage &dots) {
    QString text;
    for (int y = 0; y < dots.height(); ++y) {
        if (y > 0) {
            text += u'/';
        }
        for (int x = 0; x < dots.width(); ++x) {
            const QRgb pixel = dots.pixel(x, y);
            text += pixel == glyphColour ? u'#' : pixel == backdropColour ? u'.' : u'?';
        }
    }
    return text;
}

// Floyd–Steinberg written out on a whole grid: errors in sixteenths of a level, every share
// rounded toward zero, the pixel lit when its level with the error reaches the threshold.
QString floydSteinberg(const QImage &picture, int threshold, bool invert) {
    const int w = picture.width();
    const int h = picture.height();
    std::vector<std::vector<int>> error(h + 1, std::vector<int>(w + 2, 0));
    QString text;
    for (int y = 0; y < h; ++y) {
        if (y > 0) {
            text += u'/';
        }
        for (int x = 0; x < w; ++x) {
            const QRgb p = picture.pixel(x, y);
            int level = (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p) + 500) / 1000;
            level = (level * qAlpha(p) + 127) / 255;
            if (invert) {
                level = 255 - level;
            }
            const int have = level * 16 + error[y][x + 1];
            const bool lit = have >= threshold * 16;
            const int rest = have - (lit ? 4080 : 0);
            error[y][x + 2] += rest * 7 / 16;
            error[y + 1][x] += rest * 3 / 16;
            error[y + 1][x + 1] += rest * 5 / 16;
            error[y + 1][x + 2] += rest * 1 / 16;
            text += lit ? u'#' : u'.';
        }
    }
    return text;
}

} // namespace

class DotsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void asItIs_keepsThePicture() {
        QImage picture(3, 2, QImage::Format_ARGB32);
        picture.fill(qRgba(200, 10, 30, 128));
        QCOMPARE(makeDots(picture, {}), picture);
    }

    void threshold_data() {
        QTest::addColumn<int>("threshold");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<QString>("dots");
        // Brightness of the row: 0, 29 (blue), 76 (red), 127, 128, 150 (green), 255.
        QTest::newRow("at 128") << 128 << false << u"....###"_s;
        QTest::newRow("at 129") << 129 << false << u".....##"_s;
        QTest::newRow("at 0, all lit") << 0 << false << u"#######"_s;
        QTest::newRow("at 76, red lights") << 76 << false << u"..#####"_s;
        QTest::newRow("inverted at 128") << 128 << true << u"####..."_s;
    }
    void threshold() {
        QFETCH(int, threshold);
        QFETCH(bool, invert);
        QFETCH(QString, dots);
        QImage picture(7, 1, QImage::Format_RGB32);
        const QRgb row[] = {qRgb(0, 0, 0),       qRgb(0, 0, 255), qRgb(255, 0, 0),    qRgb(127, 127, 127),
                            qRgb(128, 128, 128), qRgb(0, 255, 0), qRgb(255, 255, 255)};
        for (int x = 0; x < 7; ++x) {
            picture.setPixel(x, 0, row[x]);
        }
        QCOMPARE(dotsText(makeDots(picture, {DotMethod::Threshold, threshold, invert})), dots);
    }

    void brightness_transparentIsDark() {
        QCOMPARE(brightness(qRgba(255, 255, 255, 0)), 0);
        QCOMPARE(brightness(qRgba(255, 255, 255, 255)), 255);
        QCOMPARE(brightness(qRgba(255, 255, 255, 128)), 128);
    }

    void ordered_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<QString>("dots");
        // The 8 × 8 Bayer matrix: a grey of 64 lights its 16 lowest cells, 128 its 32 lowest.
        QTest::newRow("grey 64") << 64 << 128
                                 << u"#.#.#.#./......../#.#.#.#./......../#.#.#.#./......../#.#.#.#./........"_s;
        QTest::newRow("grey 128") << 128 << 128
                                  << u"#.#.#.#./.#.#.#.#/#.#.#.#./.#.#.#.#/#.#.#.#./.#.#.#.#/#.#.#.#./.#.#.#.#"_s;
        QTest::newRow("grey 64, threshold 64 as grey 128")
            << 64 << 64 << u"#.#.#.#./.#.#.#.#/#.#.#.#./.#.#.#.#/#.#.#.#./.#.#.#.#/#.#.#.#./.#.#.#.#"_s;
        QTest::newRow("grey 4: the lowest cell only")
            << 4 << 128 << u"#......./......../......../......../......../......../......../........"_s;
        QTest::newRow("black") << 0 << 128
                               << u"......../......../......../......../......../......../......../........"_s;
        QTest::newRow("white") << 255 << 128
                               << u"########/########/########/########/########/########/########/########"_s;
    }
    void ordered() {
        QFETCH(int, level);
        QFETCH(int, threshold);
        QFETCH(QString, dots);
        QCOMPARE(dotsText(makeDots(grey(8, 8, level), {DotMethod::Ordered, threshold, false})), dots);
    }

    void ordered_repeatsEveryEightDots() {
        const QImage dots = makeDots(grey(20, 11, 100), {DotMethod::Ordered, 128, false});
        for (int y = 0; y < 11; ++y) {
            for (int x = 0; x < 20; ++x) {
                QCOMPARE(dots.pixel(x, y), dots.pixel(x % 8, y % 8));
            }
        }
    }

    void errorDiffusion_data() {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<bool>("invert");
        QImage gradient(37, 9, QImage::Format_RGB32);
        for (int y = 0; y < gradient.height(); ++y) {
            for (int x = 0; x < gradient.width(); ++x) {
                gradient.setPixel(x, y, qRgb(x * 7, 255 - x * 7, (x * y * 13) % 256));
            }
        }
        QImage translucent(15, 6, QImage::Format_ARGB32);
        for (int y = 0; y < translucent.height(); ++y) {
            for (int x = 0; x < translucent.width(); ++x) {
                translucent.setPixel(x, y, qRgba(250, 240, 230, (x * 17 + y * 40) % 256));
            }
        }
        QTest::newRow("gradient") << gradient << 128 << false;
        QTest::newRow("gradient, threshold 90") << gradient << 90 << false;
        QTest::newRow("gradient, inverted") << gradient << 128 << true;
        QTest::newRow("translucent") << translucent << 128 << false;
        QTest::newRow("mid grey") << grey(16, 16, 128) << 128 << false;
        QTest::newRow("one dot") << grey(1, 1, 200) << 128 << false;
    }
    void errorDiffusion() {
        QFETCH(QImage, picture);
        QFETCH(int, threshold);
        QFETCH(bool, invert);
        QCOMPARE(dotsText(makeDots(picture, {DotMethod::ErrorDiffusion, threshold, invert})),
                 floydSteinberg(picture, threshold, invert));
    }

    void errorDiffusion_keepsTheAverage() {
        // A quarter grey lights about a quarter of the dots.
        const QString dots = dotsText(makeDots(grey(64, 64, 64), {DotMethod::ErrorDiffusion, 128, false}));
        const qsizetype lit = dots.count(u'#');
        QVERIFY2(lit > 950 && lit < 1100, qPrintable(QString::number(lit)));
    }
};

QTEST_GUILESS_MAIN(DotsTest)
#include "tst_dots.moc"
