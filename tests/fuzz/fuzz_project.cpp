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
    if (!project.picture.isNull()) {
        FUZZ_CHECK(project.picture.sizeInBytes() <= tavrin::compose::maxPictureBytes);
    }
    const ProjectRead again = tavrin::project::readProject(tavrin::project::projectBytes(project), u"again"_s);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.project.text == project.text && again.project.font == project.font);
    FUZZ_CHECK(again.project.textLeft == project.textLeft && again.project.textTop == project.textTop);
    FUZZ_CHECK(again.project.picture == project.picture);
    FUZZ_CHECK(again.project.preview == project.preview && again.project.dots == project.dots);
    return 0;
}
