#pragma once

#include "hex/firmwareimage.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavrin::hex {

// One of the board firmwares that the export can embed: its facts from the image description.
// Each front end words them (how the board is wired, what it shows) in its own language.
struct Variant {
    int number = 0;
    QString chip;
    int ledCount = 16;  // LEDs the firmware drives
    int codeMemory = 0; // bytes of code memory of its chip; content must end below this
    bool lengthWord = false;
};

// In the order of the image description.
const QList<Variant> &variants();

// Whether the firmware reads the length word (false for a number that is no variant).
bool hasLengthWord(int variant);

// The template record lines of a variant (without line ends), the reset record first;
// empty for a number that is not one of the six.
QStringList templateRecords(int variant);

// The whole HEX text for a variant and content code, every line ended by CR LF except the
// last (the end-of-file record).
QString buildHexText(int variant, const QString &contentCode);
// The bytes of the HEX file: that text with the end-of-file record's line ended too, so that
// every line of the file ends alike.
QByteArray hexFileBytes(int variant, const QString &contentCode);

// The variant with this number, or nullptr when it is not one of the six.
const Variant *findVariant(int number);

// The number of the first variant made for this LED count, or -1 when none is.
int variantForLedCount(int ledCount);

// Where the content data records of a content code of this many characters end: the first
// address after the last record (they start at contentStart; an empty code still gives one record).
qint64 contentEndAddress(qsizetype codeLength);

// Why a content code cannot be exported for a variant; each front end words it. Refused: text
// that is not hex digits (no content code made yet), and content that would run past address
// 0xFFFF or past the code memory of the variant's chip.
struct ExportRefusal {
    enum Reason { None, NoContent, PastAddressSpace, PastCodeMemory };
    Reason reason = None;
    QString start;   // where the content starts, as four hex digits
    QString last;    // where it would end
    int variant = 0; // for PastCodeMemory: the variant, its chip's code memory and its last address
    int codeMemory = 0;
    QString memoryEnd;
    explicit operator bool() const { return reason != None; }
};
ExportRefusal exportRefusal(int variant, const QString &contentCode);

} // namespace tavrin::hex
