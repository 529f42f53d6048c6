#include "compose/picture.h"
#include "fuzz.h"

#include <QBuffer>

// Any bytes as a picture file: loaded within the size bounds, or refused with a message.
using namespace Qt::StringLiterals;

TAVRIN_FUZZ_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QByteArray bytes = tavrin::fuzz::bytesOf(data, size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const tavrin::compose::LoadedPicture loaded = tavrin::compose::loadPicture(&buffer, u"fuzz"_s);
    FUZZ_CHECK(loaded.image.isNull() == (loaded.problem != tavrin::compose::LoadedPicture::None));
    FUZZ_CHECK(loaded.name == u"fuzz"_s);
    if (!loaded.image.isNull()) {
        FUZZ_CHECK(loaded.image.width() <= tavrin::compose::maxPictureSide);
        FUZZ_CHECK(loaded.image.height() <= tavrin::compose::maxPictureSide);
        FUZZ_CHECK(loaded.image.sizeInBytes() <= tavrin::compose::maxPictureBytes);
        FUZZ_CHECK(loaded.image.format() == QImage::Format_ARGB32);
    }
    return 0;
}
