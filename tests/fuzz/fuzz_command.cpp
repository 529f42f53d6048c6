#include "fuzz.h"
#include "link/boardlink.h"
#include "link/virtualboard.h"

// Command texts and the bytes a board receives: framing any text never fails, any burst decodes
// into frames that account for every byte, and a framed write decodes back to its content.
using namespace Qt::StringLiterals;

TAVRIN_FUZZ_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const int ledCount = 8 * (data[0] % 4 + 1);
    const QByteArray rest = tavrin::fuzz::bytesOf(data + 1, size - 1);
    const QString text = QString::fromLatin1(rest);

    (void)tavrin::link::portNumber(text);

    qsizetype counted = 0;
    for (const tavrin::link::BoardFrame &frame : tavrin::link::decodeFrames(rest, ledCount)) {
        FUZZ_CHECK(frame.byteCount == frame.bytes.size());
        FUZZ_CHECK(frame.columns * (ledCount / 8) <= frame.content.size());
        counted += frame.byteCount;
    }
    FUZZ_CHECK(counted == rest.size());

    const QByteArray framed =
        tavrin::link::frameBytes(tavrin::link::frameText(QString::fromLatin1(tavrin::link::writeCommand), text));
    FUZZ_CHECK(framed.startsWith(QByteArray::fromHex(tavrin::link::writeCommand)));
    (void)tavrin::link::frameBytes(text);
    const QByteArray content = QByteArray::fromHex(rest.toHex());
    const QList<tavrin::link::BoardFrame> frames = tavrin::link::decodeFrames(
        tavrin::link::frameBytes(tavrin::link::frameText(QString::fromLatin1(tavrin::link::writeCommand),
                                                         QString::fromLatin1(rest.toHex()))),
        ledCount);
    FUZZ_CHECK(frames.size() == 1);
    FUZZ_CHECK(frames.constFirst().kind == tavrin::link::FrameKind::Write);
    FUZZ_CHECK(frames.constFirst().content == content);
    return 0;
}
