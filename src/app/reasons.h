#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

namespace tavrin::compose {
struct LoadedPicture;
struct ShapedPicture;
} // namespace tavrin::compose
namespace tavrin::encode {
struct CodeFile;
}
namespace tavrin::hex {
struct ExportRefusal;
struct HexFault;
struct UnknownFirmware;
} // namespace tavrin::hex
namespace tavrin::project {
struct ProjectRead;
struct ProjectSave;
} // namespace tavrin::project
namespace tavrin::link {
struct LinkFailure;
struct PortChoice;
} // namespace tavrin::link
namespace tavrin::platform {
struct FileFault;
struct LineError;
struct PortAdapter;
} // namespace tavrin::platform

namespace tavrin::app {

// The window's words for what the core reports as data, in the window's language.
class Reasons {
    Q_DECLARE_TR_FUNCTIONS(tavrin::app::Reasons)

public:
    static QString linkFailure(const link::LinkFailure &failure);
    static QString lineError(const platform::LineError &error);
    // The adapter behind a port: USB ids and the names it gives; empty when nothing is known.
    static QString portAdapter(const platform::PortAdapter &adapter);
    // A port's device and its adapter, as its list item's tooltip says.
    static QString portDescription(const link::PortChoice &port);
    // Why no port can be offered: what to check when there is none, each port's reason otherwise.
    static QString noPorts(const QList<link::PortChoice> &ports);
    static QString pictureProblem(const compose::LoadedPicture &loaded);
    // Why a file was not read or written, to follow a message that names the file.
    static QString fileFault(const platform::FileFault &fault);
    static QString exportRefusal(const hex::ExportRefusal &refusal);
    static QString projectProblem(const project::ProjectRead &read);
    // name: the file's
    static QString projectSave(const project::ProjectSave &save, const QString &name);
    static QString hexFault(const hex::HexFault &fault, const QString &name);
    static QString unknownFirmware(const hex::UnknownFirmware &unknown);
    static QString codeFile(const encode::CodeFile &file, const QString &name);
    // Why a picture's preparation settings cannot be applied; nothing was changed.
    static QString shapeProblem(const compose::ShapedPicture &shaped);
    // Another frame asked of a picture whose file is not at hand (it came from a project).
    static QString frameUnavailable(const QString &pictureName);
};

} // namespace tavrin::app
