#pragma once

#include "app/dotdrag.h"

#include <QImage>
#include <QWidget>

namespace tavrin::app {

// The matrix canvas on screen: shows the composed image one pixel per dot and sits at a left
// position kept in twips, which the scroll bar and the scan move. A drag with the left button
// reports whole dots, to move the content by hand.
class CanvasView : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CanvasView)

public:
    explicit CanvasView(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }

    float leftTwips() const { return m_left; }
    void setLeftTwips(float twips);

Q_SIGNALS:
    void dragStarted();
    // By so many dots right and down since the last report.
    void dragged(const QPoint &dots);
    void dragEnded();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_image;
    DotDrag m_drag;
    float m_left = 420;
    static constexpr float topTwips = 60; // the canvas row never moves up or down
};

} // namespace tavrin::app
