#include "app/litdotview.h"

#include "encode/boardview.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace tavrin::app {

LitDotView::LitDotView(QWidget *parent)
    : QAbstractScrollArea(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(16 * 2 + horizontalScrollBar()->sizeHint().height() + 4);
}

qsizetype LitDotView::columns() const {
    return m_code.size() / (m_ledCount / 4);
}

void LitDotView::setContent(const QString &code, int ledCount) {
    const bool whole = ledCount >= 4 && code.size() % (ledCount / 4) == 0;
    const bool otherCount = whole && ledCount != m_ledCount;
    m_code = whole ? code : QString();
    m_ledCount = whole ? ledCount : m_ledCount;
    updateScrollBar();
    // The view does not scroll up and down: a taller column that the zoom would cut is fitted again.
    if (otherCount && m_ledCount * m_zoom > viewport()->height()) {
        fitToHeight();
    }
    viewport()->update();
}

void LitDotView::setZoom(int zoom) {
    zoom = std::clamp(zoom, smallestZoom, largestZoom);
    if (zoom == m_zoom) {
        return;
    }
    // The column at the left edge stays there.
    const int leftColumn = horizontalScrollBar()->value() / m_zoom;
    m_zoom = zoom;
    updateScrollBar();
    horizontalScrollBar()->setValue(leftColumn * m_zoom);
    viewport()->update();
    Q_EMIT zoomChanged(m_zoom);
}

void LitDotView::fitToHeight() {
    setZoom(viewport()->height() / std::max(1, m_ledCount));
}

void LitDotView::updateScrollBar() {
    QScrollBar *bar = horizontalScrollBar();
    const qint64 width = qint64(columns()) * m_zoom;
    bar->setRange(0, int(std::max<qint64>(0, width - viewport()->width())));
    bar->setPageStep(viewport()->width());
    bar->setSingleStep(m_zoom);
}

QImage LitDotView::drawColumns(qsizetype first, qsizetype count) const {
    return encode::drawBoardColumns(m_code, m_ledCount, m_zoom, first, count);
}

void LitDotView::paintEvent(QPaintEvent *) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::black);
    if (m_code.isEmpty()) {
        return;
    }
    const int offset = horizontalScrollBar()->value();
    const qsizetype first = offset / m_zoom;
    const QImage dots = drawColumns(first, viewport()->width() / m_zoom + 2);
    const int top = std::max(0, (viewport()->height() - m_ledCount * m_zoom) / 2);
    painter.drawImage(QPoint(int(first * m_zoom) - offset, top), dots);
}

void LitDotView::wheelEvent(QWheelEvent *event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0) {
            setZoom(m_zoom + steps);
        }
        event->accept();
        return;
    }
    // The view scrolls only along the columns: the wheel moves it left and right.
    const QPoint delta = event->angleDelta();
    const int notches = (delta.x() != 0 ? delta.x() : delta.y()) / 40;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - notches * m_zoom * 3);
    event->accept();
}

void LitDotView::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
}

void LitDotView::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || m_code.isEmpty()) {
        return QAbstractScrollArea::mousePressEvent(event);
    }
    m_drag.start(event->position());
    Q_EMIT dragStarted();
}

void LitDotView::mouseMoveEvent(QMouseEvent *event) {
    if (!m_drag.active()) {
        return QAbstractScrollArea::mouseMoveEvent(event);
    }
    if (const QPoint dots = m_drag.to(event->position(), m_zoom); !dots.isNull()) {
        Q_EMIT dragged(dots);
    }
}

void LitDotView::mouseReleaseEvent(QMouseEvent *event) {
    if (!m_drag.active() || event->button() != Qt::LeftButton) {
        return QAbstractScrollArea::mouseReleaseEvent(event);
    }
    if (const QPoint dots = m_drag.to(event->position(), m_zoom); !dots.isNull()) {
        Q_EMIT dragged(dots);
    }
    m_drag.stop();
    Q_EMIT dragEnded();
}

} // namespace tavrin::app
