#include "base/ledcount.h"
#include "fuzz.h"
#include "project/project.h"

// Any bytes as a project file: refused with a reason, or read into values in range that save
// and read back the same.
using namespace Qt::StringLiterals;
using tavrin::project::ProjectRead;

TAVRIN_FUZZ_INITIALIZE

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const ProjectRead read = tavrin::project::readProject(tavrin::fuzz::bytesOf(data, size), u"fuzz.tavrin"_s);
    FUZZ_CHECK(read.name == u"fuzz.tavrin"_s);
    if (!read.ok()) {
        FUZZ_CHECK(read.project.picture.isNull());
        FUZZ_CHECK((read.problem == ProjectRead::BadValue) == !read.field.isEmpty());
        return 0;
    }
    const tavrin::project::Project &project = read.project;
    FUZZ_CHECK(tavrin::base::isLedCount(project.ledCount));
    FUZZ_CHECK(project.size >= 6 && project.size <= 28);
    FUZZ_CHECK(project.dots.threshold >= 0 && project.dots.threshold <= 255);
    FUZZ_CHECK(project.turn % 90 == 0 && project.turn >= 0 && project.turn < 360);
    FUZZ_CHECK(project.scalePercent >= 1 && project.scalePercent <= 10000);
    if (!project.picture.isNull()) {
        FUZZ_CHECK(project.picture.sizeInBytes() <= tavrin::compose::maxPictureBytes);
        // What was read is prepared as it says, within the picture limits.
        const tavrin::compose::ShapedPicture shaped = tavrin::project::preparedPicture(project);
        FUZZ_CHECK(shaped.problem == tavrin::compose::ShapedPicture::None);
        FUZZ_CHECK(!tavrin::compose::pictureTooLarge(shaped.image.width(), shaped.image.height()));
    }
    const ProjectRead again = tavrin::project::readProject(tavrin::project::projectBytes(project), u"again"_s);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.project.text == project.text && again.project.font == project.font);
    FUZZ_CHECK(again.project.textLeft == project.textLeft && again.project.textTop == project.textTop);
    FUZZ_CHECK(again.project.picture == project.picture);
    FUZZ_CHECK(again.project.preview == project.preview && again.project.dots == project.dots);
    FUZZ_CHECK(again.project.pictureSettings() == project.pictureSettings() && again.project.mirror == project.mirror);
    return 0;
}
