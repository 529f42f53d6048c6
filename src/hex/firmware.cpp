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

// How the chooser presents each variant; the chip and its memory come from the image description.
// The texts are marked for translation: the window shows them in its language.
struct Presentation {
    int number;
    const char *title;
    const char *wiring;
};

// All boards: a 12 MHz 8052-class chip, the hall sensor on P3.2, 16 LEDs with the top dot first;
// they differ in how the LEDs are wired and shown.
constexpr Presentation presentations[] = {
    {0, QT_TRANSLATE_NOOP("tavrin::hex::Variant", "0 号：16 灯直接接 P1/P2，反向旋转"),
     QT_TRANSLATE_NOOP("tavrin::hex::Variant",
                       "16 灯：LED 1–8 接 P1.0–P1.7，9–16 接 P2.0–P2.7，低电平点亮，霍尔传感器接 P3.2。"
                       "每圈 108 列，从右往左显示，每圈右移一列，适合反向旋转的板子。")},
    {1, QT_TRANSLATE_NOOP("tavrin::hex::Variant", "1 号：16 灯直接接 P1/P2（P1.7 为最上灯）"),
     QT_TRANSLATE_NOOP("tavrin::hex::Variant",
                       "16 灯：LED 1–8 接 P1.7–P1.0，9–16 接 P2.7–P2.0，低电平点亮，霍尔传感器接 P3.2。"
                       "按 0200 处的设置每圈从左往右显示 108 列，每 4 圈右移一列。")},
    {2, QT_TRANSLATE_NOOP("tavrin::hex::Variant", "2 号：16 灯，两片 74HC595 低电平点亮，按内容长度显示"),
     QT_TRANSLATE_NOOP("tavrin::hex::Variant",
                       "16 灯接两片串联的 74HC595（P2.0 /OE，P2.1 数据，P2.2 移位时钟，P2.3 锁存），"
                       "输出低电平点亮，每字节取反、高位先送；霍尔传感器接 P3.2。只显示内容长度以内的列。")},
    {3, QT_TRANSLATE_NOOP("tavrin::hex::Variant", "3 号：16 灯，74HC595 + ULN2803，按内容长度显示"),
     QT_TRANSLATE_NOOP("tavrin::hex::Variant",
                       "接法同 2 号，但 74HC595 经 ULN2803 驱动 LED，高电平点亮，"
                       "每字节按位序 5、3、4、2、7、1、0、6 送出；霍尔传感器接 P3.2。只显示内容长度以内的列。")},
    {22, QT_TRANSLATE_NOOP("tavrin::hex::Variant", "22 号：16 灯，两片 74HC595 低电平点亮，整幅画面循环"),
     QT_TRANSLATE_NOOP("tavrin::hex::Variant",
                       "接法同 2 号：两片 74HC595，低电平点亮，每字节取反、高位先送；霍尔传感器接 P3.2。"
                       "不读长度，整幅 16 灯画面循环显示，传感器信号后空 1 列。")},
    {33, QT_TRANSLATE_NOOP("tavrin::hex::Variant", "33 号：16 灯，74HC595 + ULN2803，整幅画面循环"),
     QT_TRANSLATE_NOOP("tavrin::hex::Variant",
                       "接法同 3 号：74HC595 经 ULN2803，高电平点亮，位序 5、3、4、2、7、1、0、6；"
                       "霍尔传感器接 P3.2。不读长度，整幅 16 灯画面循环显示，传感器信号后空 8 列。")},
};

} // namespace

const QList<Variant> &variants() {
    static const QList<Variant> list = [] {
        QList<Variant> result;
        for (const VariantFacts &facts : variantFacts) {
            Variant variant{facts.number,
                            QString::fromLatin1(facts.chip),
                            facts.ledCount,
                            facts.codeMemory,
                            facts.lengthWord,
                            {},
                            {},
                            {}};
            for (const Presentation &shown : presentations) {
                if (shown.number == facts.number) {
                    variant.title = QString::fromUtf8(shown.title);
                    variant.wiring = QString::fromUtf8(shown.wiring);
                    variant.description =
                        u"%1（%2 KB），"_s.arg(variant.chip).arg(facts.codeMemory / 1024) + variant.wiring;
                }
            }
            if (variant.title.isEmpty()) {
                variant.title = u"%1 号：%2 灯"_s.arg(facts.number).arg(facts.ledCount);
                variant.description =
                    u"%1（%2 KB），%3 灯。"_s.arg(variant.chip).arg(facts.codeMemory / 1024).arg(facts.ledCount);
            }
            result.append(variant);
        }
        return result;
    }();
    return list;
}

QString variantNumbersText() {
    QStringList numbers;
    for (const VariantFacts &facts : variantFacts) {
        numbers.append(QString::number(facts.number));
    }
    const QString last = numbers.takeLast();
    return numbers.isEmpty() ? last : numbers.join(u", "_s) + u" or "_s + last;
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
