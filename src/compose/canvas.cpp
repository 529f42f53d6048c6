#include "compose/canvas.h"

#include "compose/geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QFontMetrics>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace tavrin::compose {

namespace {

// 96 dpi: the image's own resolution, so that nothing depends on the screen's.
constexpr int dotsPerMeter = 3780;

// Unicode's stream-safe text format holds a run of combining marks to 30: a longer one is no
// writing, and the shaper's time grows with the square of its length (seconds for a few thousand
// accents on one letter). Marks stack without an advance of their own, so a line is measured with
// its runs held to this length; the same line when none is longer.
constexpr qsizetype longestMeasuredMarkRun = 32;

QString withShortMarkRuns(const QString &line) {
    QString held;
    bool cut = false;
    qsizetype run = 0;
    for (qsizetype i = 0; i < line.size();) {
        char32_t c = line.at(i).unicode();
        qsizetype length = 1;
        if (line.at(i).isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(line.at(i), line.at(i + 1));
            length = 2;
        }
        run = QChar::isMark(c) ? run + 1 : 0;
        if (run > longestMeasuredMarkRun && !cut) {
            cut = true;
            held = line.left(i);
        } else if (cut && run <= longestMeasuredMarkRun) {
            held += QStringView(line).mid(i, length);
        }
        i += length;
    }
    return cut ? held : line;
}

// The font engine adds advances in 26.6 fixed point, which wraps past 2^25 pixels: a line of a
// million wide characters would measure 0. Long lines are measured in pieces, never splitting a
// surrogate pair, and the pieces added up in 64 bits.
qint64 lineAdvance(const QFontMetrics &metrics, const QString &text) {
    const QString line = withShortMarkRuns(text);
    constexpr qsizetype piece = 4096;
    if (line.size() <= piece) {
        return metrics.horizontalAdvance(line);
    }
    qint64 total = 0;
    for (qsizetype start = 0; start < line.size();) {
        qsizetype length = std::min(piece, line.size() - start);
        if (start + length < line.size() && line.at(start + length - 1).isHighSurrogate()) {
            --length;
        }
        total += metrics.horizontalAdvance(QStringView(line).mid(start, length).toString());
        start += length;
    }
    return total;
}

// A layer's extent in whole dots as the painter takes it.
int dotsOf(float twips) {
    return int(std::clamp(double(twips) / twipsPerDot, 0.0, double(std::numeric_limits<int>::max() / 2)));
}

QString pixels(float twips) {
    // Whole pixel counts print without a fraction, as they always are at 15 twips a pixel. Past
    // 2^24 twips single precision holds no fractions of its own: a wide line is a whole count too.
    const double dots = double(twips) / twipsPerDot;
    return QString::number(std::abs(twips) >= float(1 << 24) ? std::round(dots) : dots, 'g', 10);
}

} // namespace

double TextLayer::pointSize() const {
    return pixelsToPoints(m_pixelSize);
}

Canvas::Canvas() {
    text.box = {360, 120, 1620, 525};
    picture.box = {960, 0, 735, 495};
    setText(u"Label1"_s, u"宋体"_s, text.pixelSize());
    text.box.left = 360;
    text.box.top = 120;
}

int Canvas::widthDots() const {
    return std::max(0, int(width / twipsPerDot));
}

int Canvas::heightDots() const {
    return std::max(0, int(height / twipsPerDot));
}

QFont Canvas::layerFont(const QString &family, int pixelSize) {
    QFont font(family);
    font.setPixelSize(std::max(1, pixelSize));
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QStringList Canvas::lines(const QString &text) {
    QStringList result;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            result.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    result.append(text.mid(start));
    return result;
}

QString Canvas::withCrLf(const QString &text) {
    return lines(text).join(u"\r\n"_s);
}

void Canvas::setText(const QString &newText, const QString &family, int pixelSize) {
    text.m_text = newText;
    text.m_family = family;
    text.m_pixelSize = pixelSize;
    m_lines = lines(newText);
    const QFontMetrics metrics(layerFont(family, pixelSize));
    m_lineHeight = metrics.height();
    m_ascent = metrics.ascent();
    constexpr qsizetype cacheLimit = 200000;
    if (family != m_measuredFamily || pixelSize != m_measuredPixelSize || m_lineWidths.size() > cacheLimit) {
        m_lineWidths.clear();
        m_measuredFamily = family;
        m_measuredPixelSize = pixelSize;
    }
    qint64 widest = 0;
    for (const QString &line : std::as_const(m_lines)) {
        auto known = m_lineWidths.constFind(line);
        if (known == m_lineWidths.cend()) {
            known = m_lineWidths.insert(line, lineAdvance(metrics, line));
        }
        widest = std::max(widest, *known);
    }
    text.box.width = float(widest * twipsPerDot);
    text.box.height = float(qint64(m_lines.size()) * m_lineHeight * twipsPerDot);
}

QImage Canvas::render() const {
    QImage image(std::max(1, widthDots()), std::max(1, heightDots()), QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    // The canvas's own face shows only where the backdrop does not reach.
    image.fill(QColor(240, 240, 240));
    {
        QPainter painter(&image);
        painter.fillRect(twipsToPixel(backdrop.left), twipsToPixel(backdrop.top), int(backdrop.width / twipsPerDot),
                         int(backdrop.height / twipsPerDot), QColor::fromRgb(backdropColour));
    }
    const int textLeft = twipsToPixel(text.box.left);
    const int textTop = twipsToPixel(text.box.top);
    const int pictureLeft = twipsToPixel(picture.box.left);
    const int pictureTop = twipsToPixel(picture.box.top);
    const QSize pictureShown = shownPictureSize();
    if (mirror.isNone()) {
        if (text.visible) {
            renderText(image, textLeft, textTop);
        }
        if (picture.visible) {
            renderPicture(image, pictureLeft, pictureTop);
        }
    } else {
        // The layers are drawn where mirroring the whole canvas puts them back over their own
        // boxes: each shows mirrored in place, and only the part the canvas shows is drawn.
        const auto reflected = [&](int left, int top, int width, int height) {
            const auto edge = [](qint64 at) {
                return int(
                    std::clamp<qint64>(at, -std::numeric_limits<int>::max() / 2, std::numeric_limits<int>::max() / 2));
            };
            return QPoint(mirror.leftRight ? edge(qint64(image.width()) - left - width) : left,
                          mirror.upsideDown ? edge(qint64(image.height()) - top - height) : top);
        };
        QImage layers(image.size(), QImage::Format_ARGB32_Premultiplied);
        layers.fill(Qt::transparent);
        if (text.visible) {
            const QPoint at = reflected(textLeft, textTop, dotsOf(text.box.width), dotsOf(text.box.height));
            renderText(layers, at.x(), at.y());
        }
        if (picture.visible) {
            const QPoint at = reflected(pictureLeft, pictureTop, pictureShown.width(), pictureShown.height());
            renderPicture(layers, at.x(), at.y());
        }
        QPainter painter(&image);
        painter.drawImage(0, 0, layers.mirrored(mirror.leftRight, mirror.upsideDown));
    }
    if (widthDots() == 0 || heightDots() == 0) {
        return {};
    }
    return image;
}

void Canvas::renderText(QImage &image, int left, int top) const {
    if (left >= image.width() || top >= image.height() || m_lines.isEmpty()) {
        return;
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(layerFont(text.family(), text.pixelSize()));
    painter.setPen(QColor::fromRgb(glyphColour));
    painter.setClipRect(QRect(left, top, dotsOf(text.box.width), dotsOf(text.box.height)));

    // Only lines that reach the canvas are drawn, and of those only as many characters as can reach
    // its right edge: a pasted megabyte costs no more than a screenful.
    const qsizetype firstLine = std::max<qsizetype>(0, (-top) / std::max(1, m_lineHeight) - 1);
    const qsizetype maxChars = qsizetype(image.width() - std::min(left, 0)) * 2 + 64;
    for (qsizetype i = firstLine; i < m_lines.size(); ++i) {
        const int y = top + int(i) * m_lineHeight;
        if (y >= image.height()) {
            break;
        }
        if (y + m_lineHeight <= 0) {
            continue;
        }
        const QString &line = m_lines.at(i);
        painter.drawText(QPoint(left, y + m_ascent), line.size() > maxChars ? line.left(maxChars) : line);
    }
}

QSize Canvas::shownPictureSize() const {
    if (picture.picture.isNull()) {
        return {};
    }
    return {std::min(int(picture.box.width / twipsPerDot), picture.picture.width()),
            std::min(int(picture.box.height / twipsPerDot), picture.picture.height())};
}

void Canvas::renderPicture(QImage &image, int left, int top) const {
    const QSize shown = shownPictureSize();
    if (shown.width() <= 0 || shown.height() <= 0) {
        return;
    }
    QPainter painter(&image);
    painter.drawImage(QPoint(left, top), picture.picture, QRect(QPoint(0, 0), shown));
}

SizeReport sizeReport(qsizetype characters, int size, float textWidthTwips, float textHeightTwips,
                      float matrixWidthTwips, float matrixHeightTwips) {
    return {characters,
            size,
            pixels(textWidthTwips),
            pixels(textHeightTwips),
            pixels(matrixWidthTwips),
            pixels(matrixHeightTwips),
            textWidthTwips > matrixWidthTwips || textHeightTwips > matrixHeightTwips};
}

} // namespace tavrin::compose
