#include "hex/hexreader.h"

#include "base/hexdigit.h"
#include "hex/firmware.h"
#include "hex/hexrecords.h"
#include "platform/files.h"

#include <QHash>

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

HexFault fault(HexFault::Kind kind, int first = 0, int second = 0) {
    HexFault made;
    made.kind = kind;
    made.first = first;
    made.second = second;
    return made;
}

// Takes one record line apart; why it is not a record otherwise.
HexFault parseRecord(QStringView line, Record *record) {
    if (!line.startsWith(u':')) {
        return fault(HexFault::NoColon);
    }
    const QStringView digits = line.mid(1);
    if (digits.size() < 10 || digits.size() % 2 != 0) {
        return fault(HexFault::NotARecord);
    }
    QByteArray bytes;
    bytes.reserve(digits.size() / 2);
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        const int high = base::hexDigitValue(digits.at(i));
        const int low = base::hexDigitValue(digits.at(i + 1));
        if (high < 0 || low < 0) {
            HexFault bad = fault(HexFault::NotHexDigit);
            bad.character = digits.at(high < 0 ? i : i + 1);
            return bad;
        }
        bytes.append(char(high * 16 + low));
    }
    const int count = quint8(bytes.at(0));
    if (bytes.size() != count + 5) {
        return fault(HexFault::WrongLength, count, int(bytes.size() - 5));
    }
    int sum = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); ++i) {
        sum += quint8(bytes.at(i));
    }
    const int expected = (256 - sum % 256) % 256;
    const int given = quint8(bytes.back());
    if (given != expected) {
        return fault(HexFault::WrongChecksum, given, expected);
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
    const auto stop = [reading, &lineNumber](HexFault found) {
        found.line = lineNumber;
        reading->fault = found;
    };
    for (const QStringView rawLine : text.tokenize(u'\n')) {
        ++lineNumber;
        const QStringView line = rawLine.trimmed(); // also drops the CR of a CR LF line end
        if (line.isEmpty()) {
            continue;
        }
        if (endLine > 0) {
            return stop(fault(HexFault::DataAfterEnd, endLine));
        }
        Record record;
        if (const HexFault bad = parseRecord(line, &record); bad.kind != HexFault::None) {
            return stop(bad);
        }
        if (record.type == endOfFile) {
            if (!record.data.isEmpty()) {
                return stop(fault(HexFault::EndCarriesData));
            }
            endLine = lineNumber;
            continue;
        }
        if (record.type != dataRecord) {
            return stop(fault(HexFault::UnsupportedRecord, record.type));
        }
        if (record.address + record.data.size() > addressSpace) {
            return stop(fault(HexFault::PastAddressSpace, record.address));
        }
        for (qsizetype i = 0; i < record.data.size(); ++i) {
            const int address = record.address + int(i);
            if (reading->loaded.testBit(address)) {
                return stop(fault(HexFault::Overlap, address));
            }
            reading->loaded.setBit(address);
            reading->memory[address] = record.data.at(i);
        }
    }
    if (endLine == 0) {
        reading->fault = fault(HexFault::NoEnd);
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
    UnknownFirmware &unknown = reading->unknown;
    unknown.closest = closest;
    if (!reading->isLoaded(0) || !reading->isLoaded(1)) {
        unknown.kind = UnknownFirmware::NoResetRecord;
    } else if (closestDifference == 0) {
        unknown.kind = UnknownFirmware::ForeignResetRecord;
        unknown.resetBytes = quint8(reading->memory.at(0)) * 256 + quint8(reading->memory.at(1));
    } else if (hasLengthWord(closest) &&
               (closestDifference == lengthWordAddress || closestDifference == lengthWordAddress + 1) &&
               !reading->isLoaded(closestDifference)) {
        unknown.kind = UnknownFirmware::NoLengthWord;
    } else {
        unknown.kind = UnknownFirmware::DiffersFrom;
        unknown.address = closestDifference;
    }
}

void readContent(HexReading *reading) {
    int end = contentStart;
    if (hasLengthWord(reading->variant)) {
        const int word =
            quint8(reading->memory.at(lengthWordAddress)) * 256 + quint8(reading->memory.at(lengthWordAddress + 1));
        if (word < lengthWordExtra) {
            reading->fault = fault(HexFault::LengthWordTooSmall, word);
            return;
        }
        end = contentStart + word - lengthWordExtra;
        if (end > addressSpace) {
            reading->fault = fault(HexFault::LengthPastAddressSpace, word - lengthWordExtra);
            return;
        }
        for (int address = contentStart; address < end; ++address) {
            if (!reading->loaded.testBit(address)) {
                reading->fault = fault(HexFault::ContentCutShort, word - lengthWordExtra, address);
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
