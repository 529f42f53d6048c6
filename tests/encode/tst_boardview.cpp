#include "encode/boardview.h"
#include "encode/contentcode.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin::encode;

namespace {

QString sampleCode(int length) {
    QString code;
    for (int i = 0; i < length; ++i) {
        code += QChar(u"0123456789abcdef"[(i * 7 + i / 5) % 16]);
    }
    return code;
}

void addCodes() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("leds");
    QTest::addColumn<int>("scale");
    QTest::newRow("worked example, 8 LEDs") << u"80ff03"_s << 8 << 1;
    QTest::newRow("top and bottom, 16 LEDs") << u"8001"_s << 16 << 2;
    QTest::newRow("upper case, 24 LEDs") << u"842001ABCDEF"_s << 24 << 9;
    QTest::newRow("many columns, 32 LEDs") << sampleCode(8 * 50) << 32 << 16;
    QTest::newRow("full 16-LED canvas") << sampleCode(8192) << 16 << 4;
}

} // namespace

class BoardViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dots_scanBackToTheSameCode_data() { addCodes(); }
    void dots_scanBackToTheSameCode() {
        QFETCH(QString, code);
        QFETCH(int, leds);
        QString error = u"stale"_s;
        const QImage dots = dotsOf(code, leds, &error);
        QVERIFY(error.isEmpty());
        QCOMPARE(dots.size(), QSize(int(code.size()) / (leds / 4), leds));
        QCOMPARE(makeContentCode(dots, float(dots.width() * 15), float(dots.height() * 15), leds), code.toLower());
        QCOMPARE(dots.pixel(0, 0), code.at(0) >= u'8' ? qRgb(255, 0, 0) : qRgb(64, 64, 64));
    }

    void board_litCellsAreRedOnBlack_data() { addCodes(); }
    void board_litCellsAreRedOnBlack() {
        QFETCH(QString, code);
        QFETCH(int, leds);
        QFETCH(int, scale);
        const QImage dots = dotsOf(code, leds);
        const QImage board = drawBoard(code, leds, scale);
        QCOMPARE(board.size(), dots.size() * scale);
        for (int x = 0; x < dots.width(); ++x) {
            for (int y = 0; y < dots.height(); ++y) {
                const QRgb centre = board.pixel(x * scale + scale / 2, y * scale + scale / 2);
                const bool lit = dots.pixel(x, y) == qRgb(255, 0, 0);
                QCOMPARE(qRed(centre) > 128, lit);
                QVERIFY(qRed(centre) > qGreen(centre) || !lit);
                if (scale >= 8) {
                    QCOMPARE(board.pixel(x * scale, y * scale), qRgb(0, 0, 0));
                }
            }
        }
    }

    void unusableInput_isRefusedWithReason_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("leds");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("codeAtFault");
        QTest::newRow("empty") << QString() << 16 << 4 << u"empty"_s << true;
        QTest::newRow("not hex") << u"80fg"_s << 16 << 4 << u"'g' at position 4"_s << true;
        QTest::newRow("line break") << u"8001\n"_s << 16 << 4 << u"position 5"_s << true;
        QTest::newRow("half a column") << u"80ff03"_s << 16 << 4 << u"6 digits"_s << true;
        QTest::newRow("12 LEDs") << u"800"_s << 12 << 4 << u"8, 16, 24 or 32, not 12"_s << true;
        QTest::newRow("scale 0") << u"80"_s << 8 << 0 << u"not 0"_s << false;
        QTest::newRow("scale 65") << u"80"_s << 8 << 65 << u"not 65"_s << false;
        QTest::newRow("over 256 MB") << sampleCode(8192) << 32 << 64 << u"65536 × 2048 pixels, 512 MB"_s << false;
    }
    void unusableInput_isRefusedWithReason() {
        QFETCH(QString, code);
        QFETCH(int, leds);
        QFETCH(int, scale);
        QFETCH(QString, message);
        QFETCH(bool, codeAtFault);
        QString error;
        QVERIFY(drawBoard(code, leds, scale, &error).isNull());
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(dotsOf(code, leds, &error).isNull(), codeAtFault);
    }
};

QTEST_GUILESS_MAIN(BoardViewTest)
#include "tst_boardview.moc"
