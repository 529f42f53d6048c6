#include "preview/boardmodel.h"

#include "hex/firmware.h"

#include <algorithm>
#include <cmath>

namespace tavrin::preview {

namespace {

// Every firmware of the export drives 16 LEDs and loops over the 16-LED canvas it was built for.
constexpr int canvasColumns = 2048;

// How many revolutions of a steady motor pass while a window board shows one window: it takes the
// first edge at or after the end of its busy time.
qint64 revolutionsPerWindow(double busyUs, double periodUs) {
    return std::max<qint64>(1, qint64(std::ceil(busyUs / periodUs)));
}

} // namespace

bool BoardModel::isVariant(int variant) {
    return hex::findVariant(variant) != nullptr && forVariant(variant).m_variant == variant;
}

// The timings are each firmware's own (firmware/README.md gives them); which boards read the length
// word comes from the firmware image's variant table.
BoardModel BoardModel::forVariant(int variant) {
    BoardModel model;
    model.m_variant = variant;
    model.m_lengthWord = hex::hasLengthWord(variant);
    switch (variant) {
    case 0:
        // This board turns the other way round: it shows its window right column first, so that
        // the text still reads left to right.
        model.setWindow(Turning::Anticlockwise,
                        {.firstUs = 92, .columnUs = 205, .busyUs = 22240, .start = 58, .stepEvery = 1});
        break;
    case 1:
        model.setWindow(Turning::Clockwise,
                        {.firstUs = 38, .columnUs = 165, .busyUs = 17866, .start = 64, .stepEvery = 4});
        break;
    case 2:
    case 3:
        model.m_kind = Kind::Slots;
        model.m_columns = 256;
        model.m_firstUs = 500;
        model.m_columnUs = 500;
        model.m_litUs = 400;
        break;
    case 22:
    case 33:
        model.m_kind = Kind::Slots;
        model.m_columns = 608;
        model.m_firstUs = variant == 22 ? 500 : 2250;
        model.m_columnUs = 250;
        model.m_litUs = 200;
        break;
    default:
        return generic(100, 1);
    }
    return model;
}

void BoardModel::setWindow(Turning turning, const WindowTimes &times) {
    m_kind = Kind::Window;
    m_turning = turning;
    m_reversed = turning == Turning::Anticlockwise;
    m_columns = 108;
    m_firstUs = times.firstUs;
    m_columnUs = times.columnUs;
    m_litUs = times.columnUs;
    m_busyUs = times.busyUs;
    m_start = times.start;
    m_stepEvery = times.stepEvery;
}

BoardModel BoardModel::generic(int columnsPerRevolution, int step) {
    BoardModel model;
    model.m_columns = std::max(1, columnsPerRevolution);
    model.m_step = std::max(0, step);
    return model;
}

int BoardModel::overrun(double periodUs) const {
    if (m_kind != Kind::Window || periodUs <= 0) {
        return 0;
    }
    return int(std::min<qint64>(1000, revolutionsPerWindow(m_busyUs, periodUs) - 1));
}

int BoardModel::mostColumns(double periodUs) const {
    if (m_kind != Kind::Slots) {
        return m_columns;
    }
    // The slots that start before the next edge, counted as revolution() counts them.
    int slots = 0;
    while (slots < m_columns && m_firstUs + slots * m_columnUs < periodUs) {
        ++slots;
    }
    return slots;
}

QList<ShownColumn> BoardModel::revolution(qint64 k, double periodUs, int contentColumns) const {
    QList<ShownColumn> shown;
    if (k < 0 || periodUs <= 0) {
        return shown;
    }
    switch (m_kind) {
    case Kind::Window: {
        const qint64 every = revolutionsPerWindow(m_busyUs, periodUs);
        if (k % every != 0) {
            return shown; // still showing the window of an earlier edge
        }
        const qint64 windowsShown = k / every;
        const int left = int((m_start + windowsShown / m_stepEvery) % (canvasColumns - m_columns + 1));
        shown.reserve(m_columns);
        for (int i = 0; i < m_columns; ++i) {
            shown.append({m_firstUs + i * m_columnUs, m_litUs, left + (m_reversed ? m_columns - 1 - i : i)});
        }
        break;
    }
    case Kind::Slots: {
        const int count = m_lengthWord ? contentColumns : canvasColumns;
        if (count <= 0) {
            break;
        }
        const qint64 first = k % count;
        for (int slot = 0; slot < m_columns; ++slot) {
            const double start = m_firstUs + slot * m_columnUs;
            if (start >= periodUs) {
                break; // the next edge starts again
            }
            const qint64 column = first + slot;
            if (m_lengthWord && column >= count) {
                continue; // past the end of the content: a dark slot
            }
            // A column that starts before the next edge stays lit its whole time, past the edge.
            shown.append({start, m_litUs, int(column % count)});
        }
        break;
    }
    case Kind::Generic: {
        if (contentColumns <= 0) {
            break;
        }
        const double slot = periodUs / m_columns;
        const qint64 first = (k % contentColumns) * m_step % contentColumns;
        shown.reserve(m_columns);
        for (int i = 0; i < m_columns; ++i) {
            shown.append({i * slot, slot, int((first + i) % contentColumns)});
        }
        break;
    }
    }
    return shown;
}

} // namespace tavrin::preview
