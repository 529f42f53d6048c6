#pragma once

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
namespace tavrin::link {
struct LinkFailure;
struct PortChoice;
} // namespace tavrin::link
namespace tavrin::platform {
struct FileFault;
struct LineError;
struct PortAdapter;
} // namespace tavrin::platform
namespace tavrin::project {
struct ProjectRead;
struct ProjectSave;
} // namespace tavrin::project

// The command line's English words for what the core reports as data.
namespace tavrin::cli {

QString linkFailureText(const link::LinkFailure &failure);
QString lineErrorText(const platform::LineError &error);
// The adapter behind a port: USB ids and the names it gives, or that nothing is known of it.
QString adapterText(const platform::PortAdapter &adapter);
// Why no port can be offered: what to check when there is none, each port's reason otherwise.
QString noPortsText(const QList<link::PortChoice> &ports);
QString pictureProblemText(const compose::LoadedPicture &loaded);
QString projectProblemText(const project::ProjectRead &read);
QString projectSaveText(const project::ProjectSave &save);
// Why a file was not read or written, to follow "cannot read FILE: ".
QString fileFaultText(const platform::FileFault &fault);
QString exportRefusalText(const hex::ExportRefusal &refusal);
// Why a content code file (at path) cannot be used.
QString codeFileText(const encode::CodeFile &file, const QString &path);
// Why a HEX text cannot be read.
QString hexFaultText(const hex::HexFault &fault);
// Why an image is none of the six firmwares.
QString unknownFirmwareText(const hex::UnknownFirmware &unknown);
QString shapeProblemText(const compose::ShapedPicture &shaped);

} // namespace tavrin::cli
