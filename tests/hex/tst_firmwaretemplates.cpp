#include "hex/firmware.h"
#include "records.h"

#include <QTest>

using namespace tavrin::hex;
using namespace Qt::StringLiterals;

// The firmware templates as the board programmer receives them: the records that must be there
// byte for byte, their order, and the address ranges they cover.
class FirmwareTemplatesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void template_matchesFirmwareLayout_data();
    void template_matchesFirmwareLayout();
    void unknownNumber_hasNoTemplate();
};

void FirmwareTemplatesTest::template_matchesFirmwareLayout_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("coverage");
    QTest::addColumn<QStringList>("fixedRecords"); // reset, second, others..., last
    QTest::addColumn<QStringList>("shortRecords"); // the records that may carry fewer than 16 bytes

    const QString reset01 = u":0200000080047A"_s;
    const QString reset23 = u":02000000801F5F"_s;
    const QString reset2233 = u":02000000800C72"_s;
    const QString second23 = u":03000B00D2A0324E"_s;
    const QString mask23 = u":0A016B00201008040201EF90016962"_s;
    const QString second2233 = u":10000B00D2A03278307401F60804B410FA7A007575"_s;
    const QString loop2233 = u":03015B0008D9F9C7"_s;

    QTest::newRow("variant 0") << 0 << 10 << u"0000-0001,0003-0077,0200-020F"_s
                               << QStringList{reset01, u":10000300C200329002F4C200EA93F41155FC1AEADA"_s,
                                              u":0500730092F0E5F0220F"_s,
                                              u":100200000440026C0000000000000000000000003C"_s}
                               << QStringList{reset01, u":0500730092F0E5F0220F"_s};
    QTest::newRow("variant 1") << 1 << 16 << u"0000-0001,0003-00D8,0200-0203"_s
                               << QStringList{reset01, u":10000300C20032D2AFD2A8D2889003008582518534"_s,
                                              u":0600D300503552F58322B6"_s, u":040200000440026C48"_s}
                               << QStringList{reset01, u":0600D300503552F58322B6"_s, u":040200000440026C48"_s};
    QTest::newRow("variant 2") << 2 << 38 << u"0000-0001,000B-000D,001B-0249"_s
                               << QStringList{reset23, second23, mask23, u":0502450040027B0022D5"_s}
                               << QStringList{reset23, second23, mask23, u":0502450040027B0022D5"_s};
    QTest::newRow("variant 3") << 3 << 38 << u"0000-0001,000B-000D,001B-0247"_s
                               << QStringList{reset23, second23, mask23, u":030245007B002219"_s}
                               << QStringList{reset23, second23, mask23, u":030245007B002219"_s};
    QTest::newRow("variant 22") << 22 << 39 << u"0000-0001,000B-024E"_s
                                << QStringList{reset2233, second2233, u":10001B008E00754001754101754201753D007538C3"_s,
                                               loop2233, u":01024E00228D"_s}
                                << QStringList{reset2233, loop2233, u":01024E00228D"_s};
    QTest::newRow("variant 33") << 33 << 38 << u"0000-0001,000B-024C"_s
                                << QStringList{reset2233, second2233, u":10001B008E00754001754108754201753D007538BC"_s,
                                               loop2233, u":0F023E007B01B40205E582B4600040027B002220"_s}
                                << QStringList{reset2233, loop2233, u":0F023E007B01B40205E582B4600040027B002220"_s};
}

void FirmwareTemplatesTest::template_matchesFirmwareLayout() {
    QFETCH(int, variant);
    QFETCH(int, count);
    QFETCH(QString, coverage);
    QFETCH(QStringList, fixedRecords);
    QFETCH(QStringList, shortRecords);

    const QStringList records = templateRecords(variant);
    QCOMPARE(records.size(), count);
    QCOMPARE(records.first(), fixedRecords.first());
    QCOMPARE(records.at(1), fixedRecords.at(1));
    QCOMPARE(records.last(), fixedRecords.last());
    for (const QString &fixed : fixedRecords) {
        QVERIFY2(records.contains(fixed), qPrintable(fixed));
    }

    QStringList ranges;
    int rangeStart = -1;
    int next = -1;
    for (const QString &line : records) {
        const ParsedRecord record = parseRecord(line);
        QVERIFY2(record.valid, qPrintable(line));
        QCOMPARE(line, line.toUpper());
        QCOMPARE(record.type, 0);
        QVERIFY2(record.count == 16 || shortRecords.contains(line), qPrintable(line));
        QVERIFY2(record.address >= next, qPrintable(u"out of order or overlapping: "_s + line));
        if (record.address != next) {
            if (rangeStart >= 0) {
                ranges << u"%1-%2"_s.arg(rangeStart, 4, 16, QChar(u'0')).arg(next - 1, 4, 16, QChar(u'0'));
            }
            rangeStart = record.address;
        }
        next = record.address + record.count;
    }
    ranges << u"%1-%2"_s.arg(rangeStart, 4, 16, QChar(u'0')).arg(next - 1, 4, 16, QChar(u'0'));
    QCOMPARE(ranges.join(u',').toUpper(), coverage);
    // The content starts at 0x0280, and the length word of variants 2 and 3 sits at 0x024E.
    QVERIFY(next <= ((variant == 2 || variant == 3) ? 0x024E : 0x0250));
}

void FirmwareTemplatesTest::unknownNumber_hasNoTemplate() {
    for (const int number : {-1, 4, 5, 11, 23, 32}) {
        QVERIFY(templateRecords(number).isEmpty());
    }
}

QTEST_GUILESS_MAIN(FirmwareTemplatesTest)
#include "tst_firmwaretemplates.moc"
