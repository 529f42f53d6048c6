#include "cli.h"
#include "compose_options.h"
#include "encode/boardview.h"
#include "hex/firmware.h"
#include "link/boardlink.h"
#include "link/sendjob.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/terminal.h"
#include "progress.h"
#include "reasons.h"
#include "variants.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QEventLoop>
#include <QFile>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace tavrin::cli {

namespace {

QTextStream &out() {
    static QTextStream stream(stdout);
    return stream;
}

Outcome need(const QCommandLineParser &parser, const QString &option, const QString &command, const QString &synopsis) {
    if (parser.value(option).isEmpty()) {
        return {UsageError, u"--%1 is required\nusage: tavrin-cli %2 %3"_s.arg(option, command, synopsis)};
    }
    return {};
}

// "COM 3", "COM3", "3" or a device path.
QString portText(const QString &port) {
    bool number = false;
    port.trimmed().toInt(&number);
    return number ? u"COM "_s + port.trimmed() : port;
}

Outcome send(const QString &port, const QString &command, const QString &code) {
    const QString text = portText(port);
    const link::PortResolution resolved = link::resolvePort(text);
    if (resolved.device.isEmpty()) {
        return {Failure, linkFailureText(resolved.failure)};
    }
    const QByteArray bytes = link::frameBytes(link::frameText(command, code));
    ProgressBar bar(bytes.size(), u"bytes"_s, u"B/s"_s);
    link::SendJob job(text, resolved.device, bytes);
    QObject::connect(&job, &link::SendJob::progressed, &job,
                     [&bar](qint64 delivered, qint64) { bar.update(delivered, false); });
    QEventLoop loop;
    QObject::connect(&job, &link::SendJob::finished, &loop, &QEventLoop::quit);
    // Ctrl-C stops the send: what is queued is discarded and the port closed.
    platform::StopRequests stop;
    QObject::connect(&stop, &platform::StopRequests::requested, &job, &link::SendJob::cancel);
    job.start();
    loop.exec();
    const link::SendResult &result = job.result();
    bar.update(result.delivered, true);
    if (result.status == link::SendStatus::Cancelled) {
        return {Failure, u"stopped: %1 of %2 bytes reached the board; the board now holds incomplete content"_s.arg(
                             QString::number(result.delivered), QString::number(result.total))};
    }
    if (!result.sent()) {
        return {Failure, linkFailureText(result.failure)};
    }
    return {};
}

} // namespace

const QString composeSynopsis =
    u"[--project FILE] [--leds N] [--text TEXT | --text-file FILE] [--font FAMILY] [--size PT] "
    u"[--picture FILE [--frame N] [--crop X,Y,W,H] [--auto-crop] [--turn DEG] [--flip HOW]... "
    u"[--fit FIT | --scale PERCENT | --round BOARD [--rpm R] [--per-revolution C] "
    u"[--top-inside]] [--dots METHOD [--threshold N] [--invert]] | --pattern] [--move DIR]... "
    u"[--bigger N] [--smaller N] [--mirror HOW]..."_s;

Parsed parse(QCommandLineParser &parser, const QString &command, const QString &synopsis, const QStringList &arguments,
             const QString &description) {
    const QString usage = u"\nusage: tavrin-cli "_s + command + u" "_s + synopsis;
    parser.setApplicationDescription(u"tavrin-cli "_s + command + u" "_s + synopsis +
                                     (description.isEmpty() ? QString() : u"\n"_s + description));
    // Not addHelpOption(): its --help-all would be listed, yet run the command as if it were absent.
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Show this help."_s);
    parser.addOption(help);
    if (!parser.parse(QStringList{u"tavrin-cli "_s + command} + arguments)) {
        return {true, {UsageError, parser.errorText() + usage}};
    }
    if (parser.isSet(help)) {
        printHelp(parser.helpText(), command);
        return {true, {}};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return {true,
                {UsageError, u"unexpected argument \"%1\""_s.arg(parser.positionalArguments().constFirst()) + usage}};
    }
    return {};
}

QString standardOutputFailure() {
    out().flush();
    if (out().status() == QTextStream::WriteFailed) {
        const auto *file = qobject_cast<const QFileDevice *>(out().device());
        return file && !file->errorString().isEmpty() ? file->errorString() : u"the write failed"_s;
    }
    return platform::flushStandardOutput();
}

Outcome writeFile(const QString &path, const QByteArray &bytes) {
    if (path.isEmpty()) {
        return {UsageError, u"-o needs a file name"_s};
    }
    if (const platform::FileFault fault = platform::writeOutput(path, bytes)) {
        return {Failure, u"cannot write %1: %2"_s.arg(path, fileFaultText(fault))};
    }
    return {};
}

void printHelp(const QString &helpText, const QString &command) {
    QString text = helpText;
    const qsizetype end = text.indexOf(u'\n');
    text.replace(0, end, u"Usage: tavrin-cli "_s + command + u" [options]"_s);
    out() << text;
    out().flush();
}

Outcome runCanvas(const QStringList &arguments) {
    const QString synopsis = composeSynopsis + u" -o FILE.png"_s;
    QCommandLineParser parser;
    addComposeOptions(parser);
    parser.addOption({{u"o"_s, u"output"_s}, u"The canvas as PNG, one pixel per dot."_s, u"FILE"_s});
    if (Parsed p = parse(parser, u"canvas"_s, synopsis, arguments); p.done) {
        return p.outcome;
    }
    if (Outcome o = need(parser, u"output"_s, u"canvas"_s, synopsis); o.code != Success) {
        return o;
    }
    ComposeOptions options;
    compose::Composer composer;
    if (Outcome o = readComposeOptions(parser, options); o.code != Success) {
        return o;
    }
    if (Outcome o = compose(options, composer); o.code != Success) {
        return o;
    }
    return writeFile(parser.value(u"output"_s), compose::pngBytes(composer.render()));
}

Outcome runCode(const QStringList &arguments) {
    const QString synopsis = composeSynopsis + u" [-o FILE]"_s;
    QCommandLineParser parser;
    addComposeOptions(parser);
    parser.addOption({{u"o"_s, u"output"_s}, u"Write the code to FILE instead of stdout."_s, u"FILE"_s});
    if (Parsed p = parse(parser, u"code"_s, synopsis, arguments); p.done) {
        return p.outcome;
    }
    QString code;
    if (Outcome o = contentCode(parser, false, code); o.code != Success) {
        return o;
    }
    if (parser.isSet(u"output"_s)) {
        return writeFile(parser.value(u"output"_s), code.toLatin1());
    }
    out() << code << "\n";
    out().flush();
    return {};
}

Outcome runHex(const QStringList &arguments) {
    const QString synopsis = u"--variant N ("_s + composeSynopsis + u" | --code FILE) -o FILE.hex"_s;
    QCommandLineParser parser;
    addComposeOptions(parser);
    parser.addOptions({
        {u"variant"_s, u"Board firmware: %1."_s.arg(variantNumbersText()), u"N"_s},
        {u"code"_s, u"Take the content code from FILE instead of composing."_s, u"FILE"_s},
        {{u"o"_s, u"output"_s}, u"The Intel HEX file to write."_s, u"FILE"_s},
    });
    if (Parsed p = parse(parser, u"hex"_s, synopsis, arguments, variantList()); p.done) {
        return p.outcome;
    }
    if (Outcome o = need(parser, u"output"_s, u"hex"_s, synopsis); o.code != Success) {
        return o;
    }
    int variant = -1;
    if (parser.isSet(u"variant"_s)) {
        bool ok = false;
        variant = parser.value(u"variant"_s).toInt(&ok);
        if (!ok || !hex::findVariant(variant)) {
            return {UsageError, u"--variant must be %1\nusage: tavrin-cli hex "_s.arg(variantNumbersText()) + synopsis};
        }
    }
    QString code;
    ComposeOptions options;
    if (Outcome o = contentCode(parser, true, code, &options); o.code != Success) {
        return o;
    }
    // The firmware the project's export was set to, unless an option after it chooses another.
    if (options.project && options.project->exportVariant >= 0 && !options.overrides(u"variant"_s)) {
        variant = options.project->exportVariant;
    }
    if (variant < 0) {
        return need(parser, u"variant"_s, u"hex"_s, synopsis);
    }
    // A code file is held to what show draws, whole columns for the board; an empty one exports the
    // firmware with no content.
    if (const QString refusal = parser.isSet(u"code"_s) ? encode::codeRefusal(code, hex::findVariant(variant)->ledCount,
                                                                              encode::CodeUse::Export)
                                                        : QString();
        !refusal.isEmpty()) {
        return {Failure, refusal};
    }
    if (const hex::ExportRefusal refusal = hex::exportRefusal(variant, code)) {
        return {Failure, exportRefusalText(refusal)};
    }
    return writeFile(parser.value(u"output"_s), hex::hexFileBytes(variant, code));
}

Outcome runProject(const QStringList &arguments) {
    const QString synopsis = composeSynopsis + u" [--variant N] -o FILE.tavrin"_s;
    QCommandLineParser parser;
    addComposeOptions(parser);
    parser.addOptions({
        {u"variant"_s, u"The board firmware the HEX export is to use: %1."_s.arg(variantNumbersText()), u"N"_s},
        {{u"o"_s, u"output"_s}, u"The project file to write."_s, u"FILE"_s},
    });
    if (Parsed p = parse(parser, u"project"_s, synopsis, arguments,
                         u"Writes the composition as a project that the window opens."_s);
        p.done) {
        return p.outcome;
    }
    if (Outcome o = need(parser, u"output"_s, u"project"_s, synopsis); o.code != Success) {
        return o;
    }
    ComposeOptions options;
    if (Outcome o = readComposeOptions(parser, options); o.code != Success) {
        return o;
    }
    project::Project made;
    compose::Composer composer;
    if (Outcome o = compose(options, composer, &made); o.code != Success) {
        return o;
    }
    if (parser.isSet(u"variant"_s) && options.overrides(u"variant"_s)) {
        bool ok = false;
        made.exportVariant = parser.value(u"variant"_s).toInt(&ok);
        if (!ok || !hex::findVariant(made.exportVariant)) {
            return {UsageError,
                    u"--variant must be %1\nusage: tavrin-cli project "_s.arg(variantNumbersText()) + synopsis};
        }
    }
    const QString path = parser.value(u"output"_s);
    if (const project::ProjectSave save = project::saveProject(path, made); !save.ok()) {
        return {Failure, u"cannot write %1: %2"_s.arg(path, projectSaveText(save))};
    }
    return {};
}

Outcome runWrite(const QStringList &arguments) {
    const QString synopsis = u"--port PORT ("_s + composeSynopsis + u" | --code FILE)"_s;
    QCommandLineParser parser;
    addComposeOptions(parser);
    parser.addOptions({
        {u"port"_s, u"\"COM 3\", \"COM3\", \"3\" or a device path."_s, u"PORT"_s},
        {u"code"_s, u"Take the content code from FILE instead of composing."_s, u"FILE"_s},
    });
    if (Parsed p = parse(parser, u"write"_s, synopsis, arguments); p.done) {
        return p.outcome;
    }
    if (Outcome o = need(parser, u"port"_s, u"write"_s, synopsis); o.code != Success) {
        return o;
    }
    QString code;
    if (Outcome o = contentCode(parser, true, code); o.code != Success) {
        return o;
    }
    return send(parser.value(u"port"_s), QString::fromLatin1(link::writeCommand), code);
}

Outcome runErase(const QStringList &arguments) {
    const QString synopsis = u"--port PORT"_s;
    QCommandLineParser parser;
    parser.addOption({u"port"_s, u"\"COM 3\", \"COM3\", \"3\" or a device path."_s, u"PORT"_s});
    if (Parsed p = parse(parser, u"erase"_s, synopsis, arguments); p.done) {
        return p.outcome;
    }
    if (Outcome o = need(parser, u"port"_s, u"erase"_s, synopsis); o.code != Success) {
        return o;
    }
    return send(parser.value(u"port"_s), QString::fromLatin1(link::eraseCommand), QString());
}

Outcome runPorts(const QStringList &arguments) {
    QCommandLineParser parser;
    const QCommandLineOption longForm(u"long"_s, u"Every port 1-16 the system has, with its adapter and whether it "
                                                 u"can be opened, or why not."_s);
    parser.addOption(longForm);
    if (Parsed p = parse(parser, u"ports"_s, u"[--long]"_s, arguments,
                         u"Lists \"COM n<TAB>device\" for each port 1-16 that can be opened now."_s);
        p.done) {
        return p.outcome;
    }
    const QList<link::PortChoice> ports = link::surveyPorts();
    for (const link::PortChoice &port : ports) {
        const bool free = port.problem.kind == platform::LineError::None;
        if (parser.isSet(longForm)) {
            out() << port.label << "\t" << port.device << "\t" << adapterText(port.adapter) << "\t"
                  << (free ? u"can be opened"_s : u"cannot be opened: "_s + lineErrorText(port.problem)) << "\n";
        } else if (free) {
            out() << port.label << "\t" << port.device << "\n";
        }
    }
    out().flush();
    // Listing nothing is an answer, not a failure; what to check goes to stderr beside it.
    if (!link::anyUsable(ports)) {
        QTextStream(stderr) << "tavrin-cli ports: " << noPortsText(ports) << "\n";
    }
    return {};
}

Outcome runPattern(const QStringList &arguments) {
    QStringList rest = arguments;
    const QString action = !rest.isEmpty() && !rest.constFirst().startsWith(u'-') ? rest.takeFirst() : u"canvas"_s;
    rest.prepend(u"--pattern"_s);
    const QList<std::pair<QString, Outcome (*)(const QStringList &)>> actions{
        {u"canvas"_s, runCanvas}, {u"code"_s, runCode}, {u"write"_s, runWrite}, {u"hex"_s, runHex}};
    for (const auto &[name, runner] : actions) {
        if (name == action) {
            return runner(rest);
        }
    }
    return {UsageError, u"the pattern is made into canvas, code, write or hex, not \"%1\""_s.arg(action)};
}

} // namespace tavrin::cli
