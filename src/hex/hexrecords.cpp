#include "hex/hexrecords.h"

#include "base/hexdigit.h"
#include "hex/firmwareimage.h"

#include <cmath>

namespace tavrin::hex {

namespace {

// Half goes to the even neighbour, whatever rounding mode the floating-point unit is in.
double roundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5) {
        return below;
    }
    if (fraction > 0.5) {
        return below + 1.0;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

} // namespace

QString hexText(double value) {
    if (!std::isfinite(value)) {
        return QStringLiteral("0");
    }
    // Whole numbers are taken modulo 2^64, so a negative value comes out in two's-complement
    // form: its low digits are the ones the fixed-width fields keep.
    constexpr double twoTo63 = 9223372036854775808.0;
    constexpr double twoTo64 = 2 * twoTo63;
    const double reduced = std::fmod(roundHalfEven(value), twoTo64); // exact, within (-2^64, 2^64)
    quint64 bits = 0;
    if (reduced >= twoTo63) {
        bits = static_cast<quint64>(reduced);
    } else if (reduced >= -twoTo63) {
        bits = static_cast<quint64>(static_cast<qint64>(reduced));
    } else {
        bits = static_cast<quint64>(reduced + twoTo64); // exact: the sum lies below 2^63
    }
    return QString::number(bits, 16).toUpper();
}

QString hexAddress(qint64 address) {
    return QString::number(address, 16).toUpper().rightJustified(4, u'0');
}

QString hexField2(double value) {
    return (QStringLiteral("00") + hexText(value)).right(2);
}

QString hexField4(double value) {
    return (QStringLiteral("000") + hexText(value)).right(4);
}

QString addressTypeField(double address) {
    // Four zeros in front, not two, so that addresses below 0x10 keep all four digits too.
    return (QStringLiteral("0000") + hexText(address) + QStringLiteral("00")).right(6);
}

QString checksum(const QString &body, int byteCount) {
    // Callers hand over hex digits only; a pair that is missing or not hex counts as zero.
    int sum = 0;
    for (int i = 0; i < byteCount; ++i) {
        const qsizetype at = 2 * qsizetype(i);
        if (at + 1 >= body.size()) {
            break;
        }
        const int high = base::hexDigitValue(body.at(at));
        const int low = base::hexDigitValue(body.at(at + 1));
        if (high >= 0 && low >= 0) {
            sum += high * 16 + low;
        }
    }
    return hexField2(256 - sum);
}

QString contentDataRecord(int address, const QString &piece) {
    // Count, address and type take 4 bytes before the data.
    constexpr int recordBytes = 4 + bytesPerContentRecord;
    QString body = hexField2(bytesPerContentRecord) + addressTypeField(address) + piece;
    body = (body + QString(2 * recordBytes - 1, u'0')).left(2 * recordBytes);
    return u':' + body + checksum(body, recordBytes) + QLatin1StringView(lineEnd);
}

QString lengthRecord(double value) {
    const QString body = QStringLiteral("02") + addressTypeField(lengthWordAddress) + hexField4(value);
    return u':' + body + checksum(body, 6) + QLatin1StringView(lineEnd);
}

} // namespace tavrin::hex
