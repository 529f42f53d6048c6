#include "compose/composer.h"

#include "base/ledcount.h"
#include "compose/geometry.h"

namespace tavrin::compose {

namespace {
constexpr float dot = twipsPerDot;
}

bool Composer::applyLedCount(int leds) {
    if (!base::isLedCount(leds)) {
        return false;
    }
    ledcount = leds;
    canvas.height = float(ledcount * twipsPerDot);
    canvas.width = canvasWidthTwips(ledcount, canvas.width);
    canvas.backdrop.height = float(ledcount * twipsPerDot);
    canvas.backdrop.width = canvas.width;
    canvas.text.box.top = (canvas.backdrop.height - canvas.text.box.height) / 2;
    return true;
}

void Composer::applyStartGeometry() {
    canvas.height = float(twipsPerDot * ledcount);
    canvas.width = 30720;
    canvas.backdrop.height = canvas.height;
    canvas.backdrop.width = canvas.width;
    canvas.text.box.top = (canvas.backdrop.height - canvas.text.box.height) / 2;
}

QString Composer::run(const QString &text, const QString &family, int points) {
    TextLayer &label = canvas.text;
    canvas.setText(text, family.isEmpty() ? label.family : family, pointsToPixels(points));
    const QString report = sizeReport(label.text.size(), points, label.box.width, label.box.height,
                                      canvas.backdrop.width, canvas.backdrop.height);
    label.box.left = 0;
    canvas.backdrop.left = 0;
    canvas.backdrop.top = 0;
    label.box.top = (canvas.backdrop.height - label.box.height) / 2;
    return report;
}

void Composer::move(int direction) {
    for (Box *box :
         {canvas.text.visible ? &canvas.text.box : nullptr, canvas.picture.visible ? &canvas.picture.box : nullptr}) {
        if (!box) {
            continue;
        }
        switch (direction) {
        case 0:
            box->top -= dot;
            break;
        case 1:
            box->top += dot;
            break;
        case 2:
            box->left -= dot;
            break;
        case 3:
            box->left += dot;
            break;
        default:
            break;
        }
    }
}

void Composer::resizePicture(bool larger) {
    Box &box = canvas.picture.box;
    if (!canvas.picture.visible) {
        return;
    }
    // The width alone decides; the height follows without a limit of its own.
    if (larger && box.width < 20000) {
        box.width = box.width * 0.05f + box.width;
        box.height = box.height * 0.05f + box.height;
    } else if (!larger && box.width > 10) {
        box.width = box.width - box.width * 0.1f;
        box.height = box.height - box.height * 0.1f;
    }
}

bool Composer::textCanGrow() const {
    return canvas.text.visible && canvas.text.pointSize() < 28;
}

bool Composer::textCanShrink() const {
    return canvas.text.visible && canvas.text.pointSize() > 6;
}

bool Composer::switchMode() {
    const bool toPicture = picmode == 0;
    picmode = toPicture ? 1 : 0;
    canvas.text.visible = !toPicture;
    canvas.picture.visible = toPicture;
    canvas.picture.box.left = canvas.picture.box.top = 0;
    canvas.text.box.left = canvas.text.box.top = 0;
    canvas.backdrop.left = canvas.backdrop.top = 0;
    return toPicture;
}

void Composer::setPicture(const QImage &picture) {
    canvas.picture.picture = picture;
    canvas.picture.box.width = float(picture.width() * twipsPerDot);
    canvas.picture.box.height = float(picture.height() * twipsPerDot);
}

} // namespace tavrin::compose
