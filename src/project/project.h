#pragma once

#include "compose/canvas.h"
#include "compose/composer.h"
#include "compose/dots.h"
#include "compose/picture.h"
#include "compose/picturesettings.h"
#include "compose/preparation.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// A project: everything the user composed, kept in a file to be opened again, on this machine or
// another, giving the same content code where the same fonts are installed.
namespace tavrin::project {

// The version this program writes. A file of a later version is refused rather than half read.
inline constexpr int formatVersion = 2;
// A project larger than this is refused, and one that would be larger is not saved: its picture
// is the only large part, and pictures are held to 64 MB decoded.
inline constexpr qint64 maxProjectBytes = 64ll * 1024 * 1024;
// Positions and sizes beyond this many dots from the canvas's corner are no composition's.
inline constexpr double maxDots = 1e6;

// The board preview's settings.
struct PreviewSettings {
    int zoom = 0;     // pixels per dot of the lit-dot view, 1..16; 0: fitted to the view
    int variant = -1; // the firmware the spinning board follows; -1: the generic model
    int perRevolution = 100;
    int step = 1;
    double rpm = 1200; // whole numbers, 300..6000
    int persistenceMs = 100;
    bool topOutermost = true;

    bool operator==(const PreviewSettings &) const = default;
};

struct Project {
    int ledCount = 16;
    compose::Mode mode = compose::Mode::Text;
    QString text;       // line breaks as LF
    QString font;       // the family as the font list names it; empty: the canvas's own font
    int size = 12;      // points
    float textLeft = 0; // the text layer's corner, twips
    float textTop = 0;
    QImage picture;      // as loaded, before it is made into dots; null when none was opened
    QString pictureName; // the file it came from
    compose::Box pictureBox;
    // How the picture as loaded becomes the picture layer, dots last; they also apply to pictures
    // opened later. The picture is the file's frame already: frame only says which one it was.
    int frame = 0;
    QRect crop;
    bool autoCrop = false;
    int turn = 0;
    compose::Mirror pictureMirror;
    compose::Fit fit = compose::Fit::AsItIs;
    int scalePercent = 100;
    compose::RoundSettings round;
    compose::DotSettings dots;
    compose::Mirror mirror; // of everything the canvas shows
    int exportVariant = -1; // the firmware chosen for the HEX export; -1: none yet
    PreviewSettings preview;

    compose::PictureSettings pictureSettings() const;
    void setPictureSettings(const compose::PictureSettings &settings);
};

// Why a project could not be read, as data: each front end words it.
struct ProjectRead {
    enum Problem {
        None,
        Missing,      // no such file
        NotAFile,     // a directory, device or other non-regular file
        Unreadable,   // detail: the system's words
        TooLarge,     // larger than maxProjectBytes
        NotJson,      // not JSON text, or damaged: detail is the parser's, offset where it stopped
        NotAProject,  // JSON, but not a Tavrin project
        NewerVersion, // version: the file's
        BadValue,     // field: the value that is missing its type or out of range
        BadPicture,   // picture: why the embedded picture cannot be used
    };

    Project project;
    Problem problem = None;
    QString name; // the file's name, for the message
    QString detail;
    qint64 offset = 0;
    int version = 0;
    QString field; // as "text.size"
    compose::LoadedPicture picture;

    bool ok() const { return problem == None; }
};

// The project as the file holds it: JSON, UTF-8, the picture as PNG.
QByteArray projectBytes(const Project &project);
// Reads a project from a file's bytes; name is the file's name the messages give.
ProjectRead readProject(const QByteArray &bytes, const QString &name);
// Reads a project file; only regular files are opened.
ProjectRead openProject(const QString &path);

struct ProjectSave {
    enum Problem { None, TooLarge, WriteFailed };
    Problem problem = None;
    qint64 bytes = 0;
    platform::FileFault file; // WriteFailed: why

    bool ok() const { return problem == None; }
};
// Writes the whole file or nothing: a failed save keeps the file that was there.
ProjectSave saveProject(const QString &path, const Project &project);

// The project's picture prepared for its canvas, before its dots; a problem comes back as data.
compose::ShapedPicture preparedPicture(const Project &project);
// Puts the project's composition on the composer, exactly as it was saved, and returns how its
// picture was prepared: with a problem the picture layer stays empty. A project read from a file
// was checked for that already.
compose::ShapedPicture restore(const Project &project, compose::Composer &composer);
// Takes the composer's LED count, mode, layer positions and mirror into the project; the text,
// font, size, picture and settings are the caller's.
void record(const compose::Composer &composer, Project &project);

// The font a project names, as this machine has it: available (installed, or standing for an
// installed face as "宋体" does), or missing, and then the face the font system draws with instead.
struct FontCheck {
    bool missing = false;
    QString nearest;
};
FontCheck checkFont(const QString &family);

} // namespace tavrin::project
