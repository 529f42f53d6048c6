#include "preview/roundmap.h"

#include "hex/firmware.h"
#include "preview/spinrenderer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tavrin::preview {

BoardModel roundModel(const compose::RoundSettings &settings, int ledCount) {
    const hex::Variant *facts = hex::findVariant(settings.variant);
    if (facts && facts->ledCount == ledCount && BoardModel::isVariant(settings.variant)) {
        return BoardModel::forVariant(settings.variant);
    }
    return BoardModel::generic(settings.perRevolution, 1);
}

compose::PolarMap polarMap(const BoardModel &model, double rpm, int ledCount, bool topInside, int columns) {
    compose::PolarMap map;
    if (ledCount <= 0 || columns <= 0) {
        return map;
    }
    const double period = 60e6 / std::clamp(rpm, lowestRpm, highestRpm);
    const QList<ShownColumn> shown = model.revolution(0, period, columns);
    map.angles.assign(size_t(columns), std::numeric_limits<double>::quiet_NaN());
    map.radii.resize(size_t(ledCount));
    for (int row = 0; row < ledCount; ++row) {
        map.radii[size_t(row)] = ledRadius(row, ledCount, !topInside);
    }
    map.radiusSpan = ledRadius(0, ledCount, true) - ledRadius(1, ledCount, true);
    if (shown.isEmpty()) {
        return map;
    }
    // The arm is over the middle of a column's lit time; an anticlockwise board sweeps the other way.
    const double sign = model.turning() == Turning::Clockwise ? 1 : -1;
    const auto n = qint64(shown.size());
    for (const ShownColumn &column : shown) {
        const double turn = std::fmod((column.startUs + column.litUs / 2) / period, 1.0);
        const double angle = sign * 2 * std::numbers::pi * turn;
        for (qint64 c = column.column % n; c < columns; c += n) {
            map.angles[size_t(c)] = angle;
        }
    }
    map.angleSpan = 2 * std::numbers::pi * std::min(1.0, shown.first().litUs / period);
    return map;
}

compose::PolarMap polarMap(const compose::RoundSettings &settings, int ledCount, int columns) {
    return polarMap(roundModel(settings, ledCount), settings.rpm, ledCount, settings.topInside, columns);
}

compose::ShapedPicture shapeForCanvas(const QImage &loaded, const compose::PictureSettings &settings, int ledCount,
                                      int columns) {
    if (!settings.round.enabled) {
        return compose::shapePicture(loaded, settings, ledCount, columns);
    }
    const compose::PolarMap map = polarMap(settings.round, ledCount, columns);
    return compose::shapePicture(loaded, settings, ledCount, columns, &map);
}

} // namespace tavrin::preview
