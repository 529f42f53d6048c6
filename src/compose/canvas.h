#pragma once

#include "compose/picturesettings.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

namespace tavrin::compose {

inline constexpr QRgb backdropColour = 0xff404040; // the unlit colour of the matrix
inline constexpr QRgb glyphColour = 0xffff0000;

// A rectangle in twips, relative to the canvas's top-left corner.
struct Box {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// The text layer: the edited text drawn in red, its box sized to the text's extent. The text
// and its font change only through Canvas::setText, which measures them again.
class TextLayer {
public:
    Box box;
    bool visible = true;

    const QString &text() const { return m_text; } // line breaks as CR LF, as the size report counts them
    const QString &family() const { return m_family; }
    int pixelSize() const { return m_pixelSize; }
    double pointSize() const;

private:
    friend class Canvas;
    QString m_text;
    QString m_family;
    int m_pixelSize = 35; // the layer's design font, 26.25 pt
};

// The picture layer: a box holding at most one picture, drawn unscaled from the box's corner.
struct PictureLayer {
    QImage picture;
    Box box;
    bool visible = true;
};

// The matrix canvas: one pixel per LED dot. Three layers, top to bottom: picture, text, backdrop.
// What render() returns is exactly what the window shows and what the scan reads.
class Canvas {
public:
    float width = 8415; // twips
    float height = 525; // twips
    Box backdrop{240, 120, 855, 255};
    TextLayer text{};
    PictureLayer picture{};
    Mirror mirror; // what the layers show, each in its own box: the scan reads it mirrored too

    Canvas();

    int widthDots() const;
    int heightDots() const;

    // Sets the text layer's text and font and fits the layer to the text's extent.
    void setText(const QString &text, const QString &family, int pixelSize);

    QImage render() const;

    // The font the text layer draws with: fixed pixel size, crisp (each dot lit or not), full hinting,
    // so that the canvas is the same on every screen.
    static QFont layerFont(const QString &family, int pixelSize);
    // Lines of a text, split at CR LF, LF or CR.
    static QStringList lines(const QString &text);
    // Every line break as CR LF, as the size report counts it.
    static QString withCrLf(const QString &text);

private:
    void renderText(QImage &image, int left, int top) const;
    void renderPicture(QImage &image, int left, int top) const;
    // The picture as the box trims it, never larger than the picture.
    QSize shownPictureSize() const;

    QStringList m_lines;
    // Widths of lines already measured in the current font: a keystroke in a long text re-measures one line.
    QHash<QString, qint64> m_lineWidths;
    QString m_measuredFamily;
    int m_measuredPixelSize = 0;
    int m_lineHeight = 0;
    int m_ascent = 0;
};

// The figures of the size report under the editor: characters, size, glyph area against the
// matrix in dots, and whether the text does not fit. The window words them in its language.
struct SizeReport {
    qsizetype characters = 0;
    int size = 0;
    QString textWidth; // dots, whole counts without a fraction
    QString textHeight;
    QString matrixWidth;
    QString matrixHeight;
    bool overflows = false;
};
SizeReport sizeReport(qsizetype characters, int size, float textWidthTwips, float textHeightTwips,
                      float matrixWidthTwips, float matrixHeightTwips);

} // namespace tavrin::compose
