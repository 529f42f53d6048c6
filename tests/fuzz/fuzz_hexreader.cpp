#include "fuzz.h"
#include "hex/hexreader.h"

#include <algorithm>

// Any text as an Intel HEX file: read, recognised or refused, never a crash; what is read is a
// content code of whole bytes inside the 64 KB address space.
TAVRIN_FUZZ_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromLatin1(tavrin::fuzz::bytesOf(data, size));
    const tavrin::hex::HexReading reading = tavrin::hex::readHexText(text);
    if (reading.ok()) {
        FUZZ_CHECK(reading.contentCode.size() % 2 == 0);
        FUZZ_CHECK(reading.contentCode.size() <= 2 * (0x10000 - 0x0280));
        FUZZ_CHECK(std::all_of(reading.contentCode.cbegin(), reading.contentCode.cend(),
                               [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'); }));
        FUZZ_CHECK((reading.variant == tavrin::hex::unknownVariant) ==
                   (reading.unknown.kind != tavrin::hex::UnknownFirmware::None));
    }
    return 0;
}
