#include "support/canvas.h"

#include "compose/geometry.h"

using namespace Qt::StringLiterals;

namespace tavrin::bench {

QString fullCanvasText() {
    return u"旋转点阵 LED 1234567890 "_s.repeated(20);
}

compose::Canvas emptyCanvas(int leds) {
    compose::Canvas canvas;
    canvas.height = float(leds * 15);
    canvas.width = compose::canvasWidthTwips(leds, canvas.width);
    canvas.backdrop = {0, 0, canvas.width, canvas.height};
    return canvas;
}

void placeText(compose::Canvas &canvas, const QString &text) {
    canvas.setText(text, u"宋体"_s, compose::pointsToPixels(12));
    canvas.text.box.left = 0;
    canvas.text.box.top = (canvas.height - canvas.text.box.height) / 2;
}

} // namespace tavrin::bench
