#include "project/project.h"

#include "compose/canvas.h"
#include "platform/desktop.h"

#include <QFont>
#include <QFontInfo>

namespace tavrin::project {

void restore(const Project &project, compose::Composer &composer) {
    composer = compose::Composer();
    composer.applyLedCount(project.ledCount);
    composer.run(compose::Canvas::withCrLf(project.text), project.font, project.size);
    if (project.mode == compose::Mode::Picture) {
        composer.switchMode();
    }
    if (!project.picture.isNull()) {
        composer.setPicture(compose::makeDots(project.picture, project.dots));
    }
    composer.placeText(project.textLeft, project.textTop);
    composer.placePicture(project.pictureBox);
}

void record(const compose::Composer &composer, Project &project) {
    project.ledCount = composer.ledCount();
    project.mode = composer.mode();
    project.textLeft = composer.canvas().text.box.left;
    project.textTop = composer.canvas().text.box.top;
    project.pictureBox = composer.canvas().picture.box;
}

FontCheck checkFont(const QString &family) {
    if (family.isEmpty() || platform::installedFonts().contains(family) || !QFont::substitutes(family).isEmpty()) {
        return {};
    }
    return {true, QFontInfo(compose::Canvas::layerFont(family, 16)).family()};
}

} // namespace tavrin::project
