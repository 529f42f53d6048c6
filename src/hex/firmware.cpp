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

constexpr int contentStart = 0x0280;
constexpr int bytesPerContentRecord = 16;
constexpr int digitsPerContentRecord = 2 * bytesPerContentRecord;
constexpr qint64 addressSpaceEnd = 0x10000;

const QList<int> &templateNumbers() {
    static const QList<int> numbers{0, 1, 2, 3, 22, 33};
    return numbers;
}

QHash<int, QStringList> loadTemplates() {
    QHash<int, QStringList> templates;
    for (const int number : templateNumbers()) {
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

bool hasLengthRecord(int variant) {
    return variant == 2 || variant == 3;
}

QString hexAddress(qint64 address) {
    return QString::number(address, 16).toUpper().rightJustified(4, u'0');
}

} // namespace

const QList<Variant> &variants() {
    // All six boards: a 12 MHz 8052-class chip with 8 KB of code memory, the hall sensor on
    // P3.2, 16 LEDs with the top dot first; they differ in how the LEDs are wired and shown.
    static const QList<Variant> list{
        {0, 16, 8192, u"0 号：16 灯直接接 P1/P2，反向旋转"_s,
         u"AT89C52（8 KB），16 灯：LED 1–8 接 P1.0–P1.7，9–16 接 P2.0–P2.7，低电平点亮，霍尔传感器接 P3.2。"
         u"每圈 108 列，从右往左显示，每圈右移一列，适合反向旋转的板子。"_s},
        {1, 16, 8192, u"1 号：16 灯直接接 P1/P2（P1.7 为最上灯）"_s,
         u"AT89C52（8 KB），16 灯：LED 1–8 接 P1.7–P1.0，9–16 接 P2.7–P2.0，低电平点亮，霍尔传感器接 P3.2。"
         u"按 0200 处的设置每圈从左往右显示 108 列，每 4 圈右移一列。"_s},
        {2, 16, 8192, u"2 号：16 灯，两片 74HC595 低电平点亮，按内容长度显示"_s,
         u"AT89C52（8 KB），16 灯接两片串联的 74HC595（P2.0 /OE，P2.1 数据，P2.2 移位时钟，P2.3 锁存），"
         u"输出低电平点亮，每字节取反、高位先送；霍尔传感器接 P3.2。只显示内容长度以内的列。"_s},
        {3, 16, 8192, u"3 号：16 灯，74HC595 + ULN2803，按内容长度显示"_s,
         u"AT89C52（8 KB），接法同 2 号，但 74HC595 经 ULN2803 驱动 LED，高电平点亮，"
         u"每字节按位序 5、3、4、2、7、1、0、6 送出；霍尔传感器接 P3.2。只显示内容长度以内的列。"_s},
        {22, 16, 8192, u"22 号：16 灯，两片 74HC595 低电平点亮，整幅画面循环"_s,
         u"AT89S52（8 KB），接法同 2 号：两片 74HC595，低电平点亮，每字节取反、高位先送；霍尔传感器接 P3.2。"
         u"不读长度，整幅 16 灯画面循环显示，传感器信号后空 1 列。"_s},
        {33, 16, 8192, u"33 号：16 灯，74HC595 + ULN2803，整幅画面循环"_s,
         u"AT89S52（8 KB），接法同 3 号：74HC595 经 ULN2803，高电平点亮，位序 5、3、4、2、7、1、0、6；"
         u"霍尔传感器接 P3.2。不读长度，整幅 16 灯画面循环显示，传感器信号后空 8 列。"_s},
    };
    return list;
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

    if (hasLengthRecord(variant)) {
        // Content bytes + 16: the firmware reads this word as the end of the content.
        text += lengthRecord(double(length) / 2 + 16);
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

QString exportRefusal(int variant, const QString &contentCode) {
    if (!base::isHexDigits(contentCode)) {
        return u"还没有可导出的点阵数据。请先按“写入新内容”生成数据，再获取HEX文件。"_s;
    }
    const qint64 end = contentEndAddress(contentCode.size());
    const qint64 lastAddress = end - 1;
    if (end > addressSpaceEnd) {
        return u"内容太长：数据从地址 0280 写到 %1，超出了 HEX 文件的 64 KB 地址范围（最高 FFFF）。请减少内容后再导出。"_s
            .arg(hexAddress(lastAddress));
    }
    if (const Variant *chosen = findVariant(variant); chosen && end > chosen->codeMemory) {
        return u"内容太长：数据从地址 0280 写到 %1，而 %2 号固件的单片机只有 %3 字节程序存储器（最高地址 %4）。"
               u"请减少内容，或选用程序存储器更大的型号。"_s.arg(hexAddress(lastAddress))
                   .arg(chosen->number)
                   .arg(chosen->codeMemory)
                   .arg(hexAddress(chosen->codeMemory - 1));
    }
    return {};
}

} // namespace tavrin::hex
