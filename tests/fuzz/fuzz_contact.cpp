#include "contact/contact.h"
#include "fuzz.h"
#include "platform/files.h"

// The contact file's bytes, whole or cut at the size limit, in any encoding: decoded, split and
// turned into the window's captions without a fault; a UTF-8 file cut anywhere still reads as
// UTF-8 (no character of it turns into something else).
TAVRIN_FUZZ_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = tavrin::fuzz::bytesOf(data, size);
    for (bool cut : {false, true}) {
        const QString text = tavrin::platform::decodeLocalText(bytes, cut);
        const QStringList fields = tavrin::contact::splitContact(tavrin::contact::effectiveContactText(text));
        FUZZ_CHECK(!fields.isEmpty());
        (void)tavrin::contact::titleCaption(fields);
        (void)tavrin::contact::welcomeCaption(fields);
        (void)tavrin::contact::updateNoticeText(fields);
    }
    const QString whole = QString::fromUtf8(bytes);
    if (whole.toUtf8() == bytes && !bytes.startsWith("\xEF\xBB\xBF")) {
        for (qsizetype at = bytes.size(); at > 0 && at > bytes.size() - 4; --at) {
            FUZZ_CHECK(whole.startsWith(tavrin::platform::decodeLocalText(bytes.left(at), true)));
        }
    }
    return 0;
}
