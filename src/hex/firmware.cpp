#include "hex/firmware.h"

#include "base/hexdigit.h"
#include "hex/hexrecords.h"
#include "hex/templatedata.h"

#include <algorithm>

#include <QHash>

using namespace Qt::StringLiterals;

namespace tavrin::hex {

namespace {

// The reset record that the export starts from; a number without a template keeps it alone.
constexpr auto defaultResetRecord = ":0200000080047A";

constexpr int digitsPerContentRecord = 2 * bytesPerContentRecord;
constexpr qint64 addressSpaceEnd = 0x10000;

QHash<int, QStringList> loadTemplates() {
    QHash<int, QStringList> templates;
    for (const VariantFacts &facts : variantFacts) {
        const int number = facts.number;
        const std::string_view text = detail::embeddedTemplate(number);
        QStringList records;
        for (const QString &line : QString::fromLatin1(text.data(), qsizetype(text.size())).split(u'\n')) {
            const QString record = line.trimmed();
            if (!record.isEmpty()) {
                records.append(record);
            }
        }
        templates.insert(number, records);
    }
    return templates;
}

} // namespace

const QList<Variant> &variants() {
    static const QList<Variant> list = [] {
        QList<Variant> result;
        for (const VariantFacts &facts : variantFacts) {
            result.append(
                {facts.number, QString::fromLatin1(facts.chip), facts.ledCount, facts.codeMemory, facts.lengthWord});
        }
        return result;
    }();
    return list;
}

bool hasLengthWord(int variant) {
    const Variant *found = findVariant(variant);
    return found && found->lengthWord;
}

QStringList templateRecords(int variant) {
    static const QHash<int, QStringList> templates = loadTemplates();
    return templates.value(variant);
}

QString buildHexText(int variant, const QString &contentCode) {
    const qsizetype length = contentCode.size();
    const qsizetype contentRecords = length / digitsPerContentRecord + 1;

    const QStringList records = templateRecords(variant);
    QString text;
    text.reserve((records.size() + contentRecords + 2) * 48);

    if (records.isEmpty()) {
        text += QLatin1StringView(defaultResetRecord) + QLatin1StringView(lineEnd);
    }
    for (const QString &record : records) {
        text += record + QLatin1StringView(lineEnd);
    }

    if (hasLengthWord(variant)) {
        // The firmware reads this word as the end of the content.
        text += lengthRecord(double(length) / 2 + lengthWordExtra);
    }

    for (qsizetype k = 0; k < contentRecords; ++k) {
        // The address field keeps the low 16 bits; exportRefusal() stops content that gets there.
        const qint64 address = contentStart + bytesPerContentRecord * qint64(k);
        text += contentDataRecord(int(address % addressSpaceEnd),
                                  contentCode.mid(k * digitsPerContentRecord, digitsPerContentRecord));
    }

    text += QLatin1StringView(endOfFileRecord);
    return text;
}

QByteArray hexFileBytes(int variant, const QString &contentCode) {
    return (buildHexText(variant, contentCode) + QLatin1StringView(lineEnd)).toLatin1();
}

const Variant *findVariant(int number) {
    for (const Variant &variant : variants()) {
        if (variant.number == number) {
            return &variant;
        }
    }
    return nullptr;
}

int variantForLedCount(int ledCount) {
    for (const Variant &variant : variants()) {
        if (variant.ledCount == ledCount) {
            return variant.number;
        }
    }
    return -1;
}

qint64 contentEndAddress(qsizetype codeLength) {
    return contentStart + bytesPerContentRecord * (qint64(codeLength) / digitsPerContentRecord + 1);
}

ExportRefusal exportRefusal(int variant, const QString &contentCode) {
    ExportRefusal refusal;
    if (!base::isHexDigits(contentCode)) {
        refusal.reason = ExportRefusal::NoContent;
        return refusal;
    }
    const qint64 end = contentEndAddress(contentCode.size());
    refusal.start = hexAddress(contentStart);
    refusal.last = hexAddress(end - 1);
    if (end > addressSpaceEnd) {
        refusal.reason = ExportRefusal::PastAddressSpace;
    } else if (const Variant *chosen = findVariant(variant); chosen && end > chosen->codeMemory) {
        refusal.reason = ExportRefusal::PastCodeMemory;
        refusal.variant = chosen->number;
        refusal.codeMemory = chosen->codeMemory;
        refusal.memoryEnd = hexAddress(chosen->codeMemory - 1);
    }
    return refusal;
}

} // namespace tavrin::hex
