#pragma once

#include <QString>

// Intel HEX record text exactly as the export writes it: upper-case computed fields,
// content data copied unchanged (lower-case) from the content code, CR LF after every line.
namespace tavrin::hex {

inline constexpr auto endOfFileRecord = ":00000001FF";
inline constexpr auto lineEnd = "\r\n";

// Upper-case hex digits without leading zeros ("0" for 0). A fraction is rounded to the
// nearest whole number, a half going to the even neighbour.
QString hexText(double value);

// An address for a message: upper-case hex digits, at least four.
QString hexAddress(qint64 address);

// Zeros in front, rightmost characters kept.
QString hexField2(double value);
QString hexField4(double value);
// "00" + hexText(address) + "00", rightmost 6 characters: 4 address digits and type "00".
QString addressTypeField(double address);

// (-sum of the first byteCount digit pairs of body) mod 256, as two upper-case digits.
QString checksum(const QString &body, int byteCount);

// Content data record line (with CR LF) for a piece of at most 2 × bytesPerContentRecord hex
// characters at address; a short piece is filled with '0' to bytesPerContentRecord bytes.
QString contentDataRecord(int address, const QString &piece);

// The length record at lengthWordAddress (with CR LF).
QString lengthRecord(double value);

} // namespace tavrin::hex
