#include "base/licence.h"
#include "cli.h"
#include "platform/desktop.h"

#include <cstdio>
#include <new>

#include <QGuiApplication>
#include <QTextStream>

using namespace Qt::StringLiterals;
using namespace tavrin::cli;

namespace {

const char usage[] = "usage: tavrin-cli COMMAND [options]   (tavrin-cli COMMAND --help for each)\n"
                     "       tavrin-cli --version\n"
                     "  canvas   the composed canvas as PNG, one pixel per dot\n"
                     "  code     the content code\n"
                     "  hex      an Intel HEX firmware file with the content\n"
                     "  project  a project file of the composition, for the window\n"
                     "  write    send the content to the board\n"
                     "  erase    erase the board's content\n"
                     "  ports    the serial ports that can be opened\n"
                     "  show     draw a content code or HEX file as the board shows it\n"
                     "  preview  the spinning board, revolution by revolution, for a firmware\n"
                     "  pattern  the orientation test pattern: pattern [canvas|code|write|hex] [options]\n"
                     "  board    a virtual board on a pseudo-terminal\n";

// The version and the usage asked for are results too: when they do not reach stdout, that is a failure.
int printed() {
    if (const QString reason = standardOutputFailure(); !reason.isEmpty()) {
        QTextStream(stderr) << "tavrin-cli: cannot write to standard output: " << reason << "\n";
        return Failure;
    }
    return Success;
}

} // namespace

// Results and one clear line per failure go to stdout and stderr; the platform's own chatter
// (a missing runtime folder and the like) does not.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtFatalMsg || qEnvironmentVariableIsSet("TAVRIN_DEBUG")) {
        QTextStream(stderr) << message << "\n";
    }
}

int main(int argc, char *argv[]) {
    qInstallMessageHandler(quietMessages);
    // The canvas is drawn off screen, identically with or without a display.
    tavrin::platform::prepareFontDrawing("offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(u"tavrin-cli"_s);
    QGuiApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));
    tavrin::platform::installFontSubstitutes();

    QStringList arguments = QGuiApplication::arguments().mid(1);
    if (arguments.isEmpty() || arguments.constFirst() == u"--help"_s || arguments.constFirst() == u"-h"_s) {
        std::fputs(usage, arguments.isEmpty() ? stderr : stdout);
        return arguments.isEmpty() ? UsageError : printed();
    }
    if (arguments.constFirst() == u"--version"_s) {
        std::printf("tavrin-cli %s\n%s", qPrintable(QGuiApplication::applicationVersion()),
                    tavrin::base::licenceNotice);
        return printed();
    }
    const QString command = arguments.takeFirst();
    using Runner = Outcome (*)(const QStringList &);
    const QList<std::pair<QString, Runner>> commands{
        {u"canvas"_s, runCanvas},   {u"code"_s, runCode},   {u"hex"_s, runHex},         {u"project"_s, runProject},
        {u"write"_s, runWrite},     {u"erase"_s, runErase}, {u"ports"_s, runPorts},     {u"show"_s, runShow},
        {u"preview"_s, runPreview}, {u"board"_s, runBoard}, {u"pattern"_s, runPattern},
    };
    for (const auto &[name, runner] : commands) {
        if (name == command) {
            Outcome outcome;
            try {
                outcome = runner(arguments);
            } catch (const std::bad_alloc &) {
                // Whatever ran out of memory is given up with one line, never a crash.
                outcome = {Failure, u"there is not enough memory to go on"_s};
            }
            // A result that did not reach stdout (a full disk, a closed pipe) is a failure too.
            if (const QString reason = standardOutputFailure(); !reason.isEmpty() && outcome.code == Success) {
                outcome = {Failure, u"cannot write to standard output: "_s + reason};
            }
            QString message = outcome.message;
            if (outcome.code == UsageError && !message.contains(u"usage: "_s)) {
                message += u"\nusage: tavrin-cli %1 [options]   (tavrin-cli %1 --help)"_s.arg(command);
            }
            if (!message.isEmpty()) {
                QTextStream(stderr) << "tavrin-cli " << command << ": " << message << "\n";
            }
            return outcome.code;
        }
    }
    QTextStream(stderr) << "tavrin-cli: unknown command \"" << command << "\"\n" << usage;
    return UsageError;
}
