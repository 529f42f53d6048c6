#pragma once

#include <QElapsedTimer>
#include <QString>

namespace tavrin::cli {

// On a terminal: a bar with the work done, the rate and the time left, redrawn in place about ten
// times a second, once the work has run for quietMilliseconds (a short run shows none). Off a
// terminal it shows nothing.
class ProgressBar {
public:
    // unit names what is counted ("bytes"), rateUnit its rate ("B/s"). shown false: never drawn
    // (when the results themselves go to the terminal).
    ProgressBar(qint64 total, const QString &unit, const QString &rateUnit, int quietMilliseconds = 0,
                bool shown = true);
    ~ProgressBar();
    ProgressBar(const ProgressBar &) = delete;
    ProgressBar &operator=(const ProgressBar &) = delete;

    // done of total; last draws it whatever the time since the last drawing.
    void update(qint64 done, bool last = false);

private:
    qint64 m_total;
    QString m_unit;
    QString m_rateUnit;
    int m_quiet;
    bool m_shown;
    bool m_drawn = false;
    QElapsedTimer m_running; // since the work started
    QElapsedTimer m_clock;   // since the first unit was done
    qint64 m_first = 0;
    qint64 m_lastDraw = 0;
};

} // namespace tavrin::cli
