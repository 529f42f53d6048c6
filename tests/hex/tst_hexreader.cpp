#include "hex/firmware.h"
#include "hex/hexreader.h"
#include "hex/hexrecords.h"
#include "records.h"

#include <sys/stat.h>

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tavrin::hex;

namespace {

QString sampleCode(int length) {
    QString code;
    for (int i = 0; i < length; ++i) {
        code += QChar(u"0123456789abcdef"[(i * 7 + i / 16) % 16]);
    }
    return code;
}

// A data record line with a correct checksum, made here independently of the library.
QString record(int address, const QByteArray &data, int type = 0) {
    QByteArray bytes;
    bytes.append(char(data.size())).append(char(address >> 8)).append(char(address & 0xFF)).append(char(type));
    bytes.append(data);
    int sum = 0;
    for (const char b : bytes) {
        sum += quint8(b);
    }
    bytes.append(char(-sum & 0xFF));
    return u':' + QString::fromLatin1(bytes.toHex().toUpper());
}

QString lines(const QStringList &records) {
    return records.join(u"\r\n"_s) + u"\r\n"_s;
}

// The same image written as another tool might: 32-byte records, highest address first, LF.
QString reblocked(const QString &text) {
    QMap<int, char> bytes;
    for (const QString &line : text.split(u"\r\n"_s)) {
        const ParsedRecord parsed = parseRecord(line);
        for (int i = 0; parsed.type == 0 && i < parsed.data.size(); ++i) {
            bytes.insert(parsed.address + i, parsed.data.at(i));
        }
    }
    QStringList records;
    for (auto it = bytes.cbegin(); it != bytes.cend();) {
        const int start = it.key();
        QByteArray run;
        while (it != bytes.cend() && it.key() == start + run.size() && run.size() < 32) {
            run.append((it++).value());
        }
        records.prepend(record(start, run));
    }
    return (records << QString::fromLatin1(endOfFileRecord)).join(u'\n');
}

} // namespace

class HexReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportedImage_givesVariantAndContentBack_data() {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("content");
        for (const int variant : {0, 1, 2, 3, 22, 33}) {
            // Without a length word the zero filling of the last record is read as content.
            const QString filled = sampleCode(100) + QString(28, u'0');
            const bool lengthWord = variant == 2 || variant == 3;
            QTest::addRow("variant %d, 100 digits", variant)
                << variant << sampleCode(100) << (lengthWord ? sampleCode(100) : filled);
        }
        QTest::newRow("variant 2, empty") << 2 << QString() << QString();
        QTest::newRow("variant 0, empty") << 0 << QString() << QString(32, u'0');
        QTest::newRow("variant 3, full 16-LED canvas") << 3 << sampleCode(8192) << sampleCode(8192);
        QTest::newRow("variant 22, full 16-LED canvas")
            << 22 << sampleCode(8192) << sampleCode(8192) + QString(32, u'0');
    }
    void exportedImage_givesVariantAndContentBack() {
        QFETCH(int, variant);
        QFETCH(QString, code);
        QFETCH(QString, content);
        const QString text = buildHexText(variant, code) + QLatin1StringView(lineEnd);
        for (const QString &form : {text, text.toLower(), reblocked(text)}) {
            const HexReading reading = readHexText(form);
            QVERIFY(reading.ok());
            QCOMPARE(reading.variant, variant);
            QCOMPARE(reading.unknown.kind, UnknownFirmware::None);
            QCOMPARE(reading.contentCode, content);
        }
    }

    void unknownFirmware_isNamedAndContentStillRead_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("why");
        QTest::addColumn<int>("closest");
        QTest::addColumn<int>("address");
        const QString eof = QString::fromLatin1(endOfFileRecord);
        const QString content = record(0x0280, QByteArray::fromHex("ff") + QByteArray(15, '\0'));
        QTest::newRow("foreign reset record") << lines({record(0, QByteArray::fromHex("0203")), content, eof})
                                              << int(UnknownFirmware::ForeignResetRecord) << 0 << 0;
        QTest::newRow("reset record alone")
            << buildHexText(5, u"ff"_s) << int(UnknownFirmware::DiffersFrom) << 0 << 0x0003;
        QStringList changed = buildHexText(2, u"ff"_s).split(u"\r\n"_s);
        changed[3] = record(0x002B, QByteArray(16, '\x55'));
        QTest::newRow("template 2, one record changed")
            << changed.join(u'\n') << int(UnknownFirmware::DiffersFrom) << 2 << 0x002B;
        QStringList noLength = buildHexText(3, u"ff"_s).split(u"\r\n"_s);
        noLength.removeAt(38);
        QTest::newRow("template 3 without length word")
            << noLength.join(u'\n') << int(UnknownFirmware::NoLengthWord) << 3 << 0;
        QTest::newRow("template 0 and a stray byte")
            << buildHexText(0, u"ff"_s).replace(u":0000"_s, record(0x0260, "\x01") + u"\n:0000"_s)
            << int(UnknownFirmware::DiffersFrom) << 0 << 0x0260;
    }
    void unknownFirmware_isNamedAndContentStillRead() {
        QFETCH(QString, text);
        QFETCH(int, why);
        QFETCH(int, closest);
        QFETCH(int, address);
        const HexReading reading = readHexText(text);
        QVERIFY(reading.ok());
        QCOMPARE(reading.variant, unknownVariant);
        QCOMPARE(int(reading.unknown.kind), why);
        if (why == UnknownFirmware::ForeignResetRecord) {
            QCOMPARE(reading.unknown.resetBytes, 0x0203);
        } else {
            QCOMPARE(reading.unknown.closest, closest);
            QCOMPARE(reading.unknown.address, address);
        }
        QCOMPARE(reading.contentCode, u"ff"_s + QString(30, u'0'));
    }

    void faultyText_isRefusedWithLineAndReason_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        const QString eof = QString::fromLatin1(endOfFileRecord);
        const QString good = record(0x0280, "\x12\x34");
        QTest::newRow("no colon") << lines({good, good.mid(1), eof}) << int(HexFault::NoColon) << 2 << 0 << 0;
        QTest::newRow("odd digits") << lines({good + u'0', eof}) << int(HexFault::NotARecord) << 1 << 0 << 0;
        QTest::newRow("not hex") << lines({good.left(9) + u'g' + good.mid(10), eof}) << int(HexFault::NotHexDigit) << 1
                                 << 0 << 0;
        QTest::newRow("count too big") << lines({u":03028000123436"_s, eof}) << int(HexFault::WrongLength) << 1 << 3
                                       << 2;
        QTest::newRow("bad checksum") << lines({u":0202800012343A"_s, eof}) << int(HexFault::WrongChecksum) << 1 << 0x3A
                                      << 0x36;
        QTest::newRow("no end-of-file") << lines({good}) << int(HexFault::NoEnd) << 0 << 0 << 0;
        QTest::newRow("overlap") << lines({good, record(0x0281, "\x56"), eof}) << int(HexFault::Overlap) << 2 << 0x0281
                                 << 0;
        QTest::newRow("extended address") << lines({record(0, QByteArray::fromHex("0001"), 4), good, eof})
                                          << int(HexFault::UnsupportedRecord) << 1 << 4 << 0;
        QTest::newRow("past FFFF") << lines({record(0xFFFF, "\x01\x02"), eof}) << int(HexFault::PastAddressSpace) << 1
                                   << 0xFFFF << 0;
        QTest::newRow("data after end") << lines({eof, good}) << int(HexFault::DataAfterEnd) << 2 << 1 << 0;
        QTest::newRow("length word below 16")
            << buildHexText(2, QString()).replace(u":02024E0000109E"_s, record(0x024E, QByteArray::fromHex("000a")))
            << int(HexFault::LengthWordTooSmall) << 0 << 0x000A << 0;
        QTest::newRow("length word past data")
            << buildHexText(3, QString()).replace(u":02024E0000109E"_s, record(0x024E, QByteArray::fromHex("0040")))
            << int(HexFault::ContentCutShort) << 0 << 48 << 0x0290;
        QTest::newRow("length word past FFFF")
            << buildHexText(2, QString()).replace(u":02024E0000109E"_s, record(0x024E, QByteArray::fromHex("ffff")))
            << int(HexFault::LengthPastAddressSpace) << 0 << 65519 << 0;
    }
    void faultyText_isRefusedWithLineAndReason() {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(int, line);
        QFETCH(int, first);
        QFETCH(int, second);
        const HexReading reading = readHexText(text);
        QVERIFY(!reading.ok());
        QCOMPARE(int(reading.fault.kind), kind);
        QCOMPARE(reading.fault.line, line);
        QCOMPARE(reading.fault.first, first);
        QCOMPARE(reading.fault.second, second);
        if (kind == HexFault::NotHexDigit) {
            QCOMPARE(reading.fault.character, u'g');
        }
    }

    void file_isReadOrNamedInError() {
        QTemporaryDir dir;
        QFile file(dir.filePath(u"image.hex"_s));
        QCOMPARE(readHexFile(file.fileName()).file.reason, tavrin::platform::FileFault::Missing);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(buildHexText(33, u"80ff03"_s).toLatin1()) > 0);
        file.close();
        const HexReading reading = readHexFile(file.fileName());
        QCOMPARE(reading.variant, 33);
        QCOMPARE(reading.contentCode, u"80ff03"_s + QString(26, u'0'));
    }

    void specialOrHugeFile_isRefusedWithoutWaiting_data() {
        using tavrin::platform::FileFault;
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("fault");
        QTest::newRow("/dev/zero") << u"/dev/zero"_s << int(FileFault::Device);
        QTest::newRow("sparse 3 GB file") << u"sparse.hex"_s << int(FileFault::TooLarge);
        QTest::newRow("FIFO nobody writes to") << u"fifo.hex"_s << int(FileFault::Idle);
    }
    void specialOrHugeFile_isRefusedWithoutWaiting() {
        QFETCH(QString, name);
        QFETCH(int, fault);
        QTemporaryDir dir;
        QFile sparse(dir.filePath(u"sparse.hex"_s));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(3) << 30));
        sparse.close();
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(u"fifo.hex"_s)).constData(), 0600) == 0);
        const QString path = name.startsWith(u'/') ? name : dir.filePath(name);
        QElapsedTimer clock;
        clock.start();
        const HexReading reading = readHexFile(path);
        QCOMPARE(int(reading.file.reason), fault);
        QVERIFY(!reading.ok());
        QVERIFY(clock.elapsed() < 10000);
    }
};

QTEST_GUILESS_MAIN(HexReaderTest)
#include "tst_hexreader.moc"
