#include "hex/hexrecords.h"

#include <QTest>

using namespace tavrin::hex;
using namespace Qt::StringLiterals;

class HexRecordsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hexText_roundsHalfToEvenAndPrintsUpperCase_data();
    void hexText_roundsHalfToEvenAndPrintsUpperCase();
    void fixedWidthFields_keepLowDigits_data();
    void fixedWidthFields_keepLowDigits();
    void checksum_isTwosComplementOfByteSum_data();
    void checksum_isTwosComplementOfByteSum();
    void contentDataRecord_fillsToSixteenBytesKeepingDataCase_data();
    void contentDataRecord_fillsToSixteenBytesKeepingDataCase();
    void lengthRecord_writesWordHighByteFirst_data();
    void lengthRecord_writesWordHighByteFirst();
};

void HexRecordsTest::hexText_roundsHalfToEvenAndPrintsUpperCase_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0 << u"0"_s;
    QTest::newRow("no leading zeros") << 10.0 << u"A"_s;
    QTest::newRow("upper case") << double(0xABCDEF) << u"ABCDEF"_s;
    QTest::newRow("half down to even") << 2.5 << u"2"_s;
    QTest::newRow("half up to even") << 3.5 << u"4"_s;
    QTest::newRow("half of one") << 0.5 << u"0"_s;
    QTest::newRow("above half") << 2.51 << u"3"_s;
    QTest::newRow("below half") << 2.49 << u"2"_s;
    QTest::newRow("negative, two's complement") << -1.0 << u"FFFFFFFFFFFFFFFF"_s;
    QTest::newRow("negative half to even") << -2.5 << u"FFFFFFFFFFFFFFFE"_s;
}

void HexRecordsTest::hexText_roundsHalfToEvenAndPrintsUpperCase() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(hexText(value), expected);
}

void HexRecordsTest::fixedWidthFields_keepLowDigits_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two digits, zero") << hexField2(0) << u"00"_s;
    QTest::newRow("two digits, one digit value") << hexField2(0xE) << u"0E"_s;
    QTest::newRow("two digits, wide value") << hexField2(0x1AB) << u"AB"_s;
    QTest::newRow("two digits, negative") << hexField2(256 - 0x7F2) << u"0E"_s;
    QTest::newRow("four digits, zero") << hexField4(0) << u"0000"_s;
    QTest::newRow("four digits, 528") << hexField4(528) << u"0210"_s;
    QTest::newRow("four digits, wide value") << hexField4(0x12345) << u"2345"_s;
    QTest::newRow("address 0x0280") << addressTypeField(0x0280) << u"028000"_s;
    QTest::newRow("address 0x0010") << addressTypeField(0x0010) << u"001000"_s;
    QTest::newRow("address below 0x10") << addressTypeField(0x0005) << u"000500"_s;
    QTest::newRow("address 0xFFFF") << addressTypeField(0xFFFF) << u"FFFF00"_s;
    QTest::newRow("address 0x10000 wraps") << addressTypeField(0x10000) << u"000000"_s;
}

void HexRecordsTest::fixedWidthFields_keepLowDigits() {
    QFETCH(QString, field);
    QFETCH(QString, expected);
    QCOMPARE(field, expected);
}

void HexRecordsTest::checksum_isTwosComplementOfByteSum_data() {
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("byteCount");
    QTest::addColumn<QString>("expected");
    QTest::newRow("sum below 256") << u"10028000"_s + QString(32, u'0') << 20 << u"6E"_s;
    QTest::newRow("sum exactly 256") << u"02024E0000AE"_s << 6 << u"00"_s;
    QTest::newRow("sum above 256") << u"100280001c3e7fff1c3e7fff1c3e7fff1c3e7fff"_s << 20 << u"0E"_s;
    QTest::newRow("either letter case") << u"100280001C3E7FFF1C3E7FFF1C3E7FFF1C3E7FFF"_s << 20 << u"0E"_s;
    QTest::newRow("end-of-file body") << u"00000001"_s << 4 << u"FF"_s;
    QTest::newRow("only byteCount pairs read") << u"00000001FF"_s << 4 << u"FF"_s;
}

void HexRecordsTest::checksum_isTwosComplementOfByteSum() {
    QFETCH(QString, body);
    QFETCH(int, byteCount);
    QFETCH(QString, expected);
    QCOMPARE(checksum(body, byteCount), expected);
}

void HexRecordsTest::contentDataRecord_fillsToSixteenBytesKeepingDataCase_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("piece");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty piece") << 0x0280 << QString() << u":10028000000000000000000000000000000000006E"_s;
    QTest::newRow("second record") << 0x0290 << QString() << u":10029000000000000000000000000000000000005E"_s;
    QTest::newRow("short piece") << 0x0280 << u"0f0f0f0f"_s << u":100280000f0f0f0f00000000000000000000000032"_s;
    QTest::newRow("full piece, sum above 256")
        << 0x0280 << u"1c3e7fff1c3e7fff1c3e7fff1c3e7fff"_s << u":100280001c3e7fff1c3e7fff1c3e7fff1c3e7fff0E"_s;
    QTest::newRow("odd length") << 0x02B0 << u"abc"_s << u":1002B000abc00000000000000000000000000000D3"_s;
    QTest::newRow("long piece cut to 32 digits")
        << 0x0280 << u"0123456789abcdef0123456789abcdefff"_s << u":100280000123456789abcdef0123456789abcdefEE"_s;
    QTest::newRow("last address") << 0xFFF0 << QString(32, u'f') << u":10FFF000ffffffffffffffffffffffffffffffff11"_s;
}

void HexRecordsTest::contentDataRecord_fillsToSixteenBytesKeepingDataCase() {
    QFETCH(int, address);
    QFETCH(QString, piece);
    QFETCH(QString, expected);
    QCOMPARE(contentDataRecord(address, piece), expected + u"\r\n"_s);
}

void HexRecordsTest::lengthRecord_writesWordHighByteFirst_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("528") << 528.0 << u":02024E0002109C"_s;
    QTest::newRow("174, checksum 00") << 174.0 << u":02024E0000AE00"_s;
    QTest::newRow("empty content") << 16.0 << u":02024E0000109E"_s;
    QTest::newRow("half rounds to even") << 16.5 << u":02024E0000109E"_s;
    QTest::newRow("largest word") << 65535.0 << u":02024E00FFFFB0"_s;
    QTest::newRow("low 16 bits kept") << 65552.0 << u":02024E0000109E"_s;
}

void HexRecordsTest::lengthRecord_writesWordHighByteFirst() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(lengthRecord(value), expected + u"\r\n"_s);
}

QTEST_GUILESS_MAIN(HexRecordsTest)
#include "tst_hexrecords.moc"
