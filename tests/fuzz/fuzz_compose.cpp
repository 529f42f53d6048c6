#include "compose/composer.h"
#include "encode/contentcode.h"
#include "fuzz.h"

// Any text composed as the window does: the first bytes pick the LED count, the size and a move;
// the canvas renders at its full size and scans into whole columns.
using namespace Qt::StringLiterals;

TAVRIN_FUZZ_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 3) {
        return 0;
    }
    const int leds = 8 * (data[0] % 4 + 1);
    const int points = 6 + data[1] % 23;
    const int move = data[2] % 5; // 4: no move
    const QString text = QString::fromUtf8(tavrin::fuzz::bytesOf(data + 3, size - 3));

    tavrin::compose::Composer composer;
    FUZZ_CHECK(composer.applyLedCount(leds));
    const tavrin::compose::SizeReport report = composer.run(text, u"宋体"_s, points);
    FUZZ_CHECK(report.size == points && report.matrixHeight == QString::number(leds));
    FUZZ_CHECK(composer.canvas().text.box.width >= 0);
    if (move < 4) {
        composer.move(tavrin::compose::Direction(move));
    }
    const QImage canvas = composer.render();
    FUZZ_CHECK(canvas.width() == composer.canvas().widthDots());
    FUZZ_CHECK(canvas.height() == leds);
    const QString code =
        tavrin::encode::makeContentCode(canvas, composer.canvas().width, composer.canvas().height, leds);
    FUZZ_CHECK(code.size() == qsizetype(canvas.width()) * leds / 4);
    return 0;
}
