#include "compose_options.h"

#include "base/hexdigit.h"
#include "base/ledcount.h"
#include "compose/dots.h"
#include "compose/geometry.h"
#include "compose/picture.h"
#include "encode/codefile.h"
#include "encode/contentcode.h"
#include "platform/files.h"
#include "reasons.h"

#include <algorithm>
#include <optional>

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace tavrin::cli {

namespace {

const QList<std::pair<QString, compose::Direction>> directions{
    {u"up"_s, compose::Direction::Up},
    {u"down"_s, compose::Direction::Down},
    {u"left"_s, compose::Direction::Left},
    {u"right"_s, compose::Direction::Right},
};
// In the order of compose::DotMethod after AsItIs.
const QStringList dotMethods{u"threshold"_s, u"ordered"_s, u"diffusion"_s};

Outcome usage(const QString &message) {
    return {UsageError, message};
}

Outcome failure(const QString &message) {
    return {Failure, message};
}

// A text far longer than any canvas shows. A pipe is read too, never past the bound or a writer
// gone quiet.
constexpr qint64 largestTextFile = 8 * 1024 * 1024;

Outcome readBounded(const QString &path, qint64 maxBytes, QByteArray &bytes) {
    platform::FileRead file = platform::readBounded(path, {.maxBytes = maxBytes, .streams = true});
    if (!file.ok()) {
        return failure(u"cannot read %1: %2"_s.arg(path, fileFaultText(file.fault)));
    }
    bytes = std::move(file.bytes);
    return {};
}

// The project of --project, and the options given after it.
Outcome readProject(const QCommandLineParser &parser, ComposeOptions &options) {
    if (!parser.isSet(u"project"_s)) {
        return {};
    }
    const QStringList given = parser.optionNames();
    if (given.count(u"project"_s) > 1) {
        return usage(u"give --project once"_s);
    }
    const QString path = parser.value(u"project"_s);
    project::ProjectRead read = project::openProject(path);
    if (!read.ok()) {
        return failure(u"cannot open project %1: %2"_s.arg(path, projectProblemText(read)));
    }
    if (const project::FontCheck font = project::checkFont(read.project.font); font.missing) {
        QTextStream(stderr) << u"note: the project's font \"%1\" is not installed; \"%2\" is used instead\n"_s.arg(
            read.project.font, font.nearest);
        read.project.font = font.nearest;
    }
    options.project = std::move(read.project);
    options.givenAfterProject = given.mid(given.indexOf(u"project"_s) + 1);
    return {};
}

} // namespace

void addComposeOptions(QCommandLineParser &parser) {
    parser.addOptions({
        {u"leds"_s, u"LED count: 8, 16, 24 or 32 (16)."_s, u"N"_s, u"16"_s},
        {u"text"_s, u"The text to show."_s, u"TEXT"_s},
        {u"text-file"_s, u"Read the text from a UTF-8 file."_s, u"FILE"_s},
        {u"font"_s, u"Font family (as the window's font list names it)."_s, u"FAMILY"_s, u"宋体"_s},
        {u"size"_s, u"Font size in points, 6 to 28 (12)."_s, u"PT"_s, u"12"_s},
        {u"picture"_s, u"Show a BMP, JPG, GIF or PNG picture instead of the text."_s, u"FILE"_s},
        {u"move"_s, u"Move one dot: up, down, left or right (repeatable)."_s, u"DIR"_s},
        {u"bigger"_s, u"Press the larger button N times."_s, u"N"_s, u"0"_s},
        {u"smaller"_s, u"Press the smaller button N times."_s, u"N"_s, u"0"_s},
        {u"dots"_s, u"Make the picture into dots: threshold, ordered or diffusion (Floyd–Steinberg)."_s, u"METHOD"_s},
        {u"threshold"_s, u"The brightness, 0 to 255, at which a dot lights (128)."_s, u"N"_s, u"128"_s},
        {u"invert"_s, u"With --dots: the dark parts of the picture light."_s},
        {u"project"_s, u"Start from a Tavrin project; the options after it change it."_s, u"FILE"_s},
    });
}

Outcome readNumber(const QCommandLineParser &parser, const QString &name, int low, int high, int &value) {
    bool ok = false;
    const int number = parser.value(name).toInt(&ok);
    if (!ok || number < low || number > high) {
        return usage(u"--%1 must be a number from %2 to %3"_s.arg(name).arg(low).arg(high));
    }
    value = number;
    return {};
}

Outcome readLedCount(const QCommandLineParser &parser, int &leds) {
    bool ok = false;
    const int number = parser.value(u"leds"_s).toInt(&ok);
    if (!ok || !base::isLedCount(number)) {
        return usage(u"--leds must be 8, 16, 24 or 32"_s);
    }
    leds = number;
    return {};
}

Outcome readComposeOptions(const QCommandLineParser &parser, ComposeOptions &options) {
    if (Outcome o = readProject(parser, options); o.code != Success) {
        return o;
    }
    if (Outcome o = readLedCount(parser, options.leds); o.code != Success) {
        return o;
    }
    if (Outcome o = readNumber(parser, u"size"_s, compose::smallestTextSize, compose::largestTextSize, options.size);
        o.code != Success) {
        return o;
    }
    if (Outcome o = readNumber(parser, u"bigger"_s, 0, 100000, options.bigger); o.code != Success) {
        return o;
    }
    if (Outcome o = readNumber(parser, u"smaller"_s, 0, 100000, options.smaller); o.code != Success) {
        return o;
    }
    if (parser.isSet(u"text"_s) && parser.isSet(u"text-file"_s)) {
        return usage(u"give --text or --text-file, not both"_s);
    }
    options.text = parser.value(u"text"_s);
    if (parser.isSet(u"text-file"_s)) {
        QByteArray bytes;
        if (Outcome o = readBounded(parser.value(u"text-file"_s), largestTextFile, bytes); o.code != Success) {
            return o;
        }
        options.text = QString::fromUtf8(bytes);
    }
    options.text = compose::Canvas::withCrLf(options.text);
    options.font = parser.value(u"font"_s);
    options.picture = parser.value(u"picture"_s);
    if (parser.isSet(u"dots"_s)) {
        const qsizetype method = dotMethods.indexOf(parser.value(u"dots"_s));
        if (method < 0) {
            return usage(u"--dots must be threshold, ordered or diffusion, not \"%1\""_s.arg(parser.value(u"dots"_s)));
        }
        options.dots.method = compose::DotMethod(method + 1);
    } else if ((parser.isSet(u"invert"_s) || parser.isSet(u"threshold"_s)) && !options.project) {
        return usage(u"--threshold and --invert need --dots or --project"_s);
    }
    if (Outcome o = readNumber(parser, u"threshold"_s, 0, 255, options.dots.threshold); o.code != Success) {
        return o;
    }
    options.dots.invert = parser.isSet(u"invert"_s);
    for (const QString &move : parser.values(u"move"_s)) {
        const auto direction = std::find_if(directions.cbegin(), directions.cend(),
                                            [&move](const auto &known) { return known.first == move; });
        if (direction == directions.cend()) {
            return usage(u"--move must be up, down, left or right, not \"%1\""_s.arg(move));
        }
        options.moves.append(direction->second);
    }
    return {};
}

Outcome compose(const ComposeOptions &options, compose::Composer &composer, project::Project *kept) {
    project::Project made = options.project.value_or(project::Project());
    if (options.project) {
        project::restore(made, composer);
    }
    if (options.overrides(u"leds"_s)) {
        made.ledCount = options.leds;
        composer.applyLedCount(options.leds);
    }
    // A changed text, font or size puts the text back at the left edge, as in the window.
    const bool text = options.overrides(u"text"_s) || options.overrides(u"text-file"_s);
    if (text || options.overrides(u"font"_s) || options.overrides(u"size"_s)) {
        made.text = text ? QString(options.text).replace(u"\r\n"_s, u"\n"_s) : made.text;
        made.font = options.overrides(u"font"_s) ? options.font : made.font;
        made.size = options.overrides(u"size"_s) ? options.size : made.size;
        composer.run(compose::Canvas::withCrLf(made.text), made.font, made.size);
    }
    const bool dots =
        options.overrides(u"dots"_s) || options.overrides(u"threshold"_s) || options.overrides(u"invert"_s);
    if (dots) {
        made.dots.method = options.overrides(u"dots"_s) ? options.dots.method : made.dots.method;
        made.dots.threshold = options.overrides(u"threshold"_s) ? options.dots.threshold : made.dots.threshold;
        made.dots.invert = options.overrides(u"invert"_s) ? options.dots.invert : made.dots.invert;
    }
    if (!options.picture.isEmpty() && options.overrides(u"picture"_s)) {
        if (composer.mode() == compose::Mode::Text) {
            composer.switchMode();
        }
        compose::LoadedPicture loaded;
        {
            // libpng reports a damaged file on stderr itself; the reason follows in one line of ours.
            std::optional<platform::StandardErrorMuted> muted;
            if (!qEnvironmentVariableIsSet("TAVRIN_DEBUG")) {
                muted.emplace();
            }
            loaded = compose::loadPicture(options.picture);
        }
        if (loaded.image.isNull()) {
            return failure(u"cannot use %1 as a picture: %2"_s.arg(options.picture, pictureProblemText(loaded)));
        }
        made.picture = loaded.image;
        made.pictureName = loaded.name;
        composer.setPicture(compose::makeDots(made.picture, made.dots));
    } else if (dots && !made.picture.isNull()) {
        composer.replacePicture(compose::makeDots(made.picture, made.dots));
    }
    int size = made.size;
    for (int i = 0; i < options.bigger + options.smaller; ++i) {
        const bool larger = i < options.bigger;
        if (const int stepped = composer.textSizeStep(larger, size); stepped != size) {
            size = stepped;
            composer.run(compose::Canvas::withCrLf(made.text), made.font, size);
        }
        composer.resizePicture(larger);
    }
    made.size = size;
    for (const compose::Direction direction : options.moves) {
        composer.move(direction);
    }
    if (kept) {
        project::record(composer, made);
        *kept = std::move(made);
    }
    return {};
}

QString contentCodeOf(const compose::Composer &composer) {
    return encode::makeContentCode(composer);
}

Outcome contentCode(const QCommandLineParser &parser, bool takesCodeFile, QString &code, ComposeOptions *read) {
    if (takesCodeFile && parser.isSet(u"code"_s)) {
        if (parser.optionNames().contains(u"project"_s)) {
            return usage(u"give --code or --project, not both"_s);
        }
        const QString path = parser.value(u"code"_s);
        const encode::CodeFile file = encode::readCodeFile(path);
        if (!file.ok()) {
            return failure(codeFileText(file, path));
        }
        code = file.code;
        return {};
    }
    ComposeOptions options;
    if (Outcome o = readComposeOptions(parser, options); o.code != Success) {
        return o;
    }
    compose::Composer composer;
    if (Outcome o = compose(options, composer); o.code != Success) {
        return o;
    }
    code = contentCodeOf(composer);
    if (read) {
        *read = std::move(options);
    }
    return {};
}

} // namespace tavrin::cli
