#pragma once

#include "cli.h"
#include "compose/composer.h"
#include "compose/dots.h"

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
    QList<compose::Direction> moves;
    int bigger = 0;
    int smaller = 0;
    compose::DotSettings dots;
};

// The composing options in a usage line.
extern const QString composeSynopsis;

void addComposeOptions(QCommandLineParser &parser);
// Reads and checks the options; a bad value is a usage error.
Outcome readComposeOptions(const QCommandLineParser &parser, ComposeOptions &options);
Outcome compose(const ComposeOptions &options, compose::Composer &composer);
// The composed canvas scanned into the content code.
QString contentCodeOf(const compose::Composer &composer);

// The content code of --code FILE (where the command takes it), or of the composition.
Outcome contentCode(const QCommandLineParser &parser, bool takesCodeFile, QString &code);

// --leds: 8, 16, 24 or 32; a usage error otherwise.
Outcome readLedCount(const QCommandLineParser &parser, int &leds);

// The content a board picture shows: of --hex FILE (whose recognised variant goes to *variant),
// of --code FILE, or of the composition.
Outcome shownContent(const QCommandLineParser &parser, int leds, QString &code, int *variant);

// A numeric option within a range; a usage error otherwise.
Outcome readNumber(const QCommandLineParser &parser, const QString &name, int low, int high, int &value);

} // namespace tavrin::cli
