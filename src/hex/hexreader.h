#pragma once

#include "platform/files.h"

#include <QBitArray>
#include <QByteArray>
#include <QString>

// Reads an Intel HEX firmware image back: the export's own files and those of other tools
// (either letter case, LF or CR LF, any record length), data and end-of-file records only.
namespace tavrin::hex {

inline constexpr int unknownVariant = -1;

struct HexReading {
    // Why the text could not be read ("line 7: …"); empty when it was. The other fields hold
    // what was read up to the fault and are not to be relied on when this is set.
    QString error;

    // The 64 KB address space: memory holds the byte at each address, loaded marks the
    // addresses some record gave a value (the others read as 0).
    QByteArray memory;
    QBitArray loaded;

    // The variant's number when the bytes below contentStart are exactly those of its firmware
    // template (together with the length word for a variant that has one); otherwise
    // unknownVariant, and variantMessage says why.
    int variant = unknownVariant;
    QString variantMessage;

    // The content from contentStart on as lower-case hex digits. For a variant with a length word
    // exactly as many bytes as the word says (its value − lengthWordExtra). For the others, and an
    // unknown image, every byte up to the first address no record loads: the export fills its last
    // record with zero bytes, and they are kept here, as the file cannot tell filling from content
    // that ends in unlit columns.
    QString contentCode;

    // Why the file could not be read, for readHexFile; error is empty then.
    platform::FileFault file;

    bool ok() const { return error.isEmpty() && !file; }
    bool isLoaded(int address) const { return address >= 0 && address < loaded.size() && loaded.testBit(address); }
};

HexReading readHexText(QStringView text);

// The same for a file; a file that cannot be read, or that is far larger than any 64 KB image
// can be written (TooLarge), sets file.
HexReading readHexFile(const QString &path);

} // namespace tavrin::hex
