#pragma once

#include <QString>
#include <QStringList>

class QCommandLineParser;
class QImage;

// tavrin-cli: everything the window does, from a shell.
namespace tavrin::cli {

enum ExitCode { Success = 0, Failure = 1, UsageError = 2 };

// A failure of a subcommand: the exit code and one line for stderr.
struct Outcome {
    ExitCode code = Success;
    QString message;
};

// Prints a subcommand's help with the command's own name in its usage line.
void printHelp(const QString &helpText, const QString &command);

// Parses a subcommand's arguments. done is set when nothing more is to be done: --help was
// printed, or outcome holds the usage error.
struct Parsed {
    bool done = false;
    Outcome outcome;
};
Parsed parse(QCommandLineParser &parser, const QString &command, const QString &synopsis, const QStringList &arguments,
             const QString &description = {});

// Writes a whole file or nothing, with the reason on failure.
Outcome writeFile(const QString &path, const QByteArray &bytes);

// Flushes what the commands printed; the system's reason when it did not all reach stdout.
QString standardOutputFailure();

Outcome runCanvas(const QStringList &arguments);
Outcome runCode(const QStringList &arguments);
Outcome runHex(const QStringList &arguments);
Outcome runProject(const QStringList &arguments);
Outcome runWrite(const QStringList &arguments);
Outcome runErase(const QStringList &arguments);
Outcome runPorts(const QStringList &arguments);
Outcome runShow(const QStringList &arguments);
Outcome runPreview(const QStringList &arguments);
Outcome runBoard(const QStringList &arguments);
// canvas, code, write or hex (the first argument, canvas without one) of the test pattern.
Outcome runPattern(const QStringList &arguments);

} // namespace tavrin::cli
