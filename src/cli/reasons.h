#pragma once

#include <QString>

namespace tavrin::compose {
struct LoadedPicture;
}
namespace tavrin::link {
struct LinkFailure;
}
namespace tavrin::platform {
struct LineError;
}
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

} // namespace tavrin::cli
