#include "project/project.h"

#include "compose/canvas.h"
#include "compose/geometry.h"
#include "platform/desktop.h"
#include "preview/roundmap.h"

#include <QFont>
#include <QFontInfo>

namespace tavrin::project {

compose::PictureSettings Project::pictureSettings() const {
    return {frame, crop, autoCrop, turn, pictureMirror, fit, scalePercent, round, dots};
}

void Project::setPictureSettings(const compose::PictureSettings &settings) {
    frame = settings.frame;
    crop = settings.crop;
    autoCrop = settings.autoCrop;
    turn = settings.turn;
    pictureMirror = settings.mirror;
    fit = settings.fit;
    scalePercent = settings.scalePercent;
    round = settings.round;
    dots = settings.dots;
}

compose::ShapedPicture preparedPicture(const Project &project) {
    if (project.picture.isNull()) {
        return {};
    }
    return preview::shapeForCanvas(project.picture, project.pictureSettings(), project.ledCount,
                                   compose::canvasWidthDots(project.ledCount));
}

compose::ShapedPicture restore(const Project &project, compose::Composer &composer) {
    composer = compose::Composer();
    composer.applyLedCount(project.ledCount);
    composer.run(compose::Canvas::withCrLf(project.text), project.font, project.size);
    if (project.mode == compose::Mode::Picture) {
        composer.switchMode();
    }
    compose::ShapedPicture shaped = preparedPicture(project);
    if (!shaped.image.isNull()) {
        composer.setPicture(compose::makeDots(shaped.image, project.dots));
    }
    composer.placeText(project.textLeft, project.textTop);
    composer.placePicture(project.pictureBox);
    composer.setMirror(project.mirror);
    return shaped;
}

void record(const compose::Composer &composer, Project &project) {
    project.ledCount = composer.ledCount();
    project.mode = composer.mode();
    project.textLeft = composer.canvas().text.box.left;
    project.textTop = composer.canvas().text.box.top;
    project.pictureBox = composer.canvas().picture.box;
    project.mirror = composer.canvas().mirror;
}

FontCheck checkFont(const QString &family) {
    if (family.isEmpty() || platform::installedFonts().contains(family) || !QFont::substitutes(family).isEmpty()) {
        return {};
    }
    return {true, QFontInfo(compose::Canvas::layerFont(family, 16)).family()};
}

} // namespace tavrin::project
