#include "hex/hexreader.h"

#include "base/hexdigit.h"
#include "hex/firmware.h"
#include "hex/hexrecords.h"
#include "platform/files.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace tavrin::hex {

namespace {

constexpr int addressSpace = 0x10000;
// One-byte records over the whole address space come to about 1 MB; blank lines aside,
// anything much larger is not a HEX image for this board.
constexpr qint64 largestFile = 16 * 1024 * 1024;

constexpr int dataRecord = 0x00;
constexpr int endOfFile = 0x01;

struct Record {
    int address = 0;
    int type = 0;
    QByteArray data;
};

QString hex2(int value) {
    return QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

QString recordTypeName(int type) {
    switch (type) {
    case 0x02:
        return u"extended segment address"_s;
    case 0x03:
        return u"start segment address"_s;
    case 0x04:
        return u"extended linear address"_s;
    case 0x05:
        return u"start linear address"_s;
    default:
        return u"unknown"_s;
    }
}

// Takes one record line apart; the reason it is not a record otherwise.
QString parseRecord(QStringView line, Record *record) {
    if (!line.startsWith(u':')) {
        return u"does not start with ':'"_s;
    }
    const QStringView digits = line.mid(1);
    if (digits.size() < 10 || digits.size() % 2 != 0) {
        return u"is not a record: it needs an even number of hex digits, at least 10, after ':'"_s;
    }
    QByteArray bytes;
    bytes.reserve(digits.size() / 2);
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        const int high = base::hexDigitValue(digits.at(i));
        const int low = base::hexDigitValue(digits.at(i + 1));
        if (high < 0 || low < 0) {
            const QChar bad = digits.at(high < 0 ? i : i + 1);
            const QString shown =
                bad.isPrint() ? u"'%1'"_s.arg(bad)
                              : u"U+%1"_s.arg(QString::number(bad.unicode(), 16).toUpper().rightJustified(4, u'0'));
            return u"holds %1, which is not a hex digit"_s.arg(shown);
        }
        bytes.append(char(high * 16 + low));
    }
    const int count = quint8(bytes.at(0));
    if (bytes.size() != count + 5) {
        return u"announces %1 data bytes but carries %2"_s.arg(count).arg(bytes.size() - 5);
    }
    int sum = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
        sum += quint8(bytes.at(i));
    }
    const int expected = (256 - sum % 256) % 256;
    const int given = quint8(bytes.back());
    if (given != expected) {
        return u"has checksum %1, but its bytes give %2"_s.arg(hex2(given), hex2(expected));
    }
    record->address = quint8(bytes.at(1)) * 256 + quint8(bytes.at(2));
    record->type = quint8(bytes.at(3));
    record->data = bytes.mid(4, count);
    return {};
}

// Loads the data records of a text into reading; stops at the first fault.
void load(QStringView text, HexReading *reading) {
    reading->memory = QByteArray(addressSpace, '\0');
    reading->loaded = QBitArray(addressSpace);
    int lineNumber = 0;
    int endLine = 0;
    for (const QStringView rawLine : text.tokenize(u'\n')) {
        ++lineNumber;
        const QStringView line = rawLine.trimmed(); // also drops the CR of a CR LF line end
        if (line.isEmpty()) {
            continue;
        }
        const QString where = u"line %1: "_s.arg(lineNumber);
        if (endLine > 0) {
            reading->error = where + u"data after the end-of-file record of line %1"_s.arg(endLine);
            return;
        }
        Record record;
        if (const QString fault = parseRecord(line, &record); !fault.isEmpty()) {
            reading->error = where + fault;
            return;
        }
        if (record.type == endOfFile) {
            if (!record.data.isEmpty()) {
                reading->error = where + u"the end-of-file record carries data"_s;
                return;
            }
            endLine = lineNumber;
            continue;
        }
        if (record.type != dataRecord) {
            reading->error =
                where + u"record type %1 (%2) is not supported: only data (00) and end-of-file (01) "
                        u"records belong in a 64 KB image"_s.arg(hex2(record.type), recordTypeName(record.type));
            return;
        }
        if (record.address + record.data.size() > addressSpace) {
            reading->error = where + u"data from %1 runs past address FFFF"_s.arg(hexAddress(record.address));
            return;
        }
        for (qsizetype i = 0; i < record.data.size(); ++i) {
            const int address = record.address + int(i);
            if (reading->loaded.testBit(address)) {
                reading->error = where + u"overlaps data already given for address %1"_s.arg(hexAddress(address));
                return;
            }
            reading->loaded.setBit(address);
            reading->memory[address] = record.data.at(i);
        }
    }
    if (endLine == 0) {
        reading->error = u"no end-of-file record (:00000001FF): the file is cut short or not a HEX file"_s;
    }
}

struct TemplateImage {
    QByteArray memory;
    QBitArray loaded;
};

const QHash<int, TemplateImage> &templateImages() {
    static const QHash<int, TemplateImage> images = [] {
        QHash<int, TemplateImage> result;
        for (const Variant &variant : variants()) {
            HexReading reading;
            load(QString(templateRecords(variant.number).join(u'\n') + u'\n' + QLatin1StringView(endOfFileRecord)),
                 &reading);
            result.insert(variant.number, {reading.memory, reading.loaded});
        }
        return result;
    }();
    return images;
}

// The first address below the content at which the image is not the template (with its
// length word for variants 2 and 3), or -1 when it is that template exactly.
int firstDifference(const HexReading &reading, int variant, const TemplateImage &image) {
    for (int address = 0; address < contentStart; ++address) {
        const bool lengthWord =
            hasLengthWord(variant) && (address == lengthWordAddress || address == lengthWordAddress + 1);
        if (reading.loaded.testBit(address) != (lengthWord || image.loaded.testBit(address))) {
            return address;
        }
        if (image.loaded.testBit(address) && reading.memory.at(address) != image.memory.at(address)) {
            return address;
        }
    }
    return -1;
}

void recogniseVariant(HexReading *reading) {
    int closest = unknownVariant;
    int closestDifference = -1;
    for (const Variant &variant : variants()) {
        const int difference = firstDifference(*reading, variant.number, templateImages().value(variant.number));
        if (difference < 0) {
            reading->variant = variant.number;
            return;
        }
        if (difference > closestDifference) {
            closest = variant.number;
            closestDifference = difference;
        }
    }
    if (!reading->isLoaded(0) || !reading->isLoaded(1)) {
        reading->variantMessage = u"unknown firmware: there is no reset record at address 0000"_s;
    } else if (closestDifference == 0) {
        reading->variantMessage =
            u"unknown firmware: its reset record (%1 %2) is that of none of the six templates"_s.arg(
                hex2(quint8(reading->memory.at(0))), hex2(quint8(reading->memory.at(1))));
    } else if (hasLengthWord(closest) &&
               (closestDifference == lengthWordAddress || closestDifference == lengthWordAddress + 1) &&
               !reading->isLoaded(closestDifference)) {
        reading->variantMessage =
            u"unknown firmware: the records are those of variant %1, but its length word at %2 is missing"_s
                .arg(closest)
                .arg(hexAddress(lengthWordAddress));
    } else {
        reading->variantMessage =
            u"unknown firmware: closest is the template of variant %1, but it differs from address %2 on"_s.arg(closest)
                .arg(hexAddress(closestDifference));
    }
}

void readContent(HexReading *reading) {
    int end = contentStart;
    if (hasLengthWord(reading->variant)) {
        const int word =
            quint8(reading->memory.at(lengthWordAddress)) * 256 + quint8(reading->memory.at(lengthWordAddress + 1));
        if (word < lengthWordExtra) {
            reading->error = u"the length word at %1 is %2, less than the %3 it adds to the content length"_s.arg(
                hexAddress(lengthWordAddress), hexAddress(word), QString::number(lengthWordExtra));
            return;
        }
        end = contentStart + word - lengthWordExtra;
        const QString given = u"the length word at %1 gives %2 content bytes"_s.arg(
            hexAddress(lengthWordAddress), QString::number(word - lengthWordExtra));
        if (end > addressSpace) {
            reading->error = given + u", which would run past address FFFF"_s;
            return;
        }
        for (int address = contentStart; address < end; ++address) {
            if (!reading->loaded.testBit(address)) {
                reading->error =
                    given + u", but the data from %1 stops at %2"_s.arg(hexAddress(contentStart), hexAddress(address));
                return;
            }
        }
    } else {
        while (end < addressSpace && reading->loaded.testBit(end)) {
            ++end;
        }
    }
    reading->contentCode = QString::fromLatin1(reading->memory.mid(contentStart, end - contentStart).toHex());
}

} // namespace

HexReading readHexText(QStringView text) {
    HexReading reading;
    load(text, &reading);
    if (!reading.ok()) {
        return reading;
    }
    recogniseVariant(&reading);
    readContent(&reading);
    return reading;
}

HexReading readHexFile(const QString &path) {
    // A pipe is read too (a shell's <(…)), but never past the size bound or a writer gone quiet.
    const platform::FileRead file = platform::readBounded(path, {.maxBytes = largestFile, .streams = true});
    if (!file.ok()) {
        HexReading reading;
        reading.file = file.fault;
        return reading;
    }
    // Latin-1 maps every byte to one character: anything not ASCII is then simply not a hex digit.
    return readHexText(QString::fromLatin1(file.bytes));
}

} // namespace tavrin::hex
