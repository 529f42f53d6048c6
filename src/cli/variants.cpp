#include "variants.h"

#include "hex/firmware.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace tavrin::cli {

namespace {

// All boards: a 12 MHz 8052-class chip, the hall sensor on P3.2, 16 LEDs with the top dot first;
// they differ in how the LEDs are wired and shown.
struct Words {
    int number;
    const char *title;
    const char *wiring;
};

constexpr Words words[] = {
    {0, "16 LEDs directly on P1/P2, turning backwards",
     "16 LEDs: LED 1–8 on P1.0–P1.7, 9–16 on P2.0–P2.7, lit by a low level, hall sensor on P3.2. 108 columns a "
     "turn, shown right to left, moving one column right every turn; for boards that turn backwards."},
    {1, "16 LEDs directly on P1/P2 (P1.7 is the top LED)",
     "16 LEDs: LED 1–8 on P1.7–P1.0, 9–16 on P2.7–P2.0, lit by a low level, hall sensor on P3.2. Shows 108 columns "
     "a turn from left to right as set at 0200, moving one column right every 4 turns."},
    {2, "16 LEDs, two 74HC595 lit by a low level, as long as the content",
     "16 LEDs on two chained 74HC595 (P2.0 /OE, P2.1 data, P2.2 shift clock, P2.3 latch), lit by a low output, "
     "each byte inverted and sent most significant bit first; hall sensor on P3.2. Shows only the columns within "
     "the content's length."},
    {3, "16 LEDs, 74HC595 + ULN2803, as long as the content",
     "wired as No. 2 but the 74HC595 drive the LEDs through a ULN2803, lit by a high level, each byte sent in the "
     "bit order 5, 3, 4, 2, 7, 1, 0, 6; hall sensor on P3.2. Shows only the columns within the content's length."},
    {22, "16 LEDs, two 74HC595 lit by a low level, the whole canvas in a loop",
     "wired as No. 2: two 74HC595, lit by a low level, each byte inverted and sent most significant bit first; hall "
     "sensor on P3.2. Reads no length and loops the whole 16-LED canvas, one blank column after the sensor "
     "signal."},
    {33, "16 LEDs, 74HC595 + ULN2803, the whole canvas in a loop",
     "wired as No. 3: 74HC595 through a ULN2803, lit by a high level, bit order 5, 3, 4, 2, 7, 1, 0, 6; hall sensor "
     "on P3.2. Reads no length and loops the whole 16-LED canvas, 8 blank columns after the sensor signal."},
};

const Words *wordsFor(int number) {
    for (const Words &w : words) {
        if (w.number == number) {
            return &w;
        }
    }
    return nullptr;
}

} // namespace

QString variantNumbersText() {
    QStringList numbers;
    for (const hex::Variant &variant : hex::variants()) {
        numbers.append(QString::number(variant.number));
    }
    const QString last = numbers.takeLast();
    return numbers.isEmpty() ? last : numbers.join(u", "_s) + u" or "_s + last;
}

QString variantTitle(const hex::Variant &variant) {
    const Words *w = wordsFor(variant.number);
    return u"No. %1: %2"_s.arg(variant.number)
        .arg(w ? QString::fromUtf8(w->title) : u"%1 LEDs"_s.arg(variant.ledCount));
}

QString variantDescription(const hex::Variant &variant) {
    const Words *w = wordsFor(variant.number);
    return u"%1 (%2 KB), %3"_s.arg(variant.chip)
        .arg(variant.codeMemory / 1024)
        .arg(w ? QString::fromUtf8(w->wiring) : u"%1 LEDs."_s.arg(variant.ledCount));
}

QString variantList() {
    QStringList lines{u"Board firmwares:"_s};
    for (const hex::Variant &variant : hex::variants()) {
        lines << u"  "_s + variantTitle(variant) << u"    "_s + variantDescription(variant);
    }
    return lines.join(u'\n');
}

} // namespace tavrin::cli
