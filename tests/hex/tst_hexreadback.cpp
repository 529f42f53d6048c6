#include "hex/firmware.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tavrin::hex;
using namespace Qt::StringLiterals;

namespace {

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun runTool(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        run.err = process.errorString().toUtf8();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// Debian's interpreter, which has python3-intelhex; a python3 earlier on PATH may not.
const QString python = u"/usr/bin/python3"_s;
const QString intelhexDump = uR"(
import sys, intelhex
ih = intelhex.IntelHex()
ih.loadhex(sys.argv[1])
sys.stdout.write(ih.tobinstr(start=0, size=ih.maxaddr() + 1).hex())
)"_s;

} // namespace

// Every exported image must load in programmer software; two independent readers stand in for it.
class HexReadBackTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void exportedImage_readsBackWithContentAt0280_data();
    void exportedImage_readsBackWithContentAt0280();

private:
    QTemporaryDir m_dir;
};

void HexReadBackTest::initTestCase() {
    QVERIFY(m_dir.isValid());
    for (const QString &tool : {u"srec_info"_s, u"srec_cat"_s}) {
        QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(), "srecord is not installed");
    }
    QVERIFY2(runTool(python, {u"-c"_s, u"import intelhex"_s}).exitCode == 0,
             "python3-intelhex is not installed for /usr/bin/python3");
}

void HexReadBackTest::exportedImage_readsBackWithContentAt0280_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("code");

    QString canvas16;
    for (int i = 0; i < 8192; ++i) {
        canvas16 += QChar(u"0123456789abcdef"[(i * 37 + i / 64) % 16]);
    }
    for (const int variant : {0, 1, 2, 3, 22, 33, 5}) {
        QTest::addRow("variant %d, empty code", variant) << variant << QString();
        QTest::addRow("variant %d, 100 digits", variant) << variant << canvas16.left(100);
        QTest::addRow("variant %d, whole canvas at 16 LEDs", variant) << variant << canvas16;
    }
}

void HexReadBackTest::exportedImage_readsBackWithContentAt0280() {
    QFETCH(int, variant);
    QFETCH(QString, code);

    const QString hexPath = m_dir.filePath(u"image.hex"_s);
    const QString binPath = m_dir.filePath(u"image.bin"_s);
    QFile::remove(binPath);
    {
        QFile file(hexPath);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write((buildHexText(variant, code) + u"\r\n"_s).toLatin1());
    }

    const ToolRun info = runTool(u"srec_info"_s, {hexPath, u"-intel"_s});
    QVERIFY2(info.exitCode == 0 && info.err.isEmpty(), info.err.constData());

    const ToolRun cat = runTool(u"srec_cat"_s, {hexPath, u"-intel"_s, u"-o"_s, binPath, u"-binary"_s});
    QVERIFY2(cat.exitCode == 0 && cat.err.isEmpty(), cat.err.constData());
    QFile bin(binPath);
    QVERIFY(bin.open(QIODevice::ReadOnly));
    const QByteArray srecImage = bin.readAll();

    const ToolRun dump = runTool(python, {u"-c"_s, intelhexDump, hexPath});
    QVERIFY2(dump.exitCode == 0 && dump.err.isEmpty(), dump.err.constData());
    const QByteArray intelhexImage = QByteArray::fromHex(dump.out);

    // The content bytes, then zeros to the end of the last 16-byte record.
    QByteArray content = QByteArray::fromHex(code.toLatin1());
    content.append(QByteArray(int(contentEndAddress(code.size())) - 0x0280 - content.size(), '\0'));
    for (const QByteArray &image : {srecImage, intelhexImage}) {
        QCOMPARE(image.size(), 0x0280 + content.size());
        QCOMPARE(image.mid(0x0280).toHex(), content.toHex());
        if (variant == 2 || variant == 3) {
            const int word = code.size() / 2 + 16;
            QCOMPARE(image.mid(0x024E, 2).toHex(),
                     QByteArray::fromHex(u"%1"_s.arg(word, 4, 16, QChar(u'0')).toLatin1()).toHex());
        }
    }
}

QTEST_GUILESS_MAIN(HexReadBackTest)
#include "tst_hexreadback.moc"
