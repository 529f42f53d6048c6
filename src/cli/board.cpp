#include "base/ledcount.h"
#include "cli.h"
#include "compose/geometry.h"
#include "compose/picture.h"
#include "compose_options.h"
#include "encode/boardview.h"
#include "link/virtualboard.h"
#include "platform/files.h"
#include "platform/terminal.h"
#include "reasons.h"

#include <algorithm>

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace tavrin::cli {

namespace {

// What the board shows: its content as whole columns, no more than a canvas of them, or an unlit
// canvas after an erase.
QString shownCode(const link::VirtualBoard &board) {
    const int bytesPerColumn = board.ledCount() / 8;
    const qsizetype columns = std::min<qsizetype>(board.columns(), compose::canvasWidthDots(board.ledCount()));
    const QByteArray content = board.content().left(columns * bytesPerColumn);
    if (content.isEmpty()) {
        return QString(compose::canvasWidthDots(board.ledCount()) * board.ledCount() / 4, u'0');
    }
    return QString::fromLatin1(content.toHex());
}

// Writes what the board shows as frame-NNNN.png in folder; a failure is reported and the board
// goes on.
void saveShownFrame(const link::VirtualBoard &board, const QString &folder, int number) {
    QString error;
    const QImage image = encode::drawBoard(shownCode(board), board.ledCount(), 4, &error);
    const QString path = QDir(folder).filePath(u"frame-%1.png"_s.arg(number, 4, 10, QChar(u'0')));
    if (const QString reason =
            image.isNull() ? error : fileFaultText(platform::writeOutput(path, compose::pngBytes(image)));
        !reason.isEmpty()) {
        QTextStream(stderr) << "tavrin-cli board: cannot write " << path << ": " << reason << "\n";
    }
}

} // namespace

Outcome runBoard(const QStringList &arguments) {
    const QString synopsis = u"[--leds N] [--out DIR]"_s;
    QCommandLineParser parser;
    parser.addOptions({
        {u"leds"_s, u"LED count: 8, 16, 24 or 32 (16)."_s, u"N"_s, u"16"_s},
        {u"out"_s, u"Write what the board shows as DIR/frame-NNNN.png after every frame."_s, u"DIR"_s},
    });
    const QString usage = u"\nusage: tavrin-cli board "_s + synopsis;
    if (Parsed p = parse(parser, u"board"_s, synopsis, arguments,
                         u"A board on a pseudo-terminal: prints its device path, then one line per frame."_s);
        p.done) {
        return p.outcome;
    }
    int leds = 16;
    if (Outcome o = readNumber(parser, u"leds"_s, 8, 32, leds); o.code != Success || !base::isLedCount(leds)) {
        return {UsageError, u"--leds must be 8, 16, 24 or 32"_s + usage};
    }
    const QString out = parser.value(u"out"_s);
    if (!out.isEmpty() && !QDir().mkpath(out)) {
        return {Failure, u"cannot create the folder %1"_s.arg(out)};
    }

    link::VirtualBoard board(leds);
    if (!board.open()) {
        return {Failure, board.errorString()};
    }
    QTextStream stdoutStream(stdout);
    stdoutStream << board.devicePath() << "\n";
    stdoutStream.flush();

    Outcome outcome;
    int frames = 0;
    QObject::connect(&board, &link::VirtualBoard::frameReceived, &board, [&](const link::BoardFrame &frame) {
        stdoutStream << link::frameKindName(frame.kind) << " " << frame.byteCount << " bytes, " << frame.columns
                     << " columns\n";
        stdoutStream.flush();
        if (!out.isEmpty()) {
            saveShownFrame(board, out, ++frames);
        }
    });
    QObject::connect(&board, &link::VirtualBoard::failed, &board, [&](const QString &message) {
        outcome = {Failure, message};
        QGuiApplication::exit(Failure);
    });

    // Interrupted or terminated: leave the event loop and close the pseudo-terminal cleanly.
    platform::StopRequests stop;
    if (!stop.isActive()) {
        return {Failure, stop.errorString()};
    }
    QObject::connect(&stop, &platform::StopRequests::requested, &stop, [] { QGuiApplication::quit(); });
    QGuiApplication::exec();
    return outcome;
}

} // namespace tavrin::cli
