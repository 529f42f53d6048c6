#pragma once

#include "compose/canvas.h"

#include <QImage>
#include <QString>

namespace tavrin::compose {

// What the board will show and the operations that change it, shared by the window and the
// command line so that both compose the same canvas from the same steps.
class Composer {
public:
    Canvas canvas;
    int ledcount = 16;
    int picmode = 0;

    // Geometry for a LED count from the list; false (and nothing changed) for any other count.
    bool applyLedCount(int leds);
    // The geometry the window starts with: the canvas at full width for the LED count.
    void applyStartGeometry();

    // Renders the text into the text layer at the left edge, centred vertically, and returns the
    // size report. An empty family keeps the layer's font.
    QString run(const QString &text, const QString &family, int points);

    // One dot up (0), down (1), left (2) or right (3) for every layer that is shown.
    void move(int direction);
    // The picture box's larger (x1.05) or smaller (x0.9) step, within its limits.
    void resizePicture(bool larger);
    // Whether the font size the text layer really uses allows one more step.
    bool textCanGrow() const;
    bool textCanShrink() const;

    // Switches between text and picture mode; true when picture mode began. All layers return to the corner.
    bool switchMode();
    void setPicture(const QImage &picture);

    QImage render() const { return canvas.render(); }
};

} // namespace tavrin::compose
