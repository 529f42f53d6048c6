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
    m_ledCount = leds;
    m_canvas.height = float(m_ledCount * twipsPerDot);
    m_canvas.width = canvasWidthTwips(m_ledCount, m_canvas.width);
    m_canvas.backdrop.height = float(m_ledCount * twipsPerDot);
    m_canvas.backdrop.width = m_canvas.width;
    m_canvas.text.box.top = (m_canvas.backdrop.height - m_canvas.text.box.height) / 2;
    return true;
}

void Composer::applyStartGeometry() {
    m_canvas.height = float(twipsPerDot * m_ledCount);
    m_canvas.width = 30720;
    m_canvas.backdrop.height = m_canvas.height;
    m_canvas.backdrop.width = m_canvas.width;
    m_canvas.text.box.top = (m_canvas.backdrop.height - m_canvas.text.box.height) / 2;
}

SizeReport Composer::run(const QString &text, const QString &family, int points) {
    TextLayer &label = m_canvas.text;
    m_canvas.setText(text, family.isEmpty() ? label.family() : family, pointsToPixels(points));
    const SizeReport report = sizeReport(label.text().size(), points, label.box.width, label.box.height,
                                         m_canvas.backdrop.width, m_canvas.backdrop.height);
    label.box.left = 0;
    m_canvas.backdrop.left = 0;
    m_canvas.backdrop.top = 0;
    label.box.top = (m_canvas.backdrop.height - label.box.height) / 2;
    return report;
}

void Composer::move(Direction direction) {
    for (Box *box : {m_canvas.text.visible ? &m_canvas.text.box : nullptr,
                     m_canvas.picture.visible ? &m_canvas.picture.box : nullptr}) {
        if (!box) {
            continue;
        }
        switch (direction) {
        case Direction::Up:
            box->top -= dot;
            break;
        case Direction::Down:
            box->top += dot;
            break;
        case Direction::Left:
            box->left -= dot;
            break;
        case Direction::Right:
            box->left += dot;
            break;
        }
    }
}

void Composer::resizePicture(bool larger) {
    Box &box = m_canvas.picture.box;
    if (!m_canvas.picture.visible) {
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

int Composer::textSizeStep(bool larger, int points) const {
    const TextLayer &text = m_canvas.text;
    if (!text.visible) {
        return points;
    }
    if (larger) {
        return text.pointSize() < largestTextSize && points < largestTextSize ? points + 1 : points;
    }
    return text.pointSize() > smallestTextSize && points > smallestTextSize ? points - 1 : points;
}

bool Composer::switchMode() {
    const bool toPicture = m_mode == Mode::Text;
    m_mode = toPicture ? Mode::Picture : Mode::Text;
    m_canvas.text.visible = !toPicture;
    m_canvas.picture.visible = toPicture;
    m_canvas.picture.box.left = m_canvas.picture.box.top = 0;
    m_canvas.text.box.left = m_canvas.text.box.top = 0;
    m_canvas.backdrop.left = m_canvas.backdrop.top = 0;
    return toPicture;
}

void Composer::placeText(float left, float top) {
    m_canvas.text.box.left = left;
    m_canvas.text.box.top = top;
}

void Composer::setPicture(const QImage &picture) {
    m_canvas.picture.picture = picture;
    m_canvas.picture.box.width = float(picture.width() * twipsPerDot);
    m_canvas.picture.box.height = float(picture.height() * twipsPerDot);
}

} // namespace tavrin::compose
