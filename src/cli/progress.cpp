#include "progress.h"

#include "platform/terminal.h"

#include <QTextStream>

namespace tavrin::cli {

namespace {

QTextStream &err() {
    static QTextStream stream(stderr);
    return stream;
}

} // namespace

ProgressBar::ProgressBar(qint64 total, const QString &unit, const QString &rateUnit, int quietMilliseconds, bool shown)
    : m_total(total)
    , m_unit(unit)
    , m_rateUnit(rateUnit)
    , m_quiet(quietMilliseconds)
    , m_shown(shown && platform::standardErrorIsTerminal()) {
    m_running.start();
}

ProgressBar::~ProgressBar() {
    if (m_drawn) {
        err() << "\n";
        err().flush();
    }
}

void ProgressBar::update(qint64 done, bool last) {
    if (!m_shown || m_running.elapsed() < m_quiet) {
        return;
    }
    // The rate is measured from the first unit done: before it, the work (or the line) had not started.
    if (!m_clock.isValid() && done > 0) {
        m_clock.start();
        m_first = done;
    }
    const qint64 elapsed = m_clock.isValid() ? m_clock.elapsed() : 0;
    if (!last && m_drawn && elapsed - m_lastDraw < 100) {
        return;
    }
    m_lastDraw = elapsed;
    m_drawn = true;
    const double rate = elapsed > 0 ? double(done - m_first) * 1000.0 / double(elapsed) : 0;
    const double fraction = m_total > 0 ? double(done) / double(m_total) : 1;
    const int width = 30;
    const int filled = int(fraction * width);
    err() << "\r[" << QString(filled, u'#') << QString(width - filled, u' ') << "] " << done << "/" << m_total << " "
          << m_unit;
    if (rate > 0) {
        err() << ", " << qRound64(rate) << " " << m_rateUnit << ", "
              << QString::number(double(m_total - done) / rate, 'f', 1) << " s left ";
    }
    err().flush();
}

} // namespace tavrin::cli
