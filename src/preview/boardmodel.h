#pragma once

#include <QList>

// What a spinning board shows, revolution by revolution: the column schedule of each board
// firmware the export embeds, and a generic schedule for boards whose firmware is not ours.
namespace tavrin::preview {

// One content column lit during a revolution. Times are microseconds after the sensor edge that
// started the revolution; columns are canvas columns, 0 the left edge.
struct ShownColumn {
    double startUs = 0;
    double litUs = 0;
    int column = 0;

    bool operator==(const ShownColumn &) const = default;
};

// Seen from the side the LEDs face.
enum class Turning { Clockwise, Anticlockwise };

class BoardModel {
public:
    // The firmware of an export variant (0, 1, 2, 3, 22 or 33); false for any other number.
    static bool isVariant(int variant);
    static BoardModel forVariant(int variant);
    // columnsPerRevolution columns spread evenly over each revolution, the window moving step
    // columns every revolution and wrapping round the content.
    static BoardModel generic(int columnsPerRevolution, int step);

    int variant() const { return m_variant; } // -1 for the generic model
    Turning turning() const { return m_turning; }

    // The columns sensor revolution k (0 = the first edge after reset) shows, in the order shown,
    // with the motor at a steady period and contentColumns columns in the content. A board that is
    // still busy with an earlier revolution shows nothing in this one; its columns may run past
    // the next edge. Nothing before the first edge (k < 0).
    QList<ShownColumn> revolution(qint64 k, double periodUs, int contentColumns) const;

    // How many revolutions before k may still be lighting columns after k's edge.
    int overrun(double periodUs) const;

    // The most columns one revolution shows at this period: what a listing or a frame may hold.
    int mostColumns(double periodUs) const;

private:
    enum class Kind { Window, Slots, Generic };
    // A window board's schedule: 108 columns after each edge it takes, one every columnUs from
    // firstUs, each lit until the next.
    struct WindowTimes {
        double firstUs = 0;
        double columnUs = 0;
        double busyUs = 0;
        int start = 0;
        int stepEvery = 1;
    };
    void setWindow(Turning turning, const WindowTimes &times);

    Kind m_kind = Kind::Generic;
    int m_variant = -1;
    Turning m_turning = Turning::Clockwise;
    // Window boards: a fixed window of m_columns after each edge they take.
    // Slot boards: one column every m_columnUs from m_firstUs until the next edge, at most m_columns.
    int m_columns = 0;
    double m_firstUs = 0;
    double m_columnUs = 0;
    double m_litUs = 0;
    double m_busyUs = 0;       // window boards ignore edges for this long after the one they take
    int m_start = 0;           // window boards: the window's left column after the first edge
    int m_stepEvery = 1;       // window boards: revolutions shown per one-column step
    bool m_reversed = false;   // the window's right column first
    bool m_lengthWord = false; // the content ends where it ends; else the canvas loops
    int m_step = 1;            // generic: columns the window moves per revolution
};

} // namespace tavrin::preview
