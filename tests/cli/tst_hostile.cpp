#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// tavrin-cli against inputs and outputs that are not what they seem: each ends within seconds
// with one line on stderr and the right exit status, or with a correct result.
namespace {

struct Run {
    int exit = -1;
    QByteArray out;
    QString err;
    qint64 milliseconds = 0;
};

Run cli(const QStringList &arguments, const QString &workdir, const QString &stdoutFile = {}) {
    QProcess process;
    process.setWorkingDirectory(workdir);
    if (!stdoutFile.isEmpty()) {
        process.setStandardOutputFile(stdoutFile);
    }
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(TAVRIN_CLI), arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError()), clock.elapsed()};
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

bool makeFifo(const QString &path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

mode_t fileType(const QString &path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

// A work folder holding every hostile file the rows name.
class HostileFiles {
public:
    HostileFiles() {
        QFile sparse(path(u"sparse"_s));
        if (sparse.open(QIODevice::WriteOnly)) {
            sparse.resize(qint64(3) << 30);
        }
        makeFifo(path(u"fifo"_s));
        QImage wide(16384, 4096, QImage::Format_Mono);
        wide.fill(0);
        wide.save(path(u"wide.png"_s));
        // Screen 65535 x 0 with one 1 x 1023 frame: decoded onto the whole screen.
        writeFile(path(u"zero.gif"_s), QByteArray("GIF89a") + QByteArray::fromHex("ffff0000800000ff000000ff00") +
                                           QByteArray::fromHex("2c000000000100ff030002024400") + ';');
        QImage small(8, 8, QImage::Format_RGB32);
        small.fill(Qt::red);
        small.save(path(u"small.png"_s));
        QFile png(path(u"small.png"_s));
        png.open(QIODevice::ReadOnly);
        writeFile(path(u"cut.png"_s), png.read(40));
        writeFile(path(u"odd.code"_s), "f");
        writeFile(path(u"three.code"_s), "fff\n");
        writeFile(path(u"empty.code"_s), "\n");
        writeFile(path(u"column.code"_s), "f00f\n");
        writeFile(path(u"long%2.code"_s), QByteArray(8212, 'f'));
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

int lineCount(const QString &text) {
    return int(text.count(u'\n'));
}

} // namespace

class HostileInputTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void unusableInput_oneLineExit1_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QStringList code{u"code"_s, u"--text-file"_s};
        QTest::newRow("text from /dev/zero")
            << (code + QStringList{u"/dev/zero"_s}) << u"cannot read /dev/zero: it is a device, not a regular file"_s;
        QTest::newRow("text from a 3 GB sparse file")
            << (code + QStringList{u"sparse"_s}) << u"cannot read sparse: it is larger than 8388608 bytes"_s;
        QTest::newRow("text from a FIFO nobody writes to")
            << (code + QStringList{u"fifo"_s}) << u"cannot read fifo: nothing came through it for 5 s"_s;
        QTest::newRow("hex code from /dev/zero")
            << QStringList{u"hex"_s, u"--variant"_s, u"2"_s, u"--code"_s, u"/dev/zero"_s, u"-o"_s, u"x.hex"_s}
            << u"cannot read /dev/zero: it is a device"_s;
        QTest::newRow("hex code from a sparse file")
            << QStringList{u"hex"_s, u"--variant"_s, u"2"_s, u"--code"_s, u"sparse"_s, u"-o"_s, u"x.hex"_s}
            << u"cannot read sparse: it is larger than"_s;
        // A name holding a placeholder stays as it is in the message.
        QTest::newRow("a code longer than the largest canvas")
            << QStringList{u"show"_s, u"--code"_s, u"long%2.code"_s, u"--leds"_s, u"16"_s, u"-o"_s, u"x.png"_s}
            << u"long%2.code holds 8212 digits, more than the largest canvas's 8208"_s;
        QTest::newRow("HEX from a FIFO nobody writes to")
            << QStringList{u"show"_s, u"--hex"_s, u"fifo"_s, u"--leds"_s, u"16"_s, u"-o"_s, u"x.png"_s}
            << u"cannot read fifo: nothing came through it for 5 s"_s;
        QTest::newRow("picture from a FIFO")
            << QStringList{u"canvas"_s, u"--picture"_s, u"fifo"_s, u"-o"_s, u"x.png"_s}
            << u"cannot use fifo as a picture: it is a pipe or FIFO, not a regular file"_s;
        QTest::newRow("picture of 16384 x 4096") << QStringList{u"code"_s, u"--picture"_s, u"wide.png"_s}
                                                 << u"cannot use wide.png as a picture: the picture is 16384 × 4096 "
                                                    u"dots, larger than can be handled (at most "
                                                    u"16384 on a side and 64 MB)"_s;
        QTest::newRow("GIF with a zero side")
            << QStringList{u"code"_s, u"--picture"_s, u"zero.gif"_s} << u"the picture is 65535 × 1023 dots"_s;
        QTest::newRow("damaged PNG: libpng stays quiet")
            << QStringList{u"code"_s, u"--picture"_s, u"cut.png"_s}
            << u"tavrin-cli code: cannot use cut.png as a picture: the picture is damaged or incomplete"_s;
    }
    void unusableInput_oneLineExit1() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        HostileFiles files;
        const Run run = cli(arguments, files.dir());
        QCOMPARE(run.exit, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(lineCount(run.err), 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.milliseconds < 15000, qPrintable(QString::number(run.milliseconds)));
    }

    void textThroughAPipe_isRead() {
        HostileFiles files;
        QProcess writer; // its open waits for the reader, as a shell's writer into a FIFO does
        writer.setWorkingDirectory(files.dir());
        writer.start(u"/bin/sh"_s, {u"-c"_s, u"printf Hi > fifo"_s});
        const Run piped = cli({u"code"_s, u"--text-file"_s, u"fifo"_s}, files.dir());
        writer.waitForFinished();
        const Run direct = cli({u"code"_s, u"--text"_s, u"Hi"_s}, files.dir());
        QCOMPARE(piped.exit, 0);
        QCOMPARE(piped.out, direct.out);
    }

    // The window's code box and the HEX export read the same code as show: a code that is not
    // whole columns, or no code at all, is refused in the same words.
    void codeFile_hexRefusesWhatShowRefuses_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("one digit") << u"odd.code"_s
                                   << u"the content code has 1 digits, which is not a whole number of 4-digit "
                                      u"columns for 16 LEDs"_s;
        QTest::newRow("three digits") << u"three.code"_s << u"the content code has 3 digits"_s;
        QTest::newRow("empty") << u"empty.code"_s << u"the content code is empty"_s;
        QTest::newRow("one column") << u"column.code"_s << QString();
    }
    void codeFile_hexRefusesWhatShowRefuses() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        HostileFiles files;
        const Run hex = cli({u"hex"_s, u"--variant"_s, u"2"_s, u"--code"_s, file, u"-o"_s, u"out.hex"_s}, files.dir());
        const Run show = cli({u"show"_s, u"--code"_s, file, u"--leds"_s, u"16"_s, u"-o"_s, u"out.png"_s}, files.dir());
        QCOMPARE(hex.exit, message.isEmpty() ? 0 : 1);
        QCOMPARE(show.exit, hex.exit);
        QVERIFY2(hex.err.contains(message), qPrintable(hex.err));
        QCOMPARE(hex.err.section(u": "_s, 1), show.err.section(u": "_s, 1));
        QCOMPARE(QFile::exists(files.path(u"out.hex"_s)), message.isEmpty());
    }

    void ledCountOfNoBoard_isAUsageErrorEverywhere_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("code") << QStringList{u"code"_s, u"--leds"_s, u"12"_s};
        QTest::newRow("canvas") << QStringList{u"canvas"_s, u"--leds"_s, u"12"_s, u"-o"_s, u"x.png"_s};
        QTest::newRow("show") << QStringList{u"show"_s, u"--code"_s, u"column.code"_s, u"--leds"_s,
                                             u"12"_s,   u"-o"_s,     u"x.png"_s};
    }
    void ledCountOfNoBoard_isAUsageErrorEverywhere() {
        QFETCH(QStringList, arguments);
        HostileFiles files;
        const Run run = cli(arguments, files.dir());
        QCOMPARE(run.exit, 2);
        QVERIFY2(run.err.contains(u"--leds must be 8, 16, 24 or 32"_s), qPrintable(run.err));
    }

    void output_isNeverReplacedWhenNotARegularFile_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        QTest::newRow("a FIFO nobody reads") << u"fifo"_s << 1 << u"cannot write fifo: nothing is reading from it"_s;
        QTest::newRow("/dev/full") << u"/dev/full"_s << 1 << u"cannot write /dev/full: No space left on device"_s;
        QTest::newRow("a folder") << u"."_s << 1 << u"cannot write .: it is a directory"_s;
        QTest::newRow("no name") << QString() << 2 << u"-o needs a file name"_s;
        QTest::newRow("a regular file") << u"out.code"_s << 0 << QString();
    }
    void output_isNeverReplacedWhenNotARegularFile() {
        QFETCH(QString, output);
        QFETCH(int, exit);
        QFETCH(QString, message);
        HostileFiles files;
        const Run run = cli({u"code"_s, u"--text"_s, u"Hi"_s, u"-o"_s, output}, files.dir());
        QCOMPARE(run.exit, exit);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(fileType(files.path(u"fifo"_s)), mode_t(S_IFIFO));
        QCOMPARE(fileType(u"/dev/full"_s), mode_t(S_IFCHR));
    }

    void output_privateDeviceNodeIsWrittenInPlace() {
        if (::geteuid() != 0) {
            QSKIP("making a device node needs root");
        }
        HostileFiles files;
        const QString node = files.path(u"null"_s);
        // A copy of /dev/null (character device 1, 3) in the test's own folder.
        QVERIFY(::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0);
        const Run run = cli({u"canvas"_s, u"--text"_s, u"Hi"_s, u"-o"_s, node}, files.dir());
        QCOMPARE(run.exit, 0);
        QCOMPARE(fileType(node), mode_t(S_IFCHR));
    }

    void standardOutputThatFails_exits1_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("code") << QStringList{u"code"_s, u"--text"_s, u"Hi"_s}
                              << u"tavrin-cli code: cannot write to standard output: No space left on device\n"_s;
        QTest::newRow("preview --columns")
            << QStringList{u"preview"_s, u"--variant"_s, u"0"_s,       u"--text"_s,
                           u"Hi"_s,      u"--columns"_s, u"--count"_s, u"50"_s}
            << u"tavrin-cli preview: cannot write to standard output: No space left on device\n"_s;
        QTest::newRow("--version") << QStringList{u"--version"_s}
                                   << u"tavrin-cli: cannot write to standard output: No space left on device\n"_s;
        QTest::newRow("--help") << QStringList{u"--help"_s}
                                << u"tavrin-cli: cannot write to standard output: No space left on device\n"_s;
    }
    void standardOutputThatFails_exits1() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        HostileFiles files;
        const Run run = cli(arguments, files.dir(), u"/dev/full"_s);
        QCOMPARE(run.exit, 1);
        QCOMPARE(run.err, message);
    }

    // Past 2^25 pixels the text's width used to wrap to 0: a blank canvas and an all-zero code.
    void lineWiderThanTheFontEngineCounts_isNotBlank() {
        HostileFiles files;
        writeFile(files.path(u"long.txt"_s), u"旋"_s.repeated(910'000).toUtf8());
        const Run run = cli({u"code"_s, u"--text-file"_s, u"long.txt"_s, u"--size"_s, u"28"_s}, files.dir());
        QCOMPARE(run.exit, 0);
        const QByteArray code = run.out.trimmed();
        QCOMPARE(code.size(), 2048 * 4);
        QVERIFY(code.count('0') < code.size() * 9 / 10);
    }
};

QTEST_GUILESS_MAIN(HostileInputTest)
#include "tst_hostile.moc"
