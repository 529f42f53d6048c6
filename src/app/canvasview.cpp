#include "app/canvasview.h"

#include "compose/geometry.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace tavrin::app {

CanvasView::CanvasView(QWidget *parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::SizeAllCursor);
}

void CanvasView::setImage(const QImage &image) {
    m_image = image;
    setGeometry(compose::twipsToPixel(m_left), compose::twipsToPixel(topTwips), image.width(), image.height());
    update();
}

void CanvasView::setLeftTwips(float twips) {
    m_left = twips;
    move(compose::twipsToPixel(m_left), compose::twipsToPixel(topTwips));
}

void CanvasView::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), m_image, event->rect());
}

void CanvasView::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        return QWidget::mousePressEvent(event);
    }
    m_drag.start(event->position());
    Q_EMIT dragStarted();
}

void CanvasView::mouseMoveEvent(QMouseEvent *event) {
    if (!m_drag.active()) {
        return QWidget::mouseMoveEvent(event);
    }
    // One pixel is one dot.
    if (const QPoint dots = m_drag.to(event->position(), 1); !dots.isNull()) {
        Q_EMIT dragged(dots);
    }
}

void CanvasView::mouseReleaseEvent(QMouseEvent *event) {
    if (!m_drag.active() || event->button() != Qt::LeftButton) {
        return QWidget::mouseReleaseEvent(event);
    }
    if (const QPoint dots = m_drag.to(event->position(), 1); !dots.isNull()) {
        Q_EMIT dragged(dots);
    }
    m_drag.stop();
    Q_EMIT dragEnded();
}

} // namespace tavrin::app
