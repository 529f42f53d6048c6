#include "hex/firmware.h"
#include "records.h"

#include <QTest>

using namespace tavrin::hex;
using namespace Qt::StringLiterals;

namespace {

QStringList linesOf(const QString &text) {
    return text.split(u"\r\n"_s);
}

// Lower-case hex digits that differ from record to record, so misplaced pieces show.
QString sampleCode(int length) {
    QString code;
    for (int i = 0; i < length; ++i) {
        code += QChar(u"0123456789abcdef"[(i * 7 + i / 16) % 16]);
    }
    return code;
}

} // namespace

class HexBuildTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyCode_givesTemplateLengthAndOneZeroRecord_data();
    void emptyCode_givesTemplateLengthAndOneZeroRecord();
    void content_followsTemplateFromAddress0280_data();
    void content_followsTemplateFromAddress0280();
    void unknownVariant_keepsDefaultResetRecordAlone();
    void lengthRecord_countsContentBytesPlus16_data();
    void lengthRecord_countsContentBytesPlus16();
    void refusal_stopsContentAtAddressSpaceAndCodeMemory_data();
    void refusal_stopsContentAtAddressSpaceAndCodeMemory();
};

void HexBuildTest::emptyCode_givesTemplateLengthAndOneZeroRecord_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("variant 0") << 0 << 12 << u":0200000080047A"_s;
    QTest::newRow("variant 1") << 1 << 18 << u":0200000080047A"_s;
    QTest::newRow("variant 2") << 2 << 41 << u":02000000801F5F"_s;
    QTest::newRow("variant 3") << 3 << 41 << u":02000000801F5F"_s;
    QTest::newRow("variant 22") << 22 << 41 << u":02000000800C72"_s;
    QTest::newRow("variant 33") << 33 << 40 << u":02000000800C72"_s;
    QTest::newRow("variant 5, no template") << 5 << 3 << u":0200000080047A"_s;
    QTest::newRow("variant -1, no template") << -1 << 3 << u":0200000080047A"_s;
}

void HexBuildTest::emptyCode_givesTemplateLengthAndOneZeroRecord() {
    QFETCH(int, variant);
    QFETCH(int, lineCount);
    QFETCH(QString, firstLine);

    const QString text = buildHexText(variant, QString());
    QVERIFY2(text.endsWith(u"\r\n:00000001FF"_s), "ends with CR LF and the end-of-file record, no line end after it");
    QCOMPARE(text.count(u'\n'), text.count(u"\r\n"_s));
    const QStringList lines = linesOf(text);
    QCOMPARE(lines.size(), lineCount);
    QCOMPARE(lines.first(), firstLine);
    QCOMPARE(lines.at(lineCount - 2), u":10028000000000000000000000000000000000006E"_s);
    if (variant == 2 || variant == 3) {
        QCOMPARE(lines.at(lineCount - 3), u":02024E0000109E"_s);
    }
}

void HexBuildTest::content_followsTemplateFromAddress0280_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("length");
    for (const int variant : {0, 1, 2, 3, 22, 33, 5}) {
        for (const int length : {31, 32, 64, 100, 8192}) {
            QTest::addRow("variant %d, %d digits", variant, length) << variant << length;
        }
    }
}

void HexBuildTest::content_followsTemplateFromAddress0280() {
    QFETCH(int, variant);
    QFETCH(int, length);

    const QString code = sampleCode(length);
    QStringList lines = linesOf(buildHexText(variant, code));
    QCOMPARE(lines.takeLast(), u":00000001FF"_s);

    const QStringList templ = templateRecords(variant);
    const int templateCount = templ.isEmpty() ? 1 : int(templ.size());
    const bool lengthWord = variant == 2 || variant == 3;
    const int records = length / 32 + 1;
    QCOMPARE(lines.size(), templateCount + (lengthWord ? 1 : 0) + records);
    if (!templ.isEmpty()) {
        QCOMPARE(lines.mid(0, templateCount), templ);
    }

    int at024E = 0;
    for (const QString &line : lines) {
        at024E += parseRecord(line).address == 0x024E ? 1 : 0;
    }
    QCOMPARE(at024E, (lengthWord || variant == 22) ? 1 : 0);

    const QStringList content = lines.mid(lines.size() - records);
    QString padded = code;
    padded.append(QString(records * 32 - length, u'0'));
    for (int k = 0; k < records; ++k) {
        const ParsedRecord record = parseRecord(content.at(k));
        QVERIFY2(record.valid, qPrintable(content.at(k)));
        QCOMPARE(record.count, 16);
        QCOMPARE(record.address, 0x0280 + 16 * k);
        QCOMPARE(record.type, 0);
        // The digits go in unchanged, lower case included; computed fields are upper case.
        QCOMPARE(content.at(k).mid(9, 32), padded.mid(32 * k, 32));
        QCOMPARE(content.at(k).right(2), content.at(k).right(2).toUpper());
    }
}

void HexBuildTest::unknownVariant_keepsDefaultResetRecordAlone() {
    // 100 digits: three full records, then the last 4 digits filled with 28 zeros at 0x02B0.
    const QString code = u"0123456789abcdef"_s.repeated(7).left(100);
    QCOMPARE(buildHexText(5, code), u":0200000080047A\r\n"
                                    u":100280000123456789abcdef0123456789abcdefEE\r\n"
                                    u":100290000123456789abcdef0123456789abcdefDE\r\n"
                                    u":1002A0000123456789abcdef0123456789abcdefCE\r\n"
                                    u":1002B000012300000000000000000000000000001A\r\n"
                                    u":00000001FF"_s);
}

void HexBuildTest::lengthRecord_countsContentBytesPlus16_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected");
    QTest::newRow("variant 2, empty") << 2 << 0 << u":02024E0000109E"_s;
    QTest::newRow("variant 3, 16 columns of 16 LEDs") << 3 << 64 << u":02024E0000307E"_s;
    QTest::newRow("variant 2, 16 LEDs full") << 2 << 8192 << u":02024E0010108E"_s;
    QTest::newRow("variant 3, odd length rounds half to even") << 3 << 1 << u":02024E0000109E"_s;
    QTest::newRow("variant 3, 3 digits round up") << 3 << 3 << u":02024E0000129C"_s;
}

void HexBuildTest::lengthRecord_countsContentBytesPlus16() {
    QFETCH(int, variant);
    QFETCH(int, length);
    QFETCH(QString, expected);
    const QStringList lines = linesOf(buildHexText(variant, sampleCode(length)));
    QCOMPARE(lines.at(templateRecords(variant).size()), expected);
}

void HexBuildTest::refusal_stopsContentAtAddressSpaceAndCodeMemory_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("refused");

    QTest::newRow("start-up text is no content code") << 2 << u"Text3"_s << true;
    QTest::newRow("separator in the code") << 2 << u"00ff 00ff"_s << true;
    QTest::newRow("empty code") << 2 << QString() << false;
    QTest::newRow("upper-case digits are still hex") << 2 << u"00FF"_s << false;
    // Records end at 0x0280 + 16 * (L / 32 + 1): the last record must end at 0xFFFF at most.
    QTest::newRow("no template, last record at 0xFFF0") << 5 << QString(129791, u'0') << false;
    QTest::newRow("no template, one record past 0xFFFF") << 5 << QString(129792, u'0') << true;
    for (const Variant &v : variants()) {
        const int lastFitting = (v.codeMemory - 0x0280) / 16 * 32 - 1;
        QTest::addRow("variant %d, ends at code memory", v.number) << v.number << QString(lastFitting, u'a') << false;
        QTest::addRow("variant %d, past code memory", v.number) << v.number << QString(lastFitting + 1, u'a') << true;
        QTest::addRow("variant %d, whole canvas at 24 LEDs", v.number) << v.number << QString(8208, u'a') << false;
    }
}

void HexBuildTest::refusal_stopsContentAtAddressSpaceAndCodeMemory() {
    QFETCH(int, variant);
    QFETCH(QString, code);
    QFETCH(bool, refused);
    QCOMPARE(bool(exportRefusal(variant, code)), refused);
    if (!refused) {
        QVERIFY(contentEndAddress(code.size()) <= 0x10000);
    }
}

QTEST_GUILESS_MAIN(HexBuildTest)
#include "tst_hexbuild.moc"
