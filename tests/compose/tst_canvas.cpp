#include "compose/canvas.h"
#include "compose/geometry.h"
#include "platform/desktop.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin::compose;

namespace {

// A canvas as the window sets it up for a LED count, with the text placed as the window places it.
Canvas matrix(int leds, const QString &text, int pixelSize = 16) {
    Canvas canvas;
    canvas.height = float(leds * 15);
    canvas.width = canvasWidthTwips(leds, canvas.width);
    canvas.backdrop = {0, 0, canvas.width, canvas.height};
    canvas.setText(text, u"宋体"_s, pixelSize);
    canvas.text.box.left = 0;
    canvas.text.box.top = (canvas.height - canvas.text.box.height) / 2;
    return canvas;
}

int countPixels(const QImage &image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += image.pixel(x, y) == colour;
        }
    }
    return n;
}

} // namespace

class CanvasTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { tavrin::platform::installFontSubstitutes(); }

    void sizeReport_data() {
        QTest::addColumn<qsizetype>("chars");
        QTest::addColumn<int>("size");
        QTest::addColumn<QSize>("text");
        QTest::addColumn<QSize>("matrix");
        QTest::addColumn<QString>("report");
        QTest::newRow("fits") << qsizetype(5) << 12 << QSize(60, 16) << QSize(2048, 16) << u"5 12 60*16 2048*16"_s;
        QTest::newRow("too wide") << qsizetype(40) << 12 << QSize(2400, 16) << QSize(2048, 16)
                                  << u"40 12 2400*16 2048*16 overflows"_s;
        QTest::newRow("exact width and height")
            << qsizetype(3) << 28 << QSize(1368, 24) << QSize(1368, 24) << u"3 28 1368*24 1368*24"_s;
        QTest::newRow("one pixel too wide")
            << qsizetype(3) << 28 << QSize(1369, 24) << QSize(1368, 24) << u"3 28 1369*24 1368*24 overflows"_s;
        QTest::newRow("one pixel too tall")
            << qsizetype(3) << 28 << QSize(10, 25) << QSize(1368, 24) << u"3 28 10*25 1368*24 overflows"_s;
        QTest::newRow("empty") << qsizetype(0) << 6 << QSize(0, 8) << QSize(1024, 32) << u"0 6 0*8 1024*32"_s;
    }
    void sizeReport() {
        QFETCH(qsizetype, chars);
        QFETCH(int, size);
        QFETCH(QSize, text);
        QFETCH(QSize, matrix);
        QFETCH(QString, report);
        const tavrin::compose::SizeReport r =
            tavrin::compose::sizeReport(chars, size, float(text.width() * 15), float(text.height() * 15),
                                        float(matrix.width() * 15), float(matrix.height() * 15));
        QCOMPARE(u"%1 %2 %3*%4 %5*%6%7"_s.arg(QString::number(r.characters), QString::number(r.size), r.textWidth,
                                              r.textHeight, r.matrixWidth, r.matrixHeight,
                                              r.overflows ? u" overflows"_s : QString()),
                 report);
    }

    void lineBreaks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::newRow("one line") << u"abc"_s << 1;
        QTest::newRow("CR LF") << u"ab\r\ncd"_s << 2;
        QTest::newRow("LF") << u"ab\ncd"_s << 2;
        QTest::newRow("CR") << u"ab\rcd"_s << 2;
        QTest::newRow("trailing break") << u"ab\r\n"_s << 2;
        QTest::newRow("empty") << QString() << 1;
    }
    void lineBreaks() {
        QFETCH(QString, text);
        QFETCH(int, lines);
        QCOMPARE(Canvas::lines(text).size(), lines);
        const Canvas canvas = matrix(16, text);
        const int lineHeight = QFontMetrics(Canvas::layerFont(u"宋体"_s, 16)).height();
        QCOMPARE(canvas.text.box.height, float(lines * lineHeight * 15));
    }

    void imageSize_followsLedCount_data() {
        QTest::addColumn<int>("leds");
        QTest::addColumn<QSize>("size");
        QTest::newRow("8") << 8 << QSize(2048, 8);
        QTest::newRow("16") << 16 << QSize(2048, 16);
        QTest::newRow("24") << 24 << QSize(1368, 24);
        QTest::newRow("32") << 32 << QSize(1024, 32);
    }
    void imageSize_followsLedCount() {
        QFETCH(int, leds);
        QFETCH(QSize, size);
        QCOMPARE(matrix(leds, QString()).render().size(), size);
    }

    void emptyText_showsOnlyBackdrop() {
        const QImage image = matrix(16, QString()).render();
        QCOMPARE(countPixels(image, backdropColour), image.width() * image.height());
    }

    void text_isRedGlyphsAtLeftEdge() {
        const Canvas canvas = matrix(16, u"中文 LED"_s);
        const QImage image = canvas.render();
        QVERIFY(countPixels(image, glyphColour) > 20);
        const int right = int(canvas.text.box.width / 15);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = right + 1; x < image.width(); ++x) {
                QCOMPARE(image.pixel(x, y), backdropColour);
            }
        }
        // Only red and its blends with the backdrop: green and blue never rise above the backdrop's.
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x <= right; ++x) {
                QVERIFY(qGreen(image.pixel(x, y)) <= 64 && qBlue(image.pixel(x, y)) <= 64);
            }
        }
    }

    void hiddenTextLayer_isNotDrawn() {
        Canvas canvas = matrix(16, u"中文"_s);
        canvas.text.visible = false;
        QCOMPARE(countPixels(canvas.render(), glyphColour), 0);
    }

    // A pasted megabyte must draw exactly what its visible start draws.
    void hugeLine_drawsLikeItsVisibleStart() {
        QString start;
        for (int i = 0; i < 400; ++i) {
            start += u"点阵ABC "_s;
        }
        const QString huge = start + QString(1'000'000, u'W');
        const QImage expected = matrix(16, start).render();
        const QImage image = matrix(16, huge).render();
        QCOMPARE(image.size(), QSize(2048, 16));
        QCOMPARE(image, expected);
    }

    // Past 2^25 pixels the font engine's sum wraps; such a line measured 0 wide and drew nothing.
    void lineWiderThanTheFontEngineCounts_stillDrawsAndMeasures_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<int>("count");
        QTest::newRow("910,000 wide characters at 28 pt") << u"旋"_s << 37 << 910'000;
        QTest::newRow("2.2 million wide characters at 12 pt") << u"点"_s << 16 << 2'200'000;
    }
    void lineWiderThanTheFontEngineCounts_stillDrawsAndMeasures() {
        QFETCH(QString, character);
        QFETCH(int, pixelSize);
        QFETCH(int, count);
        const Canvas huge = matrix(16, character.repeated(count), pixelSize);
        const Canvas start = matrix(16, character.repeated(400), pixelSize);
        const double advance = start.text.box.width / 15 / 400;
        QVERIFY(advance > 0);
        QVERIFY2(huge.text.box.width / 15 > (1 << 25), qPrintable(QString::number(huge.text.box.width / 15)));
        QCOMPARE(qRound64(huge.text.box.width / 15 / count), qRound64(advance));
        // The window's boxes are single precision: at this width a twip count is good to 32.
        const QString width =
            tavrin::compose::sizeReport(count, 28, huge.text.box.width, huge.text.box.height, huge.width, huge.height)
                .textWidth;
        bool whole = false;
        QVERIFY2(std::abs(width.toLongLong(&whole) - qRound64(advance * count)) <= 3 && whole, qPrintable(width));
        const QImage image = huge.render();
        QVERIFY(countPixels(image, glyphColour) > 0);
        QCOMPARE(image, start.render());
    }

    void pictureLayer_clippedToBoxNotScaled() {
        Canvas canvas = matrix(16, QString());
        canvas.text.visible = false;
        QImage picture(100, 40, QImage::Format_ARGB32);
        picture.fill(Qt::white);
        canvas.picture.picture = picture;
        canvas.picture.box = {0, 0, 1350, 540}; // one "smaller" step: 90 x 36 dots shown
        const QImage image = canvas.render();
        QCOMPARE(image.pixel(89, 15), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(90, 15), backdropColour);
        canvas.picture.box = {30, -15, 1417.5f, 567}; // moved right 2 and up 1: 94 columns shown
        const QImage moved = canvas.render();
        QCOMPARE(moved.pixel(1, 0), backdropColour);
        QCOMPARE(moved.pixel(2, 0), qRgb(255, 255, 255));
        QCOMPARE(moved.pixel(95, 0), qRgb(255, 255, 255));
        QCOMPARE(moved.pixel(96, 0), backdropColour);
    }

    void mirror_showsEachLayerMirroredInItsBox_data() {
        QTest::addColumn<bool>("picture");
        QTest::addColumn<Mirror>("mirror");
        for (const bool picture : {false, true}) {
            const QString layer = picture ? u"picture, "_s : u"text, "_s;
            QTest::newRow(qPrintable(layer + u"left-right"_s)) << picture << Mirror{true, false};
            QTest::newRow(qPrintable(layer + u"upside down"_s)) << picture << Mirror{false, true};
            QTest::newRow(qPrintable(layer + u"both"_s)) << picture << Mirror{true, true};
        }
    }
    void mirror_showsEachLayerMirroredInItsBox() {
        QFETCH(bool, picture);
        QFETCH(Mirror, mirror);
        Canvas canvas = matrix(16, u"F7"_s);
        QRect box(canvas.text.box.left / 15, canvas.text.box.top / 15, canvas.text.box.width / 15,
                  canvas.text.box.height / 15);
        if (picture) {
            canvas.text.visible = false;
            QImage drawn(6, 5, QImage::Format_ARGB32);
            drawn.fill(Qt::transparent);
            drawn.setPixel(0, 0, qRgb(255, 0, 0));
            drawn.setPixel(4, 1, qRgb(0, 255, 0));
            drawn.setPixel(1, 4, qRgb(0, 0, 255));
            canvas.picture.picture = drawn;
            canvas.picture.box = {45, 30, 75, 60}; // at (3, 2), trimmed to 5 × 4
            box = QRect(3, 2, 5, 4);
        }
        const QImage plain = canvas.render();
        canvas.mirror = mirror;
        const QImage mirrored = canvas.render();
        QVERIFY(plain != mirrored);
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < plain.width(); ++x) {
                const bool inBox = box.contains(x, y);
                const int fromX = inBox && mirror.leftRight ? box.left() + box.right() - x : x;
                const int fromY = inBox && mirror.upsideDown ? box.top() + box.bottom() - y : y;
                QCOMPARE(mirrored.pixel(x, y), plain.pixel(fromX, fromY));
            }
        }
    }

    void transparentPicture_showsBackdrop() {
        Canvas canvas = matrix(8, QString());
        QImage picture(4, 4, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        picture.setPixel(1, 1, qRgb(255, 0, 0));
        canvas.picture.picture = picture;
        canvas.picture.box = {0, 0, 60, 60};
        const QImage image = canvas.render();
        QCOMPARE(image.pixel(0, 0), backdropColour);
        QCOMPARE(image.pixel(1, 1), qRgb(255, 0, 0));
    }
};

QTEST_MAIN(CanvasTest)
#include "tst_canvas.moc"
