#pragma once

#include <cmath>

#include <QPoint>
#include <QPointF>

namespace tavrin::app {

// A mouse drag over a view of dots, in whole dots: the distance from where the button went down,
// rounded to the nearest dot, handed out as the steps still to take.
class DotDrag {
public:
    void start(const QPointF &at) {
        m_start = at;
        m_taken = {};
        m_active = true;
    }
    // The dots to move by since the last call; dotSize is the view's pixels per dot.
    QPoint to(const QPointF &at, double dotSize) {
        const QPointF moved = (at - m_start) / dotSize;
        const QPoint whole(int(std::lround(moved.x())), int(std::lround(moved.y())));
        const QPoint step = whole - m_taken;
        m_taken = whole;
        return step;
    }
    void stop() { m_active = false; }
    bool active() const { return m_active; }

private:
    QPointF m_start;
    QPoint m_taken;
    bool m_active = false;
};

} // namespace tavrin::app
