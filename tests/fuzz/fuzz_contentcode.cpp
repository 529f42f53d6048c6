#include "encode/boardview.h"
#include "encode/contentcode.h"
#include "fuzz.h"
#include "hex/firmware.h"
#include "hex/hexreader.h"

// A content code as a file or HEX content gives it: the first byte picks the LED count (one
// choice is not a board's), the rest is the code. A code that is accepted draws, scans back to
// itself, and goes through the HEX export and back unchanged.
TAVRIN_FUZZ_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1 || size > 20000) {
        return 0;
    }
    const int ledCount = QList<int>{8, 16, 24, 32, 12}.at(data[0] % 5);
    const QString code = QString::fromLatin1(tavrin::fuzz::bytesOf(data + 1, size - 1));
    const QString refusal = tavrin::encode::codeRefusal(code, ledCount);
    QString error;
    const QImage dots = tavrin::encode::dotsOf(code, ledCount, &error);
    FUZZ_CHECK(dots.isNull() == !refusal.isEmpty());
    if (dots.isNull()) {
        FUZZ_CHECK(error == refusal);
        return 0;
    }
    const QString scanned =
        tavrin::encode::makeContentCode(dots, float(dots.width() * 15), float(dots.height() * 15), ledCount);
    FUZZ_CHECK(scanned == code.toLower());
    FUZZ_CHECK(!tavrin::encode::drawBoard(code, ledCount, 2, &error).isNull());

    for (int variant : {2, 22}) {
        if (ledCount != 16 || tavrin::hex::exportRefusal(variant, code)) {
            continue;
        }
        const tavrin::hex::HexReading reading = tavrin::hex::readHexText(tavrin::hex::buildHexText(variant, code));
        FUZZ_CHECK(reading.ok());
        FUZZ_CHECK(reading.variant == variant);
        // Without a length word the export's zero filling of the last record reads back too.
        FUZZ_CHECK(reading.contentCode.startsWith(code.toLower()));
        FUZZ_CHECK(variant != 2 || reading.contentCode.size() == code.size());
    }
    return 0;
}
