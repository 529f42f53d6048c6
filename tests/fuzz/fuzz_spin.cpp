#include "encode/boardview.h"
#include "fuzz.h"
#include "preview/boardmodel.h"
#include "preview/spinrenderer.h"

#include <algorithm>

// The spinning board for any content: the first bytes pick the model (a firmware or the generic
// board with its columns and step), the LED count, rpm, persistence, where the top LED is, the
// picture's size and the revolution; the rest is the content code. A code that may be drawn is
// taken whole; every revolution stays within the columns its model promises and the content, and a
// frame of the asked size is drawn whatever the content.
using namespace tavrin::preview;

TAVRIN_FUZZ_INITIALIZE

namespace {

int word(const uint8_t *data) {
    return data[0] << 8 | data[1];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 14 || size > 20000) {
        return 0;
    }
    const QList<int> models{0, 1, 2, 3, 22, 33, -1};
    const int variant = models.at(data[0] % models.size());
    const int perRevolution = word(data + 1) % mostGenericColumns + 1;
    const int step = word(data + 3) % 2049;
    const int leds = 8 * (data[5] % 4 + 1);
    const double rpm = lowestRpm + (highestRpm - lowestRpm) * word(data + 6) / 65535.0;
    const double persistence = longestPersistenceMs * word(data + 8) / 65535.0;
    const bool topOutermost = data[10] & 1;
    const int pixels = 64 + data[11];
    const qint64 revolution = qint64(word(data + 12)) * (data[10] >> 1);
    const QString code = QString::fromLatin1(tavrin::fuzz::bytesOf(data + 14, size - 14));

    const BoardModel model = variant >= 0 ? BoardModel::forVariant(variant) : BoardModel::generic(perRevolution, step);
    SpinRenderer renderer;
    const bool accepted = renderer.setContent(code, leds);
    if (tavrin::encode::codeRefusal(code, leds).isEmpty()) {
        FUZZ_CHECK(accepted && renderer.contentColumns() == code.size() / (leds / 4));
    } else if (!accepted) {
        FUZZ_CHECK(renderer.contentColumns() == 0);
    }
    renderer.setModel(model);
    renderer.setSettings({rpm, persistence, topOutermost});
    const double period = renderer.periodUs();
    const int columns = renderer.contentColumns();
    for (qint64 k = std::max<qint64>(0, revolution - 2); k <= revolution; ++k) {
        const QList<ShownColumn> shown = model.revolution(k, period, columns);
        FUZZ_CHECK(shown.size() <= model.mostColumns(period));
        for (const ShownColumn &column : shown) {
            FUZZ_CHECK(column.startUs >= 0 && column.litUs > 0);
            FUZZ_CHECK(column.column >= 0 && column.column < std::max(columns, 2048));
        }
    }
    FUZZ_CHECK(renderer.frameWork(pixels) >= qint64(pixels) * pixels);
    // A frame of much work (tens of thousands of columns within the persistence time) is left to the
    // tests, so that the runs stay quick.
    if (renderer.frameWork(pixels) > 1'000'000) {
        return 0;
    }
    const QImage frame = renderer.revolutionFrame(revolution, pixels);
    FUZZ_CHECK(frame.width() == pixels && frame.height() == pixels);
    return 0;
}
