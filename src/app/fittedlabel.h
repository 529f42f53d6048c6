#pragma once

#include <QLabel>

namespace tavrin::app {

// A one-line label that keeps to its place: a text too long for it is shown cut in the middle, so
// that both ends stay readable, and whole in its tooltip. text() is always the whole text.
class FittedLabel : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FittedLabel)

public:
    explicit FittedLabel(QWidget *parent = nullptr);

    // What the label shows in its width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
};

} // namespace tavrin::app
