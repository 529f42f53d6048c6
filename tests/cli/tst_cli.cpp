#include "app/form1.h"
#include "compose/composer.h"
#include "compose/pattern.h"
#include "compose/preparation.h"
#include "platform/serialport.h"
#include "preview/roundmap.h"
#include "support/board.h"
#include "support/modal.h"
#include "support/pty.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using tavrin::testing::PtyPair;
using namespace tavrin::compose;

namespace {

struct Run {
    int exit = -1;
    QByteArray out;
    QString err;
};

// wrapper: a program that runs tavrin-cli, such as setpriv with its options.
Run cli(const QStringList &arguments, const QString &workdir = {}, const QStringList &wrapper = {}) {
    QProcess process;
    process.setWorkingDirectory(workdir);
    if (wrapper.isEmpty()) {
        process.start(QStringLiteral(TAVRIN_CLI), arguments);
    } else {
        process.start(wrapper.constFirst(), wrapper.mid(1) + QStringList{QStringLiteral(TAVRIN_CLI)} + arguments);
    }
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

// Lit dots read straight off the PNG, without the scan the program uses.
QString scanPng(const QString &path, int leds) {
    const QImage image(path);
    QString bits;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < leds; ++y) {
            bits += qRed(image.pixel(x, y)) >= 129 ? u'1' : u'0';
        }
    }
    QString code;
    for (qsizetype i = 0; i + 4 <= bits.size(); i += 4) {
        code += QString::number(bits.mid(i, 4).toInt(nullptr, 2), 16);
    }
    return code;
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void usageErrors_exit2_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{u"paint"_s};
        QTest::newRow("LED count") << QStringList{u"code"_s, u"--leds"_s, u"12"_s};
        QTest::newRow("size") << QStringList{u"code"_s, u"--size"_s, u"29"_s};
        QTest::newRow("move") << QStringList{u"code"_s, u"--move"_s, u"sideways"_s};
        QTest::newRow("canvas without -o") << QStringList{u"canvas"_s};
        QTest::newRow("hex variant") << QStringList{u"hex"_s, u"--variant"_s, u"5"_s, u"-o"_s, u"x.hex"_s};
        QTest::newRow("erase without port") << QStringList{u"erase"_s};
        QTest::newRow("stray argument") << QStringList{u"ports"_s, u"extra"_s};
        QTest::newRow("no --help-all") << QStringList{u"ports"_s, u"--help-all"_s};
        QTest::newRow("fit") << QStringList{u"code"_s, u"--picture"_s, u"p.png"_s, u"--fit"_s, u"width"_s};
        QTest::newRow("turn") << QStringList{u"code"_s, u"--picture"_s, u"p.png"_s, u"--turn"_s, u"45"_s};
        QTest::newRow("crop") << QStringList{u"code"_s, u"--picture"_s, u"p.png"_s, u"--crop"_s, u"1,2,3"_s};
        QTest::newRow("fit and scale") << QStringList{u"code"_s,   u"--picture"_s, u"p.png"_s, u"--fit"_s,
                                                      u"height"_s, u"--scale"_s,   u"50"_s};
        QTest::newRow("round board") << QStringList{u"code"_s, u"--picture"_s, u"p.png"_s, u"--round"_s, u"5"_s};
        QTest::newRow("round board of other LEDs")
            << QStringList{u"code"_s, u"--leds"_s, u"8"_s, u"--picture"_s, u"p.png"_s, u"--round"_s, u"22"_s};
        QTest::newRow("fit without picture") << QStringList{u"code"_s, u"--fit"_s, u"height"_s};
        QTest::newRow("mirror") << QStringList{u"code"_s, u"--mirror"_s, u"sideways"_s};
        QTest::newRow("pattern into") << QStringList{u"pattern"_s, u"paint"_s};
    }
    void usageErrors_exit2() {
        QFETCH(QStringList, arguments);
        const Run run = cli(arguments);
        QCOMPARE(run.exit, 2);
        QVERIFY2(run.err.contains(u"usage: tavrin-cli"_s), qPrintable(run.err));
    }

    // One line in English that names the port and the reason.
    void unusablePort_exits1InEnglish_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message");
        QTest::newRow("absent device") << u"/nonexistent/ttyTAVRIN7"_s
                                       << u"cannot open port \"/nonexistent/ttyTAVRIN7\": the device does not exist"_s;
        QTest::newRow("number beyond the ports")
            << u"9"_s << u"cannot find port \"COM 9\": this machine has no serial port number 9"_s;
        QTest::newRow("a placeholder in the name")
            << u"COM 9%1"_s << u"cannot find port \"COM 9%1\": this machine has no serial port number 9"_s;
        QTest::newRow("no number") << u"LPT"_s << u"\"LPT\" is not a port: give one such as \"COM 1\""_s;
        QTest::newRow("not a serial device") << u"plain"_s << u"not a serial device, or it refuses these settings"_s;
    }
    void unusablePort_exits1InEnglish() {
        QFETCH(QString, port);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QFile plain(dir.filePath(u"plain"_s));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        if (port == u"plain"_s) {
            port = plain.fileName();
        }
        const QByteArray ports = qgetenv("TAVRIN_SERIAL_PORTS");
        qputenv("TAVRIN_SERIAL_PORTS", "/nonexistent/ttyTAVRIN1");
        for (const QStringList &arguments : {QStringList{u"erase"_s, u"--port"_s, port},
                                             QStringList{u"write"_s, u"--port"_s, port, u"--text"_s, u"Hi"_s}}) {
            const Run run = cli(arguments, dir.path());
            QCOMPARE(run.exit, 1);
            QVERIFY2(run.err.contains(message), qPrintable(run.err));
            QCOMPARE(run.err.count(u'\n'), 1);
            const bool chinese =
                std::any_of(run.err.cbegin(), run.err.cend(), [](QChar c) { return c.unicode() >= 0x2E80; });
            QVERIFY2(!chinese, qPrintable(run.err));
        }
        qputenv("TAVRIN_SERIAL_PORTS", ports);
    }

    // A port that exists but cannot be used says why and what to do; with no port at all, what to
    // check. The user without rights is "nobody" (setpriv), as only root can give a device away.
    void portRefusals_sayWhyAndWhatToDo_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("message");
        QTest::newRow("held by another program")
            << u"held"_s << QStringList{u"the port is in use by tst_cli (process %1)"_s, u"; close it and try again"_s};
        QTest::newRow("user not in the device's group")
            << u"group"_s
            << QStringList{u"no permission to use the device (Permission denied); to use it, the user must join its "_s
                           u"group \"dialout\": run sudo usermod -aG dialout \"$USER\", then log out and in again"_s};
        QTest::newRow("device for its owner only")
            << u"owner"_s
            << QStringList{u"no permission to use the device (Permission denied); only its owner \"root\""_s};
        QTest::newRow("no port at all") << u"none"_s
                                        << QStringList{u"no serial port found: check that the board's USB serial "_s
                                                       u"adapter is plugged in"_s,
                                                       u"driver"_s};
    }
    void portRefusals_sayWhyAndWhatToDo() {
        QFETCH(QString, kind);
        QFETCH(QStringList, message);
        PtyPair pty(PtyPair::LeftToSender);
        QVERIFY(pty.isValid());
        const QByteArray slave = QFile::encodeName(pty.slavePath());
        tavrin::platform::SerialLine holder;
        QStringList wrapper;
        if (kind == u"held"_s) {
            QVERIFY(holder.open(pty.slavePath(), u"9600,n,8,1"_s));
            message.first() = message.first().arg(QCoreApplication::applicationPid());
        } else if (kind == u"group"_s || kind == u"owner"_s) {
            if (::geteuid() != 0) {
                QSKIP("only root can hand the device to another group and run as another user");
            }
            const group *dialout = ::getgrnam("dialout");
            QVERIFY(dialout);
            QCOMPARE(::chown(slave.constData(), 0, dialout->gr_gid), 0);
            QCOMPARE(::chmod(slave.constData(), kind == u"group"_s ? 0660 : 0600), 0);
            wrapper = QStringList{u"setpriv"_s, u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s};
        }
        const QByteArray ports = qgetenv("TAVRIN_SERIAL_PORTS");
        qputenv("TAVRIN_SERIAL_PORTS", kind == u"none"_s ? QByteArray() : slave);
        // The same words when the port is named, and in the list's own account of it.
        const Run erase = cli({u"erase"_s, u"--port"_s, u"COM 1"_s}, {}, wrapper);
        const Run list = cli({u"ports"_s, u"--long"_s}, {}, wrapper);
        qputenv("TAVRIN_SERIAL_PORTS", ports);
        QCOMPARE(erase.exit, 1);
        QCOMPARE(list.exit, 0);
        for (const QString &part : std::as_const(message)) {
            QVERIFY2(erase.err.contains(part), qPrintable(erase.err));
            QVERIFY2(list.err.contains(part), qPrintable(list.err));
        }
        QCOMPARE(erase.err.count(u'\n'), 1);
        if (kind != u"none"_s) {
            QVERIFY2(list.out.startsWith("COM 1\t" + slave + "\tadapter unknown\tcannot be opened: "),
                     list.out.constData());
        }
    }

    void canvasPng_scansToTheCode_data() {
        QTest::addColumn<QStringList>("compose");
        QTest::addColumn<int>("leds");
        QTest::newRow("text at 16") << QStringList{u"--text"_s, u"旋转 LED"_s} << 16;
        QTest::newRow("moved, 24 LEDs") << QStringList{u"--leds"_s,   u"24"_s,    u"--text"_s, u"Hi"_s,
                                                       u"--move"_s,   u"right"_s, u"--move"_s, u"down"_s,
                                                       u"--bigger"_s, u"3"_s}
                                        << 24;
    }
    void canvasPng_scansToTheCode() {
        QFETCH(QStringList, compose);
        QFETCH(int, leds);
        QTemporaryDir dir;
        const QString png = dir.filePath(u"canvas.png"_s);
        QCOMPARE(cli(QStringList{u"canvas"_s} + compose + QStringList{u"-o"_s, png}).exit, 0);
        const Run code = cli(QStringList{u"code"_s} + compose);
        QCOMPARE(code.exit, 0);
        QCOMPARE(QString::fromLatin1(code.out).trimmed(), scanPng(png, leds));
        QCOMPARE(QImage(png).size(), QSize(leds == 24 ? 1368 : 2048, leds));
    }

    void hexThenShow_givesBackTheCodesDots_data() {
        QTest::addColumn<int>("variant");
        for (int variant : {0, 1, 2, 3, 22, 33}) {
            QTest::addRow("variant %d", variant) << variant;
        }
    }
    void hexThenShow_givesBackTheCodesDots() {
        QFETCH(int, variant);
        QTemporaryDir dir;
        const QString code = dir.filePath(u"code.txt"_s);
        const QString hex = dir.filePath(u"board.hex"_s);
        QCOMPARE(cli({u"code"_s, u"--text"_s, u"往返 Round trip"_s, u"-o"_s, code}).exit, 0);
        QCOMPARE(cli({u"hex"_s, u"--variant"_s, QString::number(variant), u"--code"_s, code, u"-o"_s, hex}).exit, 0);
        const Run fromHex = cli({u"show"_s, u"--hex"_s, hex, u"--leds"_s, u"16"_s, u"-o"_s, dir.filePath(u"h.png"_s)});
        QCOMPARE(fromHex.exit, 0);
        QVERIFY2(fromHex.err.contains(u"firmware variant %1"_s.arg(variant)), qPrintable(fromHex.err));
        QCOMPARE(cli({u"show"_s, u"--code"_s, code, u"--leds"_s, u"16"_s, u"-o"_s, dir.filePath(u"c.png"_s)}).exit, 0);
        const QImage shown(dir.filePath(u"h.png"_s));
        QCOMPARE(shown.size(), QSize(2048 * 2, 16 * 2)); // the largest scale within 4096 pixels
        QCOMPARE(shown, QImage(dir.filePath(u"c.png"_s)));
    }

    void show_defaultsToSixteenLedsAndASensibleScale_data() {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("scale");
        QTest::newRow("a whole canvas") << 2048 << 2;
        QTest::newRow("100 columns") << 100 << 8;
        QTest::newRow("1000 columns") << 1000 << 4;
        QTest::newRow("1500 columns") << 1500 << 2;
    }
    void show_defaultsToSixteenLedsAndASensibleScale() {
        QFETCH(int, columns);
        QFETCH(int, scale);
        QTemporaryDir dir;
        QFile code(dir.filePath(u"code.txt"_s));
        QVERIFY(code.open(QIODevice::WriteOnly));
        code.write(QByteArray("f00f").repeated(columns));
        code.close();
        QCOMPARE(cli({u"show"_s, u"--code"_s, code.fileName(), u"-o"_s, dir.filePath(u"s.png"_s)}).exit, 0);
        QCOMPARE(QImage(dir.filePath(u"s.png"_s)).size(), QSize(columns * scale, 16 * scale));
        QCOMPARE(cli({u"show"_s, u"--code"_s, code.fileName(), u"--leds"_s, u"12"_s, u"-o"_s, dir.filePath(u"t.png"_s)})
                     .exit,
                 2);
    }

    void preview_writesRevolutionsAsNumberedPictures() {
        QTemporaryDir dir;
        const QStringList content{u"--variant"_s, u"22"_s, u"--text"_s, u"旋转"_s, u"--pixels"_s, u"200"_s};
        QCOMPARE(cli(QStringList{u"preview"_s} + content +
                     QStringList{u"--revolution"_s, u"3"_s, u"--count"_s, u"4"_s, u"-o"_s, dir.filePath(u"frames"_s)})
                     .exit,
                 0);
        const QStringList written = QDir(dir.filePath(u"frames"_s)).entryList(QDir::Files, QDir::Name);
        QCOMPARE(written, (QStringList{u"revolution-0003.png"_s, u"revolution-0004.png"_s, u"revolution-0005.png"_s,
                                       u"revolution-0006.png"_s}));
        QCOMPARE(cli(QStringList{u"preview"_s} + content +
                     QStringList{u"--revolution"_s, u"5"_s, u"-o"_s, dir.filePath(u"one.png"_s)})
                     .exit,
                 0);
        const QImage one(dir.filePath(u"one.png"_s));
        QCOMPARE(one.size(), QSize(200, 200));
        QCOMPARE(one, QImage(dir.filePath(u"frames/revolution-0005.png"_s)));
        // The window moves one column a revolution: revolutions differ.
        QVERIFY(one != QImage(dir.filePath(u"frames/revolution-0003.png"_s)));
    }

    void preview_columnsOfTheGenericModel() {
        QTemporaryDir dir;
        QFile code(dir.filePath(u"code.txt"_s));
        QVERIFY(code.open(QIODevice::WriteOnly));
        code.write(QByteArray("ffff").repeated(10));
        code.close();
        const Run run = cli({u"preview"_s, u"--generic"_s, u"--per-revolution"_s, u"4"_s, u"--step"_s, u"3"_s,
                             u"--rpm"_s, u"1500"_s, u"--code"_s, code.fileName(), u"--revolution"_s, u"2"_s,
                             u"--count"_s, u"2"_s, u"--columns"_s});
        QCOMPARE(run.exit, 0);
        QCOMPARE(QString::fromLatin1(run.out),
                 u"2: 0.0+10000.0:6 10000.0+10000.0:7 20000.0+10000.0:8 30000.0+10000.0:9\n"
                 u"3: 0.0+10000.0:9 10000.0+10000.0:0 20000.0+10000.0:1 30000.0+10000.0:2\n"_s);
    }

    // The listing is written a revolution at a time; the lines are those the whole text held before,
    // the rounding of half tenths (781.25 µs) included.
    void preview_columnsListedLineByLine_areUnchanged_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("sha256");
        QTest::newRow("board 0 at 3000 rpm")
            << QStringList{u"--variant"_s, u"0"_s, u"--rpm"_s, u"3000"_s, u"--revolution"_s, u"7"_s}
            << QByteArray("d89cd673dbe122ea6adc4e9546d8709abc9ca6c3c47fdb2d5d6455cd02e9e998");
        QTest::newRow("board 22 at 3000 rpm")
            << QStringList{u"--variant"_s, u"22"_s, u"--rpm"_s, u"3000"_s, u"--revolution"_s, u"7"_s}
            << QByteArray("0e14a51fc74b2e4fd0423fa17fc0a9e51eabaea12dc21a6b01bf200984fea19c");
        QTest::newRow("generic, 64 columns, step 3")
            << QStringList{u"--generic"_s, u"--per-revolution"_s, u"64"_s, u"--step"_s, u"3"_s}
            << QByteArray("2828ad45cba243725eef80e2653bb7bf913acf218707ace5992f98c16dbf4f9c");
    }
    void preview_columnsListedLineByLine_areUnchanged() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, sha256);
        const Run run =
            cli(QStringList{u"preview"_s, u"--text"_s, u"Hi"_s, u"--columns"_s, u"--count"_s, u"5"_s} + arguments);
        QCOMPARE(run.exit, 0);
        QCOMPARE(QCryptographicHash::hash(run.out, QCryptographicHash::Sha256).toHex(), sha256);
    }

    void preview_refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exit");
        QTest::newRow("no model") << QStringList{u"--text"_s, u"x"_s, u"--columns"_s} << 2;
        QTest::newRow("both models") << QStringList{u"--variant"_s, u"2"_s, u"--generic"_s, u"--columns"_s} << 2;
        QTest::newRow("no variant 5") << QStringList{u"--variant"_s, u"5"_s, u"--columns"_s} << 2;
        QTest::newRow("a 16-LED firmware, 32 LEDs")
            << QStringList{u"--variant"_s, u"2"_s, u"--leds"_s, u"32"_s, u"--columns"_s} << 2;
        QTest::newRow("too slow") << QStringList{u"--generic"_s, u"--rpm"_s, u"10"_s, u"--columns"_s} << 2;
        QTest::newRow("neither -o nor --columns") << QStringList{u"--generic"_s} << 2;
        QTest::newRow("--invert without --dots") << QStringList{u"--generic"_s, u"--invert"_s, u"--columns"_s} << 2;
    }
    void preview_refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exit);
        QCOMPARE(cli(QStringList{u"preview"_s} + arguments).exit, exit);
    }

    void writeToVirtualBoard_boardSeesTheFrame() {
        QTemporaryDir dir;
        QProcess board;
        board.start(QStringLiteral(TAVRIN_CLI), {u"board"_s, u"--out"_s, dir.path()});
        QVERIFY(board.waitForReadyRead(10000));
        const QString device = QString::fromLocal8Bit(board.readLine()).trimmed();
        QVERIFY2(device.startsWith(u"/dev/"_s), qPrintable(device));
        auto nextLine = [&board] {
            for (int i = 0; i < 100 && !board.canReadLine(); ++i) {
                board.waitForReadyRead(100);
            }
            return QString::fromLatin1(board.readLine()).trimmed();
        };

        QCOMPARE(cli({u"write"_s, u"--port"_s, device, u"--text"_s, u"Hello"_s}).exit, 0);
        QCOMPARE(nextLine(), u"write 4100 bytes, 2048 columns"_s);
        QCOMPARE(cli({u"erase"_s, u"--port"_s, device}).exit, 0);
        QCOMPARE(nextLine(), u"erase 4 bytes, 0 columns"_s);

        board.terminate();
        QVERIFY(board.waitForFinished(5000));
        QCOMPARE(board.exitStatus(), QProcess::NormalExit);
        QCOMPARE(board.exitCode(), 0);

        const QString code = dir.filePath(u"code.txt"_s);
        QCOMPARE(cli({u"code"_s, u"--text"_s, u"Hello"_s, u"-o"_s, code}).exit, 0);
        QCOMPARE(cli({u"show"_s, u"--code"_s, code, u"--leds"_s, u"16"_s, u"--scale"_s, u"4"_s, u"-o"_s,
                      dir.filePath(u"expected.png"_s)})
                     .exit,
                 0);
        QCOMPARE(QImage(dir.filePath(u"frame-0001.png"_s)), QImage(dir.filePath(u"expected.png"_s)));
        const QImage erased(dir.filePath(u"frame-0002.png"_s));
        QCOMPARE(erased.size(), QSize(2048 * 4, 16 * 4));
        QCOMPARE(erased.pixel(2, 2), erased.pixel(2 + 4 * 100, 2 + 4 * 7)); // every LED dark alike
    }

    // A project keeps what its options composed, the picture as loaded; options after --project
    // change it as the window would, options before it give way to it.
    void project_composesAsItsOptions_data() {
        QTest::addColumn<QStringList>("made");   // tavrin-cli project's options
        QTest::addColumn<QStringList>("opened"); // the options given with --project P
        QTest::addColumn<QStringList>("plain");  // the same composition without a project
        const QStringList text{u"--leds"_s, u"32"_s,       u"--text"_s, u"Hi 点"_s,  u"--size"_s,
                               u"20"_s,     u"--bigger"_s, u"1"_s,      u"--move"_s, u"right"_s};
        const QStringList picture{u"--picture"_s, u"PIC"_s,       u"--dots"_s, u"threshold"_s, u"--threshold"_s,
                                  u"60"_s,        u"--smaller"_s, u"1"_s,      u"--move"_s,    u"down"_s};
        QTest::newRow("text") << text << QStringList{u"--project"_s, u"P"_s} << text;
        QTest::newRow("picture") << picture << QStringList{u"--project"_s, u"P"_s} << picture;
        QTest::newRow("options after it")
            << text << QStringList{u"--project"_s, u"P"_s, u"--text"_s, u"Yo"_s, u"--move"_s, u"left"_s}
            << QStringList{u"--leds"_s, u"32"_s, u"--text"_s, u"Yo"_s, u"--size"_s, u"21"_s, u"--move"_s, u"left"_s};
        QTest::newRow("options before it")
            << text << QStringList{u"--leds"_s, u"8"_s, u"--text"_s, u"Yo"_s, u"--project"_s, u"P"_s} << text;
        const QStringList prepared{u"--picture"_s, u"PIC"_s,         u"--crop"_s,     u"5,2,40,20"_s, u"--turn"_s,
                                   u"90"_s,        u"--flip"_s,      u"left-right"_s, u"--fit"_s,     u"height"_s,
                                   u"--mirror"_s,  u"upside-down"_s, u"--move"_s,     u"down"_s};
        const QStringList round{u"--leds"_s, u"32"_s,  u"--picture"_s,        u"PIC"_s, u"--round"_s,     u"generic"_s,
                                u"--rpm"_s,  u"900"_s, u"--per-revolution"_s, u"64"_s,  u"--top-inside"_s};
        QTest::newRow("prepared and mirrored") << prepared << QStringList{u"--project"_s, u"P"_s} << prepared;
        QTest::newRow("round") << round << QStringList{u"--project"_s, u"P"_s} << round;
        QTest::newRow("preparation after it")
            << prepared << QStringList{u"--project"_s, u"P"_s,      u"--turn"_s,   u"180"_s,
                                       u"--fit"_s,     u"inside"_s, u"--mirror"_s, u"left-right"_s}
            << QStringList{u"--picture"_s, u"PIC"_s,        u"--crop"_s,     u"5,2,40,20"_s, u"--turn"_s,
                           u"180"_s,       u"--flip"_s,     u"left-right"_s, u"--fit"_s,     u"inside"_s,
                           u"--mirror"_s,  u"left-right"_s, u"--move"_s,     u"down"_s};
        QTest::newRow("other dots for the picture as loaded")
            << picture << QStringList{u"--project"_s, u"P"_s, u"--dots"_s, u"diffusion"_s}
            << QStringList{u"--picture"_s, u"PIC"_s,       u"--dots"_s, u"diffusion"_s, u"--threshold"_s,
                           u"60"_s,        u"--smaller"_s, u"1"_s,      u"--move"_s,    u"down"_s};
    }
    void project_composesAsItsOptions() {
        QFETCH(QStringList, made);
        QFETCH(QStringList, opened);
        QFETCH(QStringList, plain);
        QTemporaryDir dir;
        QImage image(60, 30, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                image.setPixel(x, y, qRgb(x * 4, y * 8, 0));
            }
        }
        QVERIFY(image.save(dir.filePath(u"p.png"_s)));
        const auto paths = [&dir](QStringList arguments) {
            arguments.replaceInStrings(QRegularExpression(u"^PIC$"_s), dir.filePath(u"p.png"_s));
            return arguments.replaceInStrings(QRegularExpression(u"^P$"_s), dir.filePath(u"p.tavrin"_s));
        };
        const Run saved = cli(QStringList{u"project"_s, u"-o"_s, dir.filePath(u"p.tavrin"_s)} + paths(made));
        QVERIFY2(saved.exit == 0, qPrintable(saved.err));
        const Run fromProject = cli(QStringList{u"code"_s} + paths(opened));
        const Run fromOptions = cli(QStringList{u"code"_s} + paths(plain));
        QVERIFY2(fromProject.exit == 0 && fromOptions.exit == 0, qPrintable(fromProject.err + fromOptions.err));
        QCOMPARE(fromProject.out, fromOptions.out);
        QVERIFY(QString::fromLatin1(fromProject.out).contains(QRegularExpression(u"[1-9a-f]"_s))); // not all dark
    }

    // The firmware a project chose for the export is the HEX command's, unless one is given after it.
    void hexOfProject_usesItsFirmware() {
        QTemporaryDir dir;
        const QString project = dir.filePath(u"p.tavrin"_s);
        QCOMPARE(cli({u"project"_s, u"--text"_s, u"Hi"_s, u"--variant"_s, u"22"_s, u"-o"_s, project}).exit, 0);
        QCOMPARE(cli({u"hex"_s, u"--project"_s, project, u"-o"_s, dir.filePath(u"a.hex"_s)}).exit, 0);
        QCOMPARE(cli({u"hex"_s, u"--text"_s, u"Hi"_s, u"--variant"_s, u"22"_s, u"-o"_s, dir.filePath(u"b.hex"_s)}).exit,
                 0);
        QFile a(dir.filePath(u"a.hex"_s));
        QFile b(dir.filePath(u"b.hex"_s));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), b.readAll());
        const Run refused = cli({u"code"_s, u"--project"_s, dir.filePath(u"a.hex"_s)});
        QCOMPARE(refused.exit, 1);
        QVERIFY2(refused.err.contains(u"cannot open project"_s) && refused.err.contains(u"not JSON"_s),
                 qPrintable(refused.err));
    }

    // The window and the command line compose the same canvas from the same steps.
    // What the picture options ask for is what the preparation makes of the picture.
    void pictureOptions_reachThePreparation_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("leds");
        QTest::addColumn<PictureSettings>("settings");
        QTest::addColumn<Mirror>("mirror");
        PictureSettings settings;
        settings.crop = QRect(4, 2, 30, 16);
        settings.turn = 90;
        settings.mirror = {true, true};
        settings.fit = Fit::Height;
        settings.dots = {DotMethod::Threshold, 100, true};
        QTest::newRow("crop, turn, flip, fit, dots")
            << QStringList{u"--crop"_s,     u"4,2,30,16"_s, u"--turn"_s,      u"90"_s,    u"--flip"_s,
                           u"left-right"_s, u"--flip"_s,    u"upside-down"_s, u"--fit"_s, u"height"_s,
                           u"--dots"_s,     u"threshold"_s, u"--threshold"_s, u"100"_s,   u"--invert"_s}
            << 24 << settings << Mirror{};
        settings = {};
        settings.autoCrop = true;
        settings.fit = Fit::Scale;
        settings.scalePercent = 250;
        QTest::newRow("auto-crop, scale, mirrored canvas")
            << QStringList{u"--auto-crop"_s, u"--scale"_s, u"250"_s, u"--mirror"_s, u"left-right"_s} << 8 << settings
            << Mirror{true, false};
        settings = {};
        settings.round = {true, 2, 2400, 100, true};
        QTest::newRow("round for board 2")
            << QStringList{u"--round"_s, u"2"_s, u"--rpm"_s, u"2400"_s, u"--top-inside"_s} << 16 << settings
            << Mirror{};
        settings = {};
        settings.round = {true, -1, 1200, 60, false};
        settings.fit = Fit::Inside; // not read for a round picture
        QTest::newRow("round, generic") << QStringList{u"--round"_s, u"generic"_s, u"--per-revolution"_s, u"60"_s} << 32
                                        << settings << Mirror{false, true};
    }
    void pictureOptions_reachThePreparation() {
        QFETCH(QStringList, arguments);
        QFETCH(int, leds);
        QFETCH(PictureSettings, settings);
        QFETCH(Mirror, mirror);
        QTemporaryDir dir;
        QImage image(50, 30, QImage::Format_ARGB32);
        image.fill(Qt::white);
        for (int i = 0; i < 30; ++i) {
            image.setPixel(i + 10, i, qRgb(255, 0, 0));
            image.setPixel(10, i, qRgb(0, 0, 0));
        }
        const QString picture = dir.filePath(u"p.png"_s);
        QVERIFY(image.save(picture));
        const QString output = dir.filePath(u"c.png"_s);
        if (mirror.upsideDown) {
            arguments << u"--mirror"_s << u"upside-down"_s;
        }
        const Run run =
            cli(QStringList{u"canvas"_s, u"--leds"_s, QString::number(leds), u"--picture"_s, picture, u"-o"_s, output} +
                arguments);
        QVERIFY2(run.exit == 0, qPrintable(run.err));

        Composer composer;
        composer.applyLedCount(leds);
        composer.run(QString(), QString(), 12);
        composer.switchMode();
        const ShapedPicture shaped = tavrin::preview::shapeForCanvas(
            QImage(picture).convertToFormat(QImage::Format_ARGB32), settings, leds, composer.canvas().widthDots());
        QCOMPARE(shaped.problem, ShapedPicture::None);
        composer.setPicture(makeDots(shaped.image, settings.dots));
        composer.setMirror(mirror);
        QCOMPARE(QImage(output).convertToFormat(QImage::Format_RGB32), composer.render());
    }

    void badPictureSettings_exit1InEnglish_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("crop outside") << QStringList{u"--crop"_s, u"10,10,80,5"_s}
                                      << u"the crop 10,10,80,5 reaches past the picture, which is 80 × 50 pixels"_s;
        QTest::newRow("crop of nothing") << QStringList{u"--crop"_s, u"0,0,0,5"_s} << u"the crop 0,0,0,5 is empty"_s;
        QTest::newRow("scale too large") << QStringList{u"--scale"_s, u"10000"_s}
                                         << u"the prepared picture would be 8000 × 5000 dots, larger than"_s;
        QTest::newRow("frame past the last")
            << QStringList{u"--frame"_s, u"2"_s} << u"there is no frame 2: the picture has one frame"_s;
    }
    void badPictureSettings_exit1InEnglish() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QImage image(80, 50, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString picture = dir.filePath(u"p.png"_s);
        QVERIFY(image.save(picture));
        const Run run = cli(QStringList{u"code"_s, u"--picture"_s, picture} + arguments);
        QCOMPARE(run.exit, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.err.count(u'\n'), 1);
        QVERIFY(run.out.isEmpty());
    }

    void pattern_isTheTestPatternAsAnyComposition() {
        QTemporaryDir dir;
        const QString output = dir.filePath(u"pattern.png"_s);
        QCOMPARE(cli({u"pattern"_s, u"--leds"_s, u"24"_s, u"--mirror"_s, u"left-right"_s, u"-o"_s, output}).exit, 0);
        Composer composer;
        composer.applyLedCount(24);
        composer.run(QString(), QString(), 12);
        composer.switchMode();
        composer.setPicture(testPattern(24, composer.canvas().widthDots()));
        composer.setMirror({true, false});
        QCOMPARE(QImage(output).convertToFormat(QImage::Format_RGB32), composer.render());
        const Run code = cli({u"pattern"_s, u"code"_s, u"--leds"_s, u"24"_s, u"--mirror"_s, u"left-right"_s});
        QCOMPARE(code.exit, 0);
        QCOMPARE(QString::fromLatin1(code.out).trimmed(), scanPng(output, 24));
    }

    void windowAndCli_giveTheSameCode() {
        QTemporaryDir dir;
        const QString picture = dir.filePath(u"p.bmp"_s);
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::black);
        for (int i = 0; i < 20; ++i) {
            image.setPixel(i * 2, i, qRgb(255, 0, 0));
        }
        QVERIFY(image.save(picture));

        PtyPair board(PtyPair::LeftToSender);
        qputenv("TAVRIN_SERIAL_PORTS", board.slavePath().toLocal8Bit());
        const QString home = QDir::currentPath();
        QDir::setCurrent(dir.path());
        tavrin::app::Form1 form;
        QDir::setCurrent(home);
        auto press = [&form](const QString &name, int times = 1) {
            for (int i = 0; i < times; ++i) {
                form.findChild<QPushButton *>(name)->click();
            }
        };
        auto writeAndReadCode = [&form] {
            BoxAnswerer ok(QMessageBox::Ok);
            form.findChild<QPushButton *>(u"Command14_2"_s)->click();
            if (!tavrin::testing::sendEnded(form)) {
                return QString();
            }
            return form.findChild<QLineEdit *>(u"Text3"_s)->text();
        };

        // Text: 32 LEDs, a font from the list, size 20, two larger steps, moved left and up.
        auto *combo = form.findChild<QComboBox *>(u"Combo2"_s);
        combo->setCurrentIndex(3);
        form.Combo2_Click();
        auto *fonts = form.findChild<QListWidget *>(u"List1"_s);
        // Listed under its Chinese name in the Chinese window; the CLI takes the font system's name.
        const QString family = u"WenQuanYi Zen Hei"_s;
        const QModelIndexList listed =
            fonts->model()->match(fonts->model()->index(0, 0), Qt::UserRole, family, 1, Qt::MatchExactly);
        QCOMPARE(listed.size(), 1);
        fonts->setCurrentRow(listed.constFirst().row());
        form.findChild<QSlider *>(u"Slider2"_s)->setValue(20);
        form.findChild<QPlainTextEdit *>(u"Text1"_s)->setPlainText(u"点阵\n屏 Go"_s);
        press(u"Command9_4"_s, 2);
        press(u"Command9_2"_s);
        press(u"Command9_0"_s);
        const QString windowText = writeAndReadCode();
        const Run cliText =
            cli({u"code"_s, u"--leds"_s, u"32"_s, u"--font"_s, family, u"--size"_s, u"20"_s, u"--text"_s,
                 u"点阵\n屏 Go"_s, u"--bigger"_s, u"2"_s, u"--move"_s, u"left"_s, u"--move"_s, u"up"_s});
        QCOMPARE(cliText.exit, 0);
        QCOMPARE(QString::fromLatin1(cliText.out).trimmed(), windowText);

        // Picture: 16 LEDs, one smaller step, moved right.
        combo->setCurrentIndex(1);
        form.Combo2_Click();
        {
            FileDialogAnswerer answer(picture);
            press(u"Command9_6"_s);
        }
        press(u"Command9_5"_s);
        press(u"Command9_3"_s);
        const QString windowPicture = writeAndReadCode();
        const Run cliPicture = cli({u"code"_s, u"--picture"_s, picture, u"--smaller"_s, u"1"_s, u"--move"_s, u"right"_s,
                                    u"--text"_s, u"点阵\n屏 Go"_s, u"--font"_s, family, u"--size"_s, u"22"_s});
        QCOMPARE(cliPicture.exit, 0);
        QCOMPARE(QString::fromLatin1(cliPicture.out).trimmed(), windowPicture);
        QVERIFY(windowPicture.contains(u'8'));
    }
};

QTEST_MAIN(CliTest)
#include "tst_cli.moc"
