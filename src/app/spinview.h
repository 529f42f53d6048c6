#pragma once

#include "preview/spinrenderer.h"

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

class QTimer;

namespace tavrin::app {

// The spinning board, animated in real time from the first sensor edge on.
class SpinView : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpinView)

public:
    explicit SpinView(QWidget *parent = nullptr);

    void setContent(const QString &code, int ledCount);
    void setModel(const preview::BoardModel &model);
    // A new speed keeps the revolution and the arm's angle.
    void setSettings(const preview::SpinSettings &settings);
    const preview::SpinSettings &settings() const { return m_renderer.settings(); }

    bool playing() const;
    void setPlaying(bool playing);
    // Back to the first sensor edge after reset.
    void restart();

    double timeUs() const { return m_timeUs; }
    qint64 revolution() const;

Q_SIGNALS:
    void revolutionChanged(qint64 revolution);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void advance();

    preview::SpinRenderer m_renderer;
    QImage m_frame;
    QTimer *m_timer = nullptr;
    QElapsedTimer m_clock;
    double m_timeUs = 0;
    qint64 m_shownRevolution = -1;
};

} // namespace tavrin::app
