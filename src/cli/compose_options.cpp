#include "compose_options.h"

#include "base/hexdigit.h"
#include "base/ledcount.h"
#include "compose/dots.h"
#include "compose/geometry.h"
#include "compose/pattern.h"
#include "compose/picture.h"
#include "compose/preparation.h"
#include "encode/codefile.h"
#include "encode/contentcode.h"
#include "hex/firmware.h"
#include "platform/files.h"
#include "preview/boardmodel.h"
#include "preview/roundmap.h"
#include "preview/spinrenderer.h"
#include "reasons.h"
#include "variants.h"

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
// In the order of compose::Fit before Scale.
const QStringList fits{u"as-is"_s, u"height"_s, u"inside"_s, u"stretch"_s};
// The options that only a picture's preparation reads.
const QStringList pictureOptions{u"fit"_s,  u"scale"_s, u"crop"_s,  u"auto-crop"_s,
                                 u"turn"_s, u"flip"_s,  u"frame"_s, u"round"_s};

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

void addComposeOptions(QCommandLineParser &parser, bool spinOptions) {
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
        {u"frame"_s, u"Of an animated picture, frame N, 1 the first (1)."_s, u"N"_s, u"1"_s},
        {u"crop"_s, u"Keep only this rectangle of the picture, in its pixels."_s, u"X,Y,W,H"_s},
        {u"auto-crop"_s, u"Cut away the picture's margins of the corners' colour or of transparency."_s},
        {u"turn"_s, u"Turn the picture clockwise: 90, 180 or 270."_s, u"DEG"_s},
        {u"flip"_s, u"Mirror the picture itself: left-right or upside-down (repeatable)."_s, u"HOW"_s},
        {u"fit"_s, u"Fit the picture: as-is, height (LED height, aspect kept), inside (the canvas) or stretch."_s,
         u"FIT"_s},
        {u"scale"_s, u"Scale the picture to PERCENT of its size, 1 to 10000."_s, u"PERCENT"_s},
        {u"round"_s, u"Draw the picture round for a board: a variant number or generic; right at --rpm."_s, u"BOARD"_s},
        {u"mirror"_s, u"Mirror what the canvas shows, text or picture: left-right or upside-down (repeatable)."_s,
         u"HOW"_s},
        {u"pattern"_s, u"Show the orientation test pattern instead of text or picture."_s},
    });
    if (spinOptions) {
        parser.addOptions({
            {u"rpm"_s, u"Round pictures: the motor speed, 300 to 6000 revolutions a minute (1200)."_s, u"R"_s,
             u"1200"_s},
            {u"per-revolution"_s,
             u"Round pictures on a generic board: columns per revolution, 1 to %1 (100)."_s.arg(
                 preview::mostGenericColumns),
             u"C"_s, u"100"_s},
            {u"top-inside"_s, u"The top LED is the one nearest the hub."_s},
        });
    }
}

namespace {

// left-right / upside-down, repeatable, into a mirror.
Outcome readMirror(const QCommandLineParser &parser, const QString &name, compose::Mirror &mirror) {
    for (const QString &how : parser.values(name)) {
        if (how == u"left-right"_s) {
            mirror.leftRight = true;
        } else if (how == u"upside-down"_s) {
            mirror.upsideDown = true;
        } else {
            return usage(u"--%1 must be left-right or upside-down, not \"%2\""_s.arg(name, how));
        }
    }
    return {};
}

Outcome readPreparation(const QCommandLineParser &parser, int leds, compose::PictureSettings &settings) {
    if (Outcome o = readNumber(parser, u"frame"_s, 1, 100000, settings.frame); o.code != Success) {
        return o;
    }
    settings.frame -= 1;
    if (parser.isSet(u"crop"_s)) {
        const QStringList parts = parser.value(u"crop"_s).split(u',');
        QList<int> numbers;
        for (const QString &part : parts) {
            bool ok = false;
            numbers.append(part.trimmed().toInt(&ok));
            if (!ok) {
                numbers.clear();
                break;
            }
        }
        if (numbers.size() != 4) {
            return usage(u"--crop must be X,Y,W,H in whole pixels, not \"%1\""_s.arg(parser.value(u"crop"_s)));
        }
        settings.crop = QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
        if (settings.crop.isNull()) {
            // A null rectangle would mean no crop; the picture step reports it as empty.
            settings.crop = QRect(numbers[0], numbers[1], 0, -1);
        }
    }
    settings.autoCrop = parser.isSet(u"auto-crop"_s);
    if (parser.isSet(u"turn"_s)) {
        const QString turn = parser.value(u"turn"_s);
        if (turn != u"90"_s && turn != u"180"_s && turn != u"270"_s) {
            return usage(u"--turn must be 90, 180 or 270, not \"%1\""_s.arg(turn));
        }
        settings.turn = turn.toInt();
    }
    if (Outcome o = readMirror(parser, u"flip"_s, settings.mirror); o.code != Success) {
        return o;
    }
    if (parser.isSet(u"fit"_s) && parser.isSet(u"scale"_s)) {
        return usage(u"give --fit or --scale, not both"_s);
    }
    if (parser.isSet(u"fit"_s)) {
        const qsizetype fit = fits.indexOf(parser.value(u"fit"_s));
        if (fit < 0) {
            return usage(u"--fit must be as-is, height, inside or stretch, not \"%1\""_s.arg(parser.value(u"fit"_s)));
        }
        settings.fit = compose::Fit(fit);
    }
    if (parser.isSet(u"scale"_s)) {
        if (Outcome o = readNumber(parser, u"scale"_s, 1, 10000, settings.scalePercent); o.code != Success) {
            return o;
        }
        settings.fit = compose::Fit::Scale;
    }
    if (parser.isSet(u"round"_s)) {
        if (parser.isSet(u"fit"_s) || parser.isSet(u"scale"_s)) {
            return usage(u"a round picture fills the canvas: give --round without --fit or --scale"_s);
        }
        compose::RoundSettings &round = settings.round;
        round.enabled = true;
        const QString board = parser.value(u"round"_s);
        if (board != u"generic"_s) {
            bool ok = false;
            round.variant = board.toInt(&ok);
            if (!ok || !preview::BoardModel::isVariant(round.variant)) {
                return usage(u"--round must be generic or a board: %1"_s.arg(variantNumbersText()));
            }
            if (const int boardLeds = hex::findVariant(round.variant)->ledCount; boardLeds != leds) {
                return usage(u"board %1 drives %2 LEDs, not %3: give --leds %2 or --round generic"_s.arg(board)
                                 .arg(boardLeds)
                                 .arg(leds));
            }
        }
        if (Outcome o = readReal(parser, u"rpm"_s, preview::lowestRpm, preview::highestRpm, round.rpm);
            o.code != Success) {
            return o;
        }
        if (Outcome o = readNumber(parser, u"per-revolution"_s, 1, preview::mostGenericColumns, round.perRevolution);
            o.code != Success) {
            return o;
        }
        round.topInside = parser.isSet(u"top-inside"_s);
    }
    return {};
}

} // namespace

Outcome readNumber(const QCommandLineParser &parser, const QString &name, int low, int high, int &value) {
    bool ok = false;
    const int number = parser.value(name).toInt(&ok);
    if (!ok || number < low || number > high) {
        return usage(u"--%1 must be a number from %2 to %3"_s.arg(name).arg(low).arg(high));
    }
    value = number;
    return {};
}

Outcome readReal(const QCommandLineParser &parser, const QString &name, double low, double high, double &value) {
    bool ok = false;
    const double number = parser.value(name).toDouble(&ok);
    if (!ok || !(number >= low && number <= high)) {
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
    options.pattern = parser.isSet(u"pattern"_s);
    if (options.pattern && !options.picture.isEmpty()) {
        return usage(u"give --picture or --pattern, not both"_s);
    }
    if (options.picture.isEmpty()) {
        // A project's picture is prepared anew by them, but it holds one frame of its file only.
        for (const QString &name : options.project ? QStringList{u"frame"_s} : pictureOptions) {
            if (parser.isSet(name)) {
                return usage(u"--%1 needs --picture"_s.arg(name));
            }
        }
    }
    const int leds = options.overrides(u"leds"_s) ? options.leds : options.project->ledCount;
    if (Outcome o = readPreparation(parser, leds, options.preparation); o.code != Success) {
        return o;
    }
    if (Outcome o = readMirror(parser, u"mirror"_s, options.mirror); o.code != Success) {
        return o;
    }
    compose::DotSettings &dots = options.dots;
    if (parser.isSet(u"dots"_s)) {
        const qsizetype method = dotMethods.indexOf(parser.value(u"dots"_s));
        if (method < 0) {
            return usage(u"--dots must be threshold, ordered or diffusion, not \"%1\""_s.arg(parser.value(u"dots"_s)));
        }
        options.dots.method = compose::DotMethod(method + 1);
    } else if ((parser.isSet(u"invert"_s) || parser.isSet(u"threshold"_s)) && !options.project) {
        return usage(u"--threshold and --invert need --dots or --project"_s);
    }
    if (Outcome o = readNumber(parser, u"threshold"_s, 0, 255, dots.threshold); o.code != Success) {
        return o;
    }
    dots.invert = parser.isSet(u"invert"_s);
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

namespace {

// The preparation the options give, over the project's where there is one.
compose::PictureSettings preparationOf(const ComposeOptions &options, const project::Project &made) {
    const compose::PictureSettings &given = options.preparation;
    compose::PictureSettings settings = made.pictureSettings();
    // A picture given anew has a frame and crop of its own: the project's were its picture's.
    const bool newPicture = !options.picture.isEmpty() && options.overrides(u"picture"_s);
    if (newPicture || options.overrides(u"frame"_s)) {
        settings.frame = given.frame;
    }
    if (newPicture || options.overrides(u"crop"_s)) {
        settings.crop = given.crop;
    }
    if (options.overrides(u"auto-crop"_s)) {
        settings.autoCrop = given.autoCrop;
    }
    if (options.overrides(u"turn"_s)) {
        settings.turn = given.turn;
    }
    if (options.overrides(u"flip"_s)) {
        settings.mirror = given.mirror;
    }
    if (options.overrides(u"fit"_s) || options.overrides(u"scale"_s)) {
        settings.fit = given.fit;
        settings.scalePercent = given.scalePercent;
        settings.round.enabled = false; // a fit chosen after a round project's: not round any more
    }
    if (options.overrides(u"round"_s)) {
        settings.round = given.round;
    }
    settings.dots = made.dots;
    return settings;
}

} // namespace

Outcome compose(const ComposeOptions &options, compose::Composer &composer, project::Project *kept) {
    project::Project made = options.project.value_or(project::Project());
    if (options.project) {
        if (const compose::ShapedPicture shaped = project::restore(made, composer);
            shaped.problem != compose::ShapedPicture::None) {
            return failure(
                u"cannot prepare the project's picture %1: %2"_s.arg(made.pictureName, shapeProblemText(shaped)));
        }
    }
    const bool leds = options.overrides(u"leds"_s) && options.leds != made.ledCount;
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
    compose::PictureSettings preparation = preparationOf(options, made);
    compose::PictureSettings before = made.pictureSettings();
    before.dots = preparation.dots;
    // As in the window: a picture prepared anew gets a box of its new size at its place; new dots
    // keep the box as it is.
    const bool reshaped = preparation != before || (leds && compose::followsLedCount(preparation));
    made.setPictureSettings(preparation);
    const bool newPicture = !options.picture.isEmpty() && options.overrides(u"picture"_s);
    if (newPicture) {
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
            loaded = compose::loadPicture(options.picture, preparation.frame);
        }
        if (loaded.image.isNull()) {
            return failure(u"cannot use %1 as a picture: %2"_s.arg(options.picture, pictureProblemText(loaded)));
        }
        made.picture = loaded.image;
        made.pictureName = loaded.name;
    }
    if (!made.picture.isNull() && (newPicture || reshaped || dots)) {
        const compose::ShapedPicture shaped =
            preview::shapeForCanvas(made.picture, preparation, composer.ledCount(), composer.canvas().widthDots());
        if (shaped.problem != compose::ShapedPicture::None) {
            return failure(u"cannot prepare %1: %2"_s.arg(newPicture ? options.picture : made.pictureName,
                                                          shapeProblemText(shaped)));
        }
        if (newPicture || reshaped) {
            composer.setPicture(compose::makeDots(shaped.image, made.dots));
        } else {
            composer.replacePicture(compose::makeDots(shaped.image, made.dots));
        }
    } else if (options.pattern) {
        if (composer.mode() == compose::Mode::Text) {
            composer.switchMode();
        }
        composer.setPicture(compose::testPattern(composer.ledCount(), composer.canvas().widthDots()));
    }
    if (options.overrides(u"mirror"_s)) {
        made.mirror = options.mirror;
    }
    composer.setMirror(made.mirror);
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
