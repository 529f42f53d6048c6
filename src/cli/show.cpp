#include "cli.h"
#include "compose/geometry.h"
#include "compose/picture.h"
#include "compose_options.h"
#include "encode/boardview.h"
#include "encode/codefile.h"
#include "hex/firmwareimage.h"
#include "hex/hexreader.h"
#include "hex/hexrecords.h"
#include "platform/files.h"
#include "reasons.h"

#include <algorithm>

#include <QCommandLineParser>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace tavrin::cli {

namespace {

// Without --scale the picture is at most this wide, and no dot larger than 8 pixels.
constexpr int sensibleWidth = 4096;
constexpr int largestDefaultScale = 8;

} // namespace

Outcome shownContent(const QCommandLineParser &parser, int leds, QString &code, int *variant, ComposeOptions *options) {
    if (!parser.isSet(u"hex"_s)) {
        ComposeOptions read;
        if (Outcome o = contentCode(parser, true, code, &read); o.code != Success) {
            return o;
        }
        if (!parser.isSet(u"code"_s)) {
            leds = read.leds; // a project's LED count, or --leds
        }
        if (options) {
            *options = std::move(read);
        }
    } else {
        if (parser.optionNames().contains(u"project"_s)) {
            return {UsageError, u"give --hex or --project, not both"_s};
        }
        const QString path = parser.value(u"hex"_s);
        const hex::HexReading reading = hex::readHexFile(path);
        if (reading.file.reason == platform::FileFault::TooLarge) {
            return {Failure, u"%1 is far larger than any 64 KB HEX image"_s.arg(path)};
        }
        if (reading.file) {
            return {Failure, u"cannot read %1: %2"_s.arg(path, fileFaultText(reading.file))};
        }
        if (!reading.ok()) {
            return {Failure, hexFaultText(reading.fault)};
        }
        QTextStream(stderr) << (reading.variant == hex::unknownVariant
                                    ? u"firmware not recognised: "_s + unknownFirmwareText(reading.unknown)
                                    : u"firmware variant %1"_s.arg(reading.variant))
                            << "\n";
        if (variant) {
            *variant = reading.variant;
        }
        code = encode::boardContent(reading.contentCode, leds);
    }
    // A drawing needs columns: an empty code shows nothing, whether drawn still or spinning.
    if (const QString refusal = encode::codeRefusal(code, leds); !refusal.isEmpty()) {
        return {Failure, refusal};
    }
    return {};
}

Outcome runShow(const QStringList &arguments) {
    const QString synopsis = u"(--code FILE | --hex FILE) [--leds N] -o FILE.png [--scale K]"_s;
    QCommandLineParser parser;
    parser.addOptions({
        {u"code"_s, u"A content code file."_s, u"FILE"_s},
        {u"hex"_s, u"An Intel HEX file: the content at 0x%1 is shown."_s.arg(hex::hexAddress(hex::contentStart)),
         u"FILE"_s},
        {u"leds"_s, u"LED count: 8, 16, 24 or 32 (16)."_s, u"N"_s, u"16"_s},
        {{u"o"_s, u"output"_s}, u"The picture to write (PNG)."_s, u"FILE"_s},
        {u"scale"_s, u"Pixels per dot, 1 to 64 (as large as keeps the picture within 4096 pixels, at most 8)."_s,
         u"K"_s},
    });
    const QString usage = u"\nusage: tavrin-cli show "_s + synopsis;
    if (Parsed p = parse(parser, u"show"_s, synopsis, arguments); p.done) {
        return p.outcome;
    }
    if (parser.isSet(u"code"_s) == parser.isSet(u"hex"_s) || parser.value(u"output"_s).isEmpty()) {
        return {UsageError, u"give --code or --hex, and -o"_s + usage};
    }
    int leds = 16;
    if (Outcome o = readLedCount(parser, leds); o.code != Success) {
        return {UsageError, o.message + usage};
    }
    int scale = 0;
    if (parser.isSet(u"scale"_s)) {
        if (Outcome o = readNumber(parser, u"scale"_s, encode::smallestBoardScale, encode::largestBoardScale, scale);
            o.code != Success) {
            return {UsageError, o.message + usage};
        }
    }
    QString code;
    if (Outcome o = shownContent(parser, leds, code, nullptr); o.code != Success) {
        return o;
    }
    if (scale == 0) {
        const qsizetype columns = std::max<qsizetype>(1, code.size() / (leds / 4));
        scale = int(std::clamp<qsizetype>(sensibleWidth / columns, 1, largestDefaultScale));
    }
    QString error;
    const QImage image = encode::drawBoard(code, leds, scale, &error);
    if (image.isNull()) {
        return {Failure, error};
    }
    return writeFile(parser.value(u"output"_s), compose::pngBytes(image));
}

} // namespace tavrin::cli
