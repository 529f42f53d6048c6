#include "app/canvasview.h"

#include "compose/geometry.h"

#include <QPaintEvent>
#include <QPainter>

namespace tavrin::app {

CanvasView::CanvasView(QWidget *parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
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

} // namespace tavrin::app
