#pragma once

#include "preview/boardmodel.h"

#include <vector>

#include <QImage>
#include <QString>

namespace tavrin::preview {

struct SpinSettings {
    double rpm = 1200;
    double persistenceMs = 100; // how long the eye keeps a lit dot, fading
    bool topOutermost = true;   // the top LED at the rim; else at the hub

    bool operator==(const SpinSettings &) const = default;
};

// The distance of LED row (0 = top) from the centre, a share of the rim's: the LEDs fill the arm
// from the rim to the hub at hubShare of the rim.
inline constexpr double hubShare = 0.38;
double ledRadius(int row, int ledCount, bool topOutermost);

inline constexpr double lowestRpm = 300;
inline constexpr double highestRpm = 6000;
inline constexpr double longestPersistenceMs = 1000;
// A generic board shows at most this many columns a revolution: the renderer tells this many
// angles of a turn apart, and no more.
inline constexpr int mostGenericColumns = 4096;

// What one preview run may ask, so that it ends within seconds: the work of all the frames it
// draws (see SpinRenderer::frameWork), and the columns of all the revolutions it lists.
inline constexpr qint64 mostDrawingWork = 250'000'000;
inline constexpr qint64 mostListedColumns = 10'000'000;
// In the drawing work, a column lit within a frame's persistence time costs as much as this many pixels.
inline constexpr int pixelsPerLitColumn = 8;

// Draws the spinning board as an eye sees it: the LED column on a radius, the sensor edge at
// twelve o'clock, every column the model lights at the angle the arm has when it lights, fading
// with age. Tables that depend only on the picture size are kept between frames.
class SpinRenderer {
public:
    // The content code the board holds; false (and no content) for a code that is not whole
    // columns of hex digits for an LED count of 8, 16, 24 or 32.
    bool setContent(const QString &code, int ledCount);
    void setModel(const BoardModel &model) { m_model = model; }
    // rpm and persistence are kept within lowestRpm..highestRpm and 0..longestPersistenceMs.
    void setSettings(const SpinSettings &settings);

    const BoardModel &model() const { return m_model; }
    const SpinSettings &settings() const { return m_settings; }
    int contentColumns() const { return int(m_columns.size()); }
    double periodUs() const { return 60e6 / m_settings.rpm; }

    // What drawing one frame of size × size pixels costs, in pixels: the picture's, and
    // pixelsPerLitColumn for every column the board may light within the persistence time.
    qint64 frameWork(int size) const;

    // The board timeUs after the first sensor edge, drawn into image (made size × size).
    void render(QImage &image, int size, double timeUs);
    // The board just before the edge that ends revolution k: revolution k and what persists of
    // those before it.
    QImage revolutionFrame(qint64 k, int size);

private:
    struct Lit {
        double start;
        double end;
        quint32 rows;
    };
    void buildTables(int size);
    void collect(double timeUs);
    quint32 rowsAt(double timeUs) const;

    BoardModel m_model = BoardModel::generic(100, 1);
    SpinSettings m_settings;
    int m_ledCount = 16;
    std::vector<quint32> m_columns; // bit r: row r (0 = top) lit

    int m_tableSize = 0;
    int m_tableLeds = 0;
    bool m_tableTopOutermost = true;
    QImage m_background; // the board with every LED dark
    struct Spot {
        quint32 pixel; // y × size + x
        quint32 cell;  // angle step × LEDs + row
    };
    std::vector<Spot> m_spots;       // the pixels an LED lights as it sweeps by
    std::vector<quint8> m_intensity; // per bin and row, 0..255
    std::vector<Lit> m_lit;          // what the board lights over the persistence time, by start
};

} // namespace tavrin::preview
