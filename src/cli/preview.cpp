#include "cli.h"
#include "compose/picture.h"
#include "compose_options.h"
#include "hex/firmware.h"
#include "platform/terminal.h"
#include "preview/boardmodel.h"
#include "preview/spinrenderer.h"
#include "progress.h"
#include "variants.h"

#include <cerrno>
#include <cstdio>

#include <QCommandLineParser>
#include <QDir>

using namespace Qt::StringLiterals;

namespace tavrin::cli {

namespace {

constexpr int boardLeds = 16; // every firmware of the export drives 16 LEDs

// A run longer than this shows its progress on a terminal.
constexpr int quietMilliseconds = 1000;

// One line per revolution: "k:" then "time:column" for every column lit, time in microseconds
// after the revolution's sensor edge, in the order shown. Each line is written as it is made, so
// that memory stays the same whatever the count.
Outcome listColumns(const preview::BoardModel &model, qint64 first, qint64 count, double periodUs, int columns) {
    ProgressBar bar(count, u"revolutions"_s, u"revolutions/s"_s, quietMilliseconds,
                    !platform::standardOutputIsTerminal());
    QByteArray line;
    for (qint64 done = 0; done < count; ++done) {
        const qint64 k = first + done;
        line.clear();
        line += QByteArray::number(k) + ':';
        for (const preview::ShownColumn &shown : model.revolution(k, periodUs, columns)) {
            line += ' ';
            line += QByteArray::number(shown.startUs, 'f', 1);
            line += '+';
            line += QByteArray::number(shown.litUs, 'f', 1);
            line += ':';
            line += QByteArray::number(shown.column);
        }
        line += '\n';
        // The reason of a write that fails is the system's now; a later flush would no longer know it.
        errno = 0;
        if (std::fwrite(line.constData(), 1, size_t(line.size()), stdout) != size_t(line.size())) {
            return {Failure, u"cannot write to standard output: "_s + qt_error_string(errno != 0 ? errno : EIO)};
        }
        bar.update(done + 1);
    }
    bar.update(count, true);
    return {};
}

// Numbers for a usage message: "268435456" as "268 million".
QString millions(qint64 value) {
    return value >= 10'000'000 ? u"%1 million"_s.arg(value / 1'000'000) : QString::number(value);
}

} // namespace

Outcome runPreview(const QStringList &arguments) {
    const QString synopsis = u"(--variant N | --generic [--per-revolution C] [--step S]) ("_s + composeSynopsis +
                             u" | --code FILE | --hex FILE) [--rpm R] [--persistence MS] [--top-inside] "
                             u"[--pixels PX] [--revolution K] [--count N] (-o FILE.png | -o DIR | --columns)"_s;
    QCommandLineParser parser;
    addComposeOptions(parser, false);
    parser.addOptions({
        {u"variant"_s, u"The board firmware: %1 (with --hex, the file's own by default)."_s.arg(variantNumbersText()),
         u"N"_s},
        {u"generic"_s, u"A board whose firmware is not ours: C columns a revolution, moving S every revolution."_s},
        {u"per-revolution"_s, u"Generic: columns per revolution, 1 to %1 (100)."_s.arg(preview::mostGenericColumns),
         u"C"_s, u"100"_s},
        {u"step"_s, u"Generic: columns the window moves per revolution (1)."_s, u"S"_s, u"1"_s},
        {u"code"_s, u"Take the content code from FILE instead of composing."_s, u"FILE"_s},
        {u"hex"_s, u"Take the content from an Intel HEX file."_s, u"FILE"_s},
        {u"rpm"_s, u"Motor speed, 300 to 6000 revolutions a minute (1200)."_s, u"R"_s, u"1200"_s},
        {u"persistence"_s, u"How long the eye keeps a lit dot, 0 to 1000 ms (100)."_s, u"MS"_s, u"100"_s},
        {u"top-inside"_s, u"The top LED is the one nearest the hub."_s},
        {u"pixels"_s, u"Picture width and height in pixels, 64 to 4096 (480)."_s, u"PX"_s, u"480"_s},
        {u"revolution"_s, u"The first revolution drawn, 0 at the first sensor edge (0)."_s, u"K"_s, u"0"_s},
        {u"count"_s, u"How many revolutions: more than one writes DIR/revolution-KKKK.png (1)."_s, u"N"_s, u"1"_s},
        {{u"o"_s, u"output"_s}, u"The PNG file, or with --count above 1 the folder, to write."_s, u"PATH"_s},
        {u"columns"_s, u"Print the columns each revolution lights instead: \"k: start+lit:column …\" in µs."_s},
    });
    const QString usage = u"\nusage: tavrin-cli preview "_s + synopsis;
    if (Parsed p = parse(parser, u"preview"_s, synopsis, arguments); p.done) {
        return p.outcome;
    }
    if (parser.isSet(u"variant"_s) && parser.isSet(u"generic"_s)) {
        return {UsageError, u"give --variant or --generic, not both"_s + usage};
    }
    if (parser.isSet(u"code"_s) && parser.isSet(u"hex"_s)) {
        return {UsageError, u"give --code or --hex, not both"_s + usage};
    }
    if (parser.isSet(u"columns"_s) == !parser.value(u"output"_s).isEmpty()) {
        return {UsageError, u"give -o or --columns"_s + usage};
    }
    int leds = 16;
    int columnsPerRevolution = 0;
    int step = 0;
    int size = 0;
    int first = 0;
    int count = 0;
    double rpm = 0;
    double persistence = 0;
    for (Outcome o :
         {readLedCount(parser, leds),
          readNumber(parser, u"per-revolution"_s, 1, preview::mostGenericColumns, columnsPerRevolution),
          readNumber(parser, u"step"_s, 0, 100000, step), readNumber(parser, u"pixels"_s, 64, 4096, size),
          readNumber(parser, u"revolution"_s, 0, 100000000, first), readNumber(parser, u"count"_s, 1, 100000, count),
          readReal(parser, u"rpm"_s, preview::lowestRpm, preview::highestRpm, rpm),
          readReal(parser, u"persistence"_s, 0, preview::longestPersistenceMs, persistence)}) {
        if (o.code != Success) {
            return {UsageError, o.message + usage};
        }
    }
    int variant = -1;
    if (parser.isSet(u"variant"_s)) {
        bool ok = false;
        variant = parser.value(u"variant"_s).toInt(&ok);
        if (!ok || !preview::BoardModel::isVariant(variant)) {
            return {UsageError, u"--variant must be %1"_s.arg(variantNumbersText()) + usage};
        }
    }
    QString code;
    int hexVariant = -1;
    ComposeOptions options;
    if (Outcome o = shownContent(parser, leds, code, &hexVariant, &options); o.code != Success) {
        return o;
    }
    bool generic = parser.isSet(u"generic"_s);
    bool topInside = parser.isSet(u"top-inside"_s);
    if (options.project) {
        // The board preview's settings the project keeps, where no option after it says otherwise.
        leds = options.leds;
        const project::PreviewSettings &saved = options.project->preview;
        if (!options.overrides(u"variant"_s) && !options.overrides(u"generic"_s)) {
            // As the window's preview: a firmware's model only for the LEDs it drives.
            variant = leds == boardLeds ? saved.variant : -1;
            generic = variant < 0;
        }
        columnsPerRevolution = options.overrides(u"per-revolution"_s) ? columnsPerRevolution : saved.perRevolution;
        step = options.overrides(u"step"_s) ? step : saved.step;
        rpm = options.overrides(u"rpm"_s) ? rpm : saved.rpm;
        persistence = options.overrides(u"persistence"_s) ? persistence : saved.persistenceMs;
        topInside = options.overrides(u"top-inside"_s) ? topInside : !saved.topOutermost;
    }
    if (variant < 0 && !generic) {
        if (!preview::BoardModel::isVariant(hexVariant)) {
            return {UsageError, u"give --variant or --generic"_s + usage};
        }
        variant = hexVariant;
    }
    if (variant >= 0 && leds != boardLeds) {
        return {
            UsageError,
            u"board %1 drives %2 LEDs, not %3: give --leds %2 or --generic"_s.arg(variant).arg(boardLeds).arg(leds) +
                usage};
    }
    const preview::BoardModel model = variant >= 0 ? preview::BoardModel::forVariant(variant)
                                                   : preview::BoardModel::generic(columnsPerRevolution, step);
    preview::SpinRenderer renderer;
    if (!renderer.setContent(code, leds)) {
        return {Failure, u"the content is not whole columns of hex digits for %1 LEDs"_s.arg(leds)};
    }
    renderer.setModel(model);
    renderer.setSettings({rpm, persistence, !topInside});

    const double periodUs = renderer.periodUs();
    if (parser.isSet(u"columns"_s)) {
        if (const qint64 listed = qint64(count) * model.mostColumns(periodUs); listed > preview::mostListedColumns) {
            return {UsageError,
                    u"%1 revolutions of up to %2 columns are %3 columns, more than the %4 a listing holds: ask for "
                    u"fewer revolutions"_s.arg(count)
                            .arg(model.mostColumns(periodUs))
                            .arg(millions(listed), millions(preview::mostListedColumns)) +
                        usage};
        }
        return listColumns(model, first, count, periodUs, renderer.contentColumns());
    }
    if (const qint64 work = qint64(count) * renderer.frameWork(size); work > preview::mostDrawingWork) {
        return {UsageError,
                u"%1 frames of %2 × %2 pixels are %3 pixels of work, more than the %4 a preview draws (every column "
                u"a frame lights within the persistence time counting as %5): ask for fewer frames, fewer pixels "
                u"or a shorter persistence"_s.arg(count)
                        .arg(size)
                        .arg(millions(work), millions(preview::mostDrawingWork))
                        .arg(preview::pixelsPerLitColumn) +
                    usage};
    }
    const QString output = parser.value(u"output"_s);
    if (count == 1) {
        return writeFile(output, compose::pngBytes(renderer.revolutionFrame(first, size)));
    }
    if (!QDir().mkpath(output)) {
        return {Failure, u"cannot create the folder %1"_s.arg(output)};
    }
    ProgressBar bar(count, u"frames"_s, u"frames/s"_s, quietMilliseconds);
    for (qint64 done = 0; done < count; ++done) {
        const qint64 k = first + done;
        const QString path = QDir(output).filePath(u"revolution-%1.png"_s.arg(k, 4, 10, QChar(u'0')));
        if (Outcome o = writeFile(path, compose::pngBytes(renderer.revolutionFrame(k, size))); o.code != Success) {
            return o;
        }
        bar.update(done + 1);
    }
    bar.update(count, true);
    return {};
}

} // namespace tavrin::cli
