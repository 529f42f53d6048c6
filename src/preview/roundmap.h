#pragma once

#include "compose/picturesettings.h"
#include "compose/preparation.h"
#include "preview/boardmodel.h"

// Round pictures: where a spinning board lights each canvas column and LED.
namespace tavrin::preview {

// The model a round picture is drawn for: the variant's when it drives ledCount LEDs, else the
// generic model with the settings' columns per revolution.
BoardModel roundModel(const compose::RoundSettings &settings, int ledCount);

// The first revolution's columns at rpm, repeated every revolution's width across columns canvas
// columns: a board whose window moves on each revolution turns the picture slowly. LED radii are
// those of the spinning preview, LED 0 at the rim or, with topInside, at the hub.
compose::PolarMap polarMap(const BoardModel &model, double rpm, int ledCount, bool topInside, int columns);
compose::PolarMap polarMap(const compose::RoundSettings &settings, int ledCount, int columns);

// A picture's preparation up to its dots for a canvas of columns × ledCount dots, round pictures
// included: the one the window and the command line both use.
compose::ShapedPicture shapeForCanvas(const QImage &loaded, const compose::PictureSettings &settings, int ledCount,
                                      int columns);

} // namespace tavrin::preview
