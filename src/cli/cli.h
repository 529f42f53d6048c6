#pragma once

#include <QString>
#include <QStringList>

class QCommandLineParser;

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

Outcome runCanvas(const QStringList &arguments);
Outcome runCode(const QStringList &arguments);
Outcome runHex(const QStringList &arguments);
Outcome runWrite(const QStringList &arguments);
Outcome runErase(const QStringList &arguments);
Outcome runPorts(const QStringList &arguments);
Outcome runShow(const QStringList &arguments);
Outcome runBoard(const QStringList &arguments);

} // namespace tavrin::cli
