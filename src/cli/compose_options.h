#pragma once

#include "cli.h"
#include "compose/composer.h"
#include "compose/dots.h"
#include "compose/picturesettings.h"
#include "project/project.h"

#include <optional>

#include <QCommandLineParser>

namespace tavrin::cli {

// The options that compose a canvas, applied in the window's order: LED count, text, picture mode,
// the size buttons, then the arrow buttons.
struct ComposeOptions {
    int leds = 16;
    QString text;
    QString font;
    int size = 12;
    QString picture;
    compose::PictureSettings preparation; // how the picture becomes the layer; its dots are in dots
    bool pattern = false;                 // the orientation test pattern instead of text or picture
    QList<compose::Direction> moves;
    int bigger = 0;
    int smaller = 0;
    compose::DotSettings dots;
    // --project: the composition to start from. A setting given after it replaces the project's;
    // one given before it is replaced by the project's.
    std::optional<project::Project> project;
    QStringList givenAfterProject; // the option names
    // Whether a setting the project also records is to be taken from the options.
    bool overrides(const QString &option) const { return !project || givenAfterProject.contains(option); }
    compose::Mirror mirror; // of everything the canvas shows
};

// The composing options in a usage line.
extern const QString composeSynopsis;

// spinOptions: --rpm, --per-revolution and --top-inside for round pictures; a command that has
// them already for its own use (preview) gives false, and they serve both.
void addComposeOptions(QCommandLineParser &parser, bool spinOptions = true);
// Reads and checks the options; a bad value is a usage error.
Outcome readComposeOptions(const QCommandLineParser &parser, ComposeOptions &options);
// Composes the canvas; kept, when given, receives the composition as a project records it.
Outcome compose(const ComposeOptions &options, compose::Composer &composer, project::Project *kept = nullptr);
// The composed canvas scanned into the content code.
QString contentCodeOf(const compose::Composer &composer);

// The content code of --code FILE (where the command takes it), or of the composition; options,
// when given, receives the composing options read.
Outcome contentCode(const QCommandLineParser &parser, bool takesCodeFile, QString &code,
                    ComposeOptions *options = nullptr);

// --leds: 8, 16, 24 or 32; a usage error otherwise.
Outcome readLedCount(const QCommandLineParser &parser, int &leds);

// The content a board picture shows: of --hex FILE (whose recognised variant goes to *variant),
// of --code FILE, or of the composition (whose options go to *options).
Outcome shownContent(const QCommandLineParser &parser, int leds, QString &code, int *variant,
                     ComposeOptions *options = nullptr);

// A numeric option within a range; a usage error otherwise.
Outcome readNumber(const QCommandLineParser &parser, const QString &name, int low, int high, int &value);
Outcome readReal(const QCommandLineParser &parser, const QString &name, double low, double high, double &value);

} // namespace tavrin::cli
