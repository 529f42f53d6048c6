#pragma once

#include "platform/files.h"

#include <QBitArray>
#include <QByteArray>
#include <QString>

// Reads an Intel HEX firmware image back: the export's own files and those of other tools
// (either letter case, LF or CR LF, any record length), data and end-of-file records only.
namespace tavrin::hex {

inline constexpr int unknownVariant = -1;

// Why a HEX text or file could not be read, as data: each front end words it.
struct HexFault {
    enum Kind {
        None,
        NoColon,                // the line does not start with ':'
        NotARecord,             // not an even number of hex digits, at least 10, after the ':'
        NotHexDigit,            // character: the first that is not one
        WrongLength,            // first: the data bytes the record announces, second: those it carries
        WrongChecksum,          // first: the checksum given, second: the one its bytes give
        DataAfterEnd,           // first: the line of the end-of-file record
        EndCarriesData,         // the end-of-file record carries data
        UnsupportedRecord,      // first: the record type
        PastAddressSpace,       // first: the record's address
        Overlap,                // first: the address given twice
        NoEnd,                  // no end-of-file record: cut short, or not a HEX file
        LengthWordTooSmall,     // first: the length word
        LengthPastAddressSpace, // first: the content bytes the length word gives
        ContentCutShort,        // first: the content bytes the length word gives, second: where the data stops
    };
    Kind kind = None;
    int line = 0; // the line the fault is on; 0 when it concerns the whole file
    int first = 0;
    int second = 0;
    QChar character;
};

// Why an image is none of the six firmwares, as data.
struct UnknownFirmware {
    enum Kind {
        None,
        NoResetRecord,      // nothing at address 0000
        ForeignResetRecord, // resetBytes: the two bytes at 0000, as the templates have none of them
        NoLengthWord,       // closest: the variant whose records these are, but without its length word
        DiffersFrom,        // closest: the nearest template, address: where the image leaves it
    };
    Kind kind = None;
    int closest = -1;
    int address = 0;
    int resetBytes = 0; // the first byte × 256 + the second
};

struct HexReading {
    // Why the text could not be read. The other fields hold what was read up to the fault and
    // are not to be relied on when it is set.
    HexFault fault;

    // The 64 KB address space: memory holds the byte at each address, loaded marks the
    // addresses some record gave a value (the others read as 0).
    QByteArray memory;
    QBitArray loaded;

    // The variant's number when the bytes below contentStart are exactly those of its firmware
    // template (together with the length word for a variant that has one); otherwise
    // unknownVariant, and unknown says why.
    int variant = unknownVariant;
    UnknownFirmware unknown;

    // The content from contentStart on as lower-case hex digits. For a variant with a length word
    // exactly as many bytes as the word says (its value − lengthWordExtra). For the others, and an
    // unknown image, every byte up to the first address no record loads: the export fills its last
    // record with zero bytes, and they are kept here, as the file cannot tell filling from content
    // that ends in unlit columns.
    QString contentCode;

    // Why the file could not be read, for readHexFile; fault is None then.
    platform::FileFault file;

    bool ok() const { return fault.kind == HexFault::None && !file; }
    bool isLoaded(int address) const { return address >= 0 && address < loaded.size() && loaded.testBit(address); }
};

HexReading readHexText(QStringView text);

// The same for a file; a file that cannot be read, or that is far larger than any 64 KB image
// can be written (TooLarge), sets file.
HexReading readHexFile(const QString &path);

} // namespace tavrin::hex
