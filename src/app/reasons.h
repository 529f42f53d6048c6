#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

namespace tavrin::compose {
struct LoadedPicture;
}
namespace tavrin::hex {
struct ExportRefusal;
}
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
};

} // namespace tavrin::app
