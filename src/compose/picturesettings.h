#pragma once

#include "compose/dots.h"

#include <QRect>

// How a picture as loaded becomes the picture layer: frame, crop, turn, mirror, fit, dots. Every
// setting defaults to the picture as it is, shown unscaled at the canvas's corner.
namespace tavrin::compose {

enum class Fit {
    AsItIs,  // unscaled
    Height,  // to the LED height, aspect kept
    Inside,  // inside the canvas, aspect kept
    Stretch, // to the LED height, the width as it is
    Scale,   // by PictureSettings::scalePercent
};

// Left–right and top–bottom: of a picture as it is prepared, or of everything the canvas shows, for
// boards mounted or spinning the other way.
struct Mirror {
    bool leftRight = false;
    bool upsideDown = false;

    bool isNone() const { return !leftRight && !upsideDown; }
    bool operator==(const Mirror &) const = default;
};

// A round picture: drawn onto the columns one revolution lights, so that it looks as drawn when
// the board spins at that speed.
struct RoundSettings {
    bool enabled = false;
    int variant = -1;        // the firmware variant whose schedule is used; -1: the generic model
    double rpm = 1200;       // the speed it is right at
    int perRevolution = 100; // the generic model's columns per revolution
    bool topInside = false;  // LED 0 at the hub rather than at the rim

    bool operator==(const RoundSettings &) const = default;
};

struct PictureSettings {
    int frame = 0;         // of an animated picture, 0 the first
    QRect crop;            // in the picture as loaded; a null rectangle keeps the whole picture
    bool autoCrop = false; // cut away the margins of the background (the corners' colour or transparency)
    int turn = 0;          // clockwise, in degrees: 0, 90, 180 or 270
    Mirror mirror;
    Fit fit = Fit::AsItIs;
    int scalePercent = 100; // with Fit::Scale, 1 to 10000
    RoundSettings round;    // in place of the fit when enabled
    DotSettings dots;

    bool operator==(const PictureSettings &) const = default;
};

} // namespace tavrin::compose
