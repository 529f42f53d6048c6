#include "preview/spinrenderer.h"

#include "base/hexdigit.h"
#include "base/ledcount.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

#include <QPainter>

namespace tavrin::preview {

namespace {

// Angles are kept in this many steps a turn: at 300 rpm one step is 49 µs, shorter than any
// column is lit.
constexpr int angleSteps = 4096;
static_assert(mostGenericColumns <= angleSteps);
constexpr QRgb outside = qRgb(0, 0, 0);
constexpr QRgb band = qRgb(18, 18, 18);

struct Geometry {
    double rim;
    double hub;
    double pitch;
};

Geometry geometryFor(int size, int ledCount) {
    const double rim = size * 0.47;
    const double hub = rim * hubShare;
    return {rim, hub, (rim - hub) / std::max(1, ledCount)};
}

double rowRadius(const Geometry &g, int row, int ledCount, bool topOutermost) {
    return g.rim * ledRadius(row, ledCount, topOutermost);
}

// Red for a lit dot, dimmer as it fades.
const std::array<QRgb, 256> &palette() {
    static const std::array<QRgb, 256> colours = [] {
        std::array<QRgb, 256> list{};
        for (int i = 0; i < 256; ++i) {
            list[i] = i == 0 ? band : qRgb(std::max(18, i), i * 40 / 255, i * 40 / 255);
        }
        return list;
    }();
    return colours;
}

} // namespace

double ledRadius(int row, int ledCount, bool topOutermost) {
    const double pitch = (1 - hubShare) / std::max(1, ledCount);
    return topOutermost ? 1 - (row + 0.5) * pitch : hubShare + (row + 0.5) * pitch;
}

bool SpinRenderer::setContent(const QString &code, int ledCount) {
    m_columns.clear();
    const int digits = ledCount / 4;
    if (!base::isLedCount(ledCount) || code.size() % digits != 0) {
        return false;
    }
    m_ledCount = ledCount;
    std::vector<quint32> columns(size_t(code.size() / digits), 0);
    for (qsizetype i = 0; i < code.size(); ++i) {
        const int value = base::hexDigitValue(code.at(i));
        if (value < 0) {
            return false;
        }
        const int row = int(i % digits) * 4;
        quint32 &bits = columns[size_t(i / digits)];
        for (int b = 0; b < 4; ++b) {
            if (value & (8 >> b)) {
                bits |= quint32(1) << (row + b);
            }
        }
    }
    m_columns = std::move(columns);
    return true;
}

void SpinRenderer::setSettings(const SpinSettings &settings) {
    m_settings = settings;
    m_settings.rpm = std::clamp(settings.rpm, lowestRpm, highestRpm);
    m_settings.persistenceMs = std::clamp(settings.persistenceMs, 0.0, longestPersistenceMs);
}

qint64 SpinRenderer::frameWork(int size) const {
    // The revolutions collect() goes through for a frame.
    const double period = periodUs();
    const qint64 revolutions =
        qint64(std::ceil(m_settings.persistenceMs * 1000 / period)) + 2 + m_model.overrun(period);
    return qint64(size) * size + pixelsPerLitColumn * revolutions * m_model.mostColumns(period);
}

void SpinRenderer::buildTables(int size) {
    if (size == m_tableSize && m_ledCount == m_tableLeds && m_settings.topOutermost == m_tableTopOutermost) {
        return;
    }
    m_tableSize = size;
    m_tableLeds = m_ledCount;
    m_tableTopOutermost = m_settings.topOutermost;
    m_background = QImage(size, size, QImage::Format_RGB32);
    m_background.fill(outside);
    m_spots.clear();
    m_intensity.assign(size_t(angleSteps) * m_ledCount, 0);
    const Geometry g = geometryFor(size, m_ledCount);
    const double centre = size / 2.0;
    for (int y = 0; y < size; ++y) {
        auto *line = reinterpret_cast<QRgb *>(m_background.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - centre;
            const double dy = y + 0.5 - centre;
            const double r = std::hypot(dx, dy);
            if (r > g.rim || r < g.hub) {
                continue;
            }
            const int fromRim = std::min(m_ledCount - 1, int((g.rim - r) / g.pitch));
            const int row = m_settings.topOutermost ? fromRim : m_ledCount - 1 - fromRim;
            line[x] = band;
            if (std::abs(r - rowRadius(g, row, m_ledCount, m_settings.topOutermost)) > g.pitch * 0.38) {
                continue;
            }
            // Clockwise from twelve o'clock.
            double angle = std::atan2(dx, -dy);
            if (angle < 0) {
                angle += 2 * std::numbers::pi;
            }
            const int step = std::min(angleSteps - 1, int(angle / (2 * std::numbers::pi) * angleSteps));
            m_spots.push_back({quint32(y * size + x), quint32(step * m_ledCount + row)});
        }
    }
}

void SpinRenderer::collect(double timeUs) {
    m_lit.clear();
    const double period = periodUs();
    const double oldest = timeUs - m_settings.persistenceMs * 1000;
    const qint64 last = qint64(std::floor(timeUs / period));
    const qint64 first = std::max<qint64>(0, qint64(std::floor(oldest / period)) - m_model.overrun(period));
    const int count = contentColumns();
    for (qint64 k = first; k <= last; ++k) {
        for (const ShownColumn &shown : m_model.revolution(k, period, count)) {
            const double start = k * period + shown.startUs;
            const double end = start + shown.litUs;
            if (end < oldest || start > timeUs) {
                continue;
            }
            // Columns past the content are dark: the export wrote nothing there.
            const quint32 rows = shown.column >= 0 && shown.column < count ? m_columns[size_t(shown.column)] : 0;
            m_lit.push_back({start, end, rows});
        }
    }
    // Every model lists its columns in the order they start, revolution after revolution; sorting
    // is only a guard.
    const auto earlier = [](const Lit &a, const Lit &b) { return a.start < b.start; };
    if (!std::is_sorted(m_lit.begin(), m_lit.end(), earlier)) {
        std::sort(m_lit.begin(), m_lit.end(), earlier);
    }
}

quint32 SpinRenderer::rowsAt(double timeUs) const {
    auto after =
        std::upper_bound(m_lit.begin(), m_lit.end(), timeUs, [](double t, const Lit &lit) { return t < lit.start; });
    if (after == m_lit.begin()) {
        return 0;
    }
    --after;
    return timeUs < after->end ? after->rows : 0;
}

void SpinRenderer::render(QImage &image, int size, double timeUs) {
    size = std::max(16, size);
    buildTables(size);
    if (image.size() != m_background.size() || image.format() != QImage::Format_RGB32 ||
        image.bytesPerLine() != m_background.bytesPerLine()) {
        image = QImage(size, size, QImage::Format_RGB32);
    }
    std::memcpy(image.bits(), m_background.constBits(), size_t(m_background.sizeInBytes()));
    collect(timeUs);
    std::fill(m_intensity.begin(), m_intensity.end(), 0);
    const double period = periodUs();
    const double persistence = std::max(1.0, m_settings.persistenceMs * 1000);
    const bool clockwise = m_model.turning() == Turning::Clockwise;
    for (int step = 0; step < angleSteps; ++step) {
        // The arm is over this angle at these times in every revolution.
        const double turn = (step + 0.5) / angleSteps;
        const double phase = (clockwise ? turn : 1 - turn) * period;
        double at = std::floor((timeUs - phase) / period) * period + phase;
        quint8 *cells = m_intensity.data() + size_t(step) * m_ledCount;
        for (; at >= 0 && timeUs - at < persistence; at -= period) {
            const quint32 rows = rowsAt(at);
            if (!rows) {
                continue;
            }
            const double age = (timeUs - at) / persistence;
            const auto level = quint8(std::lround(255 * (1 - age * age)));
            for (quint32 left = rows; left != 0; left &= left - 1) {
                quint8 &cell = cells[std::countr_zero(left)];
                cell = std::max(cell, level);
            }
        }
    }
    const std::array<QRgb, 256> &colours = palette();
    auto *pixels = reinterpret_cast<QRgb *>(image.bits());
    for (const Spot &spot : m_spots) {
        pixels[spot.pixel] = colours[m_intensity[spot.cell]];
    }
    // The arm where it is now, and the sensor's place at twelve o'clock.
    const Geometry g = geometryFor(size, m_ledCount);
    const double turn = std::fmod(std::max(0.0, timeUs), period) / period;
    const double angle = 2 * std::numbers::pi * (clockwise ? turn : 1 - turn);
    const QPointF centre(size / 2.0, size / 2.0);
    const QPointF direction(std::sin(angle), -std::cos(angle));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 90, 90), std::max(1.0, size / 240.0)));
    painter.drawLine(centre + direction * g.hub * 0.3, centre + direction * g.rim);
    painter.setBrush(QColor(50, 50, 50));
    painter.drawEllipse(centre, g.hub * 0.3, g.hub * 0.3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 110, 200));
    painter.drawEllipse(QPointF(centre.x(), centre.y() - g.rim - size * 0.012), size * 0.008, size * 0.008);
}

QImage SpinRenderer::revolutionFrame(qint64 k, int size) {
    QImage image;
    // A thousandth of a microsecond before the next edge: nothing of the next revolution yet.
    render(image, size, (k + 1) * periodUs() - 1e-3);
    return image;
}

} // namespace tavrin::preview
