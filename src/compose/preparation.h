#pragma once

#include "compose/picturesettings.h"

#include <vector>

#include <QImage>
#include <QRect>

namespace tavrin::compose {

// Where each canvas column and LED of a spinning board sits, for drawing a round picture: the
// board's column schedule (src/preview) works it out.
struct PolarMap {
    // Per canvas column: the arm's angle while the column is lit, in radians clockwise from twelve
    // o'clock as the viewer sees the board; NaN for a column no revolution lights.
    std::vector<double> angles;
    std::vector<double> radii; // per LED, top first: its distance from the centre, a share of the rim's
    double angleSpan = 0;      // the turn a column is lit over
    double radiusSpan = 0;     // the distance between neighbouring LEDs, a share of the rim's
};

// A picture's preparation up to its dots: crop, turn, mirror and fit (or the round mapping).
struct ShapedPicture {
    enum Problem {
        None,
        CropOutside,  // the crop rectangle reaches past the picture (crop and the picture's size)
        CropEmpty,    // the crop rectangle has no width or no height
        BadScale,     // a scale below 1 %
        TooLarge,     // the result would pass the picture limits (size holds its size)
        NoRoundBoard, // a round picture without columns or LEDs to draw it on
    };

    QImage image; // ARGB32; null when there is a problem
    Problem problem = None;
    QRect crop;
    QSize size; // the picture's size (CropOutside), or the result's (TooLarge)
};

// The background's margins cut away: the colour all four corners share (within a small tolerance,
// for pictures saved lossily) or transparency. A picture whose corners differ, or that is all
// background, keeps its whole rectangle.
QRect contentRect(const QImage &picture);

// Whether a picture prepared with these settings changes with the LED count (and so the canvas).
bool followsLedCount(const PictureSettings &settings);

// Crop, turn, mirror and fit, from the picture as loaded (ARGB32, the frame already chosen), for a
// canvas of canvasWidth × ledCount dots. A round picture needs its map (round.enabled); else it is
// not read. Shrinking averages the pixels each dot covers. A problem changes nothing.
ShapedPicture shapePicture(const QImage &loaded, const PictureSettings &settings, int ledCount, int canvasWidth,
                           const PolarMap *round = nullptr);

// The picture drawn onto the columns of a spinning board: each dot averages the picture over the
// part of the circle it covers; the picture's longer side spans the rim's diameter.
QImage roundPicture(const QImage &picture, const PolarMap &map);

} // namespace tavrin::compose
