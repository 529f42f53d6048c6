#pragma once

#include "compose/canvas.h"

#include <QImage>
#include <QString>

namespace tavrin::compose {

enum class Direction { Up, Down, Left, Right };
// Text mode shows the text layer, picture mode the picture layer.
enum class Mode { Text, Picture };

// The font sizes the size control offers, in points.
inline constexpr int smallestTextSize = 6;
inline constexpr int largestTextSize = 28;

// What the board will show and the operations that change it, shared by the window and the
// command line so that both compose the same canvas from the same steps. The LED count, the
// mode and the canvas change only through these operations, which keep them consistent.
class Composer {
public:
    const Canvas &canvas() const { return m_canvas; }
    int ledCount() const { return m_ledCount; }
    Mode mode() const { return m_mode; }

    // Geometry for a LED count from the list; false (and nothing changed) for any other count.
    bool applyLedCount(int leds);
    // The geometry the window starts with: the canvas at full width for the LED count.
    void applyStartGeometry();

    // Renders the text into the text layer at the left edge, centred vertically, and returns the
    // size report. An empty family keeps the layer's font.
    SizeReport run(const QString &text, const QString &family, int points);

    // One dot in that direction for every layer that is shown.
    void move(Direction direction);
    // The text size after one press of the larger or smaller button, from points: one point up
    // or down, or points itself when the text is not shown, the range ends there, or the size the
    // layer really uses allows no step (28 pt is 37 px, 27.75 pt).
    int textSizeStep(bool larger, int points) const;
    // The picture box's larger (x1.05) or smaller (x0.9) step, within its limits.
    void resizePicture(bool larger);

    // Switches between text and picture mode; true when picture mode began. All layers return to the corner.
    bool switchMode();
    void setPicture(const QImage &picture);
    // Another image of the same picture (made into dots): the box stays as the user sized it.
    void replacePicture(const QImage &picture) { m_canvas.picture.picture = picture; }
    // Puts the text layer's corner and the picture's box where a saved composition had them.
    void placeText(float left, float top);
    void placePicture(const Box &box) { m_canvas.picture.box = box; }

    // Mirrors what the text and picture layers show, each in place.
    void setMirror(const Mirror &mirror) { m_canvas.mirror = mirror; }

    QImage render() const { return m_canvas.render(); }

private:
    Canvas m_canvas;
    int m_ledCount = 16;
    Mode m_mode = Mode::Text;
};

} // namespace tavrin::compose
