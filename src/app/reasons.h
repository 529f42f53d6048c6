#pragma once

#include <QCoreApplication>
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

namespace tavrin::app {

// The window's words for what the core reports as data, in the window's language.
class Reasons {
    Q_DECLARE_TR_FUNCTIONS(tavrin::app::Reasons)

public:
    static QString linkFailure(const link::LinkFailure &failure);
    static QString lineError(const platform::LineError &error);
    static QString pictureProblem(const compose::LoadedPicture &loaded);
    // Why a file was not read or written, to follow a message that names the file.
    static QString fileFault(const platform::FileFault &fault);
    static QString exportRefusal(const hex::ExportRefusal &refusal);
};

} // namespace tavrin::app
