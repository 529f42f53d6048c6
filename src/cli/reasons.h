#pragma once

#include <QString>

namespace tavrin::compose {
struct LoadedPicture;
}
namespace tavrin::hex {
struct ExportRefusal;
}
namespace tavrin::link {
struct LinkFailure;
}
namespace tavrin::platform {
struct FileFault;
struct LineError;
} // namespace tavrin::platform
namespace tavrin::project {
struct ProjectRead;
struct ProjectSave;
} // namespace tavrin::project

// The command line's English words for what the core reports as data.
namespace tavrin::cli {

QString linkFailureText(const link::LinkFailure &failure);
QString lineErrorText(const platform::LineError &error);
QString pictureProblemText(const compose::LoadedPicture &loaded);
QString projectProblemText(const project::ProjectRead &read);
QString projectSaveText(const project::ProjectSave &save);
// Why a file was not read or written, to follow "cannot read FILE: ".
QString fileFaultText(const platform::FileFault &fault);
QString exportRefusalText(const hex::ExportRefusal &refusal);

} // namespace tavrin::cli
