#include "app/spinview.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QTimer>

namespace tavrin::app {

namespace {
constexpr int frameIntervalMs = 16;
// A frame never moves the board on by more than this, so that a stalled window does not jump.
constexpr double longestStepUs = 100000;
} // namespace

SpinView::SpinView(QWidget *parent)
    : QWidget(parent)
    , m_timer(new QTimer(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 160);
    m_timer->setInterval(frameIntervalMs);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, [this] { advance(); });
}

void SpinView::setContent(const QString &code, int ledCount) {
    m_renderer.setContent(code, ledCount);
    update();
}

void SpinView::setModel(const preview::BoardModel &model) {
    m_renderer.setModel(model);
    update();
}

void SpinView::setSettings(const preview::SpinSettings &settings) {
    const double oldPeriod = m_renderer.periodUs();
    m_renderer.setSettings(settings);
    m_timeUs = m_timeUs / oldPeriod * m_renderer.periodUs();
    update();
}

bool SpinView::playing() const {
    return m_timer->isActive();
}

void SpinView::setPlaying(bool playing) {
    if (playing == this->playing()) {
        return;
    }
    if (playing) {
        m_clock.start();
        m_timer->start();
    } else {
        m_timer->stop();
    }
}

void SpinView::restart() {
    m_timeUs = 0;
    m_clock.restart();
    m_shownRevolution = -1;
    update();
}

qint64 SpinView::revolution() const {
    return qint64(std::floor(m_timeUs / m_renderer.periodUs()));
}

void SpinView::advance() {
    const double elapsedUs = double(m_clock.nsecsElapsed()) / 1000;
    m_clock.restart();
    m_timeUs += std::min(elapsedUs, longestStepUs);
    update();
}

void SpinView::paintEvent(QPaintEvent *) {
    const int side = std::min(width(), height());
    m_renderer.render(m_frame, side, m_timeUs);
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(QPoint((width() - side) / 2, (height() - side) / 2), m_frame);
    if (const qint64 now = revolution(); now != m_shownRevolution) {
        m_shownRevolution = now;
        Q_EMIT revolutionChanged(now);
    }
}

} // namespace tavrin::app
