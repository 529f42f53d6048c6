#pragma once

#include "app/dotdrag.h"

#include <QAbstractScrollArea>
#include <QString>

namespace tavrin::app {

// The content as the board will light it: every column of the content code as round LEDs, lit or
// dark, zoomed 1 to 16 pixels a dot (Ctrl + wheel), scrolled along the board's columns. A drag
// with the left button reports whole dots, to move the content by hand.
class LitDotView : public QAbstractScrollArea {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LitDotView)

public:
    static constexpr int smallestZoom = 1;
    static constexpr int largestZoom = 16;

    explicit LitDotView(QWidget *parent = nullptr);

    // A code that is not whole columns for the LED count shows nothing.
    void setContent(const QString &code, int ledCount);
    const QString &code() const { return m_code; }
    int ledCount() const { return m_ledCount; }
    qsizetype columns() const;

    int zoom() const { return m_zoom; }
    void setZoom(int zoom);
    // The largest zoom at which every LED of a column fits the view's height.
    void fitToHeight();

    // The dots from column first on as the view draws them at its zoom.
    QImage drawColumns(qsizetype first, qsizetype count) const;

Q_SIGNALS:
    void zoomChanged(int zoom);
    void dragStarted();
    // By so many dots right and down since the last report.
    void dragged(const QPoint &dots);
    void dragEnded();

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void updateScrollBar();

    QString m_code;
    int m_ledCount = 16;
    int m_zoom = 4;
    DotDrag m_drag;
};

} // namespace tavrin::app
