#include <csignal>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QThread>

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

// A run whose peak memory is measured: the largest resident set the process had, as the system
// counts it when the process ends.
struct Measured {
    int exit = -1; // -1: ended by a signal
    QString err;
    qint64 peakMegabytes = 0;
};

Measured measuredCli(const QStringList &arguments, const QString &workdir, const QString &stdoutPath = u"/dev/null"_s,
                     const std::function<void()> &whileRunning = {}) {
    // Everything the child needs is made before the fork: after it, only plain system calls.
    QList<QByteArray> words{QByteArrayLiteral(TAVRIN_CLI)};
    for (const QString &argument : arguments) {
        words.append(argument.toUtf8());
    }
    std::vector<char *> argv;
    for (QByteArray &word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    QTemporaryFile errors;
    if (!errors.open()) {
        return {};
    }
    const QByteArray dir = QFile::encodeName(workdir);
    const QByteArray out = QFile::encodeName(QDir(workdir).absoluteFilePath(stdoutPath));
    const QByteArray err = QFile::encodeName(errors.fileName());
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int outFd = ::open(out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int errFd = ::open(err.constData(), O_WRONLY | O_TRUNC);
        if (outFd < 0 || errFd < 0 || ::chdir(dir.constData()) != 0 || ::dup2(outFd, STDOUT_FILENO) < 0 ||
            ::dup2(errFd, STDERR_FILENO) < 0) {
            ::_exit(127);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    // A run that hangs is stopped after two minutes, so that it fails the test and not the suite.
    for (int polls = 0; ::wait4(pid, &status, WNOHANG, &usage) == 0; ++polls) {
        if (whileRunning) {
            whileRunning();
        }
        if (polls == 2400) {
            ::kill(pid, SIGKILL);
        }
        QThread::msleep(50);
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, QString::fromUtf8(errors.readAll()),
            qint64(usage.ru_maxrss) / 1024};
}

// The most memory a whole process may take on any input. Built with the sanitizers, freed memory
// waits in their quarantine (256 MB) and they add shadow memory of their own.
#ifdef TAVRIN_SANITIZED
constexpr qint64 mostMegabytes = 800;
#else
constexpr qint64 mostMegabytes = 300;
#endif

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
        writeFile(path(u"2052-columns.code"_s), QByteArray(8208, 'f'));
        QByteArray full;
        for (int i = 0; i < 2048 * 4; ++i) {
            full += "0123456789abcdef"[(i * 7 + i / 5) % 16];
        }
        writeFile(path(u"full.code"_s), full);
        // 8 MB: 2000 letters, each under 2000 combining accents.
        writeFile(path(u"accents.txt"_s), (u"a"_s + QString(2000, QChar(0x0301))).repeated(2000).toUtf8());
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
        QTest::newRow("HEX from a sparse file") << QStringList{u"show"_s, u"--hex"_s, u"sparse"_s, u"-o"_s, u"x.png"_s}
                                                << u"sparse is far larger than any 64 KB HEX image"_s;
        QTest::newRow("HEX from /dev/zero") << QStringList{u"show"_s, u"--hex"_s, u"/dev/zero"_s, u"-o"_s, u"x.png"_s}
                                            << u"cannot read /dev/zero: it is a device, not a regular file"_s;
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

    // One rule for a code file, whoever reads it: whole columns, no more than the canvas holds, in
    // the same words; an empty one exports the firmware alone but draws nothing.
    void codeFile_oneRuleForShowPreviewAndHex_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("exported");
        QTest::newRow("one digit") << u"odd.code"_s
                                   << u"the content code has 1 digits, which is not a whole number of 4-digit "
                                      u"columns for 16 LEDs"_s
                                   << false;
        QTest::newRow("three digits") << u"three.code"_s << u"the content code has 3 digits"_s << false;
        QTest::newRow("2052 columns") << u"2052-columns.code"_s
                                      << u"the content code has 2052 columns, more than the 2048 of a 16-LED canvas"_s
                                      << false;
        QTest::newRow("empty") << u"empty.code"_s << u"the content code is empty"_s << true;
        QTest::newRow("one column") << u"column.code"_s << QString() << true;
    }
    void codeFile_oneRuleForShowPreviewAndHex() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(bool, exported);
        HostileFiles files;
        const Run hex = cli({u"hex"_s, u"--variant"_s, u"2"_s, u"--code"_s, file, u"-o"_s, u"out.hex"_s}, files.dir());
        const Run show = cli({u"show"_s, u"--code"_s, file, u"--leds"_s, u"16"_s, u"-o"_s, u"out.png"_s}, files.dir());
        const Run preview =
            cli({u"preview"_s, u"--variant"_s, u"22"_s, u"--code"_s, file, u"-o"_s, u"spin.png"_s}, files.dir());
        QCOMPARE(show.exit, message.isEmpty() ? 0 : 1);
        QCOMPARE(preview.exit, show.exit);
        QVERIFY2(show.err.contains(message), qPrintable(show.err));
        QCOMPARE(preview.err.section(u": "_s, 1), show.err.section(u": "_s, 1));
        QCOMPARE(hex.exit, exported ? 0 : 1);
        QCOMPARE(QFile::exists(files.path(u"out.hex"_s)), exported);
        if (!exported) {
            QCOMPARE(hex.err.section(u": "_s, 1), show.err.section(u": "_s, 1));
        }
    }

    // An empty code exports each firmware with no content: its template, the length word where it
    // reads one, one record of zero bytes and the end.
    void emptyCode_exportsTheFirmwareAlone_data() {
        QTest::addColumn<int>("variant");
        QTest::addColumn<int>("lines");
        QTest::newRow("0") << 0 << 12;
        QTest::newRow("1") << 1 << 18;
        QTest::newRow("2") << 2 << 41;
        QTest::newRow("3") << 3 << 41;
        QTest::newRow("22") << 22 << 41;
        QTest::newRow("33") << 33 << 40;
    }
    void emptyCode_exportsTheFirmwareAlone() {
        QFETCH(int, variant);
        QFETCH(int, lines);
        HostileFiles files;
        const Run run = cli(
            {u"hex"_s, u"--variant"_s, QString::number(variant), u"--code"_s, u"empty.code"_s, u"-o"_s, u"out.hex"_s},
            files.dir());
        QCOMPARE(run.exit, 0);
        QFile hex(files.path(u"out.hex"_s));
        QVERIFY(hex.open(QIODevice::ReadOnly));
        const QByteArray text = hex.readAll();
        QCOMPARE(text.count("\r\n"), lines);
        QVERIFY(text.endsWith(":10028000000000000000000000000000000000006E\r\n:00000001FF\r\n"));
    }

    // The preview's work has a limit, stated when a run would pass it; within it the memory stays
    // flat, the listing written as it is made.
    void previewWork_boundedOrRefused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("message");
        const QStringList hi{u"preview"_s, u"--text"_s, u"Hi"_s};
        QTest::newRow("100000 columns a revolution")
            << (hi + QStringList{u"--generic"_s, u"--per-revolution"_s, u"100000"_s, u"--columns"_s, u"--count"_s,
                                 u"1000"_s})
            << 2 << u"--per-revolution must be a number from 1 to 4096"_s;
        QTest::newRow("a listing of 41 million columns")
            << (hi +
                QStringList{u"--generic"_s, u"--per-revolution"_s, u"4096"_s, u"--columns"_s, u"--count"_s, u"10000"_s})
            << 2 << u"10000 revolutions of up to 4096 columns are 40 million columns, more than the 10 million"_s;
        QTest::newRow("board 22, 100000 revolutions listed")
            << (hi + QStringList{u"--variant"_s, u"22"_s, u"--columns"_s, u"--count"_s, u"100000"_s}) << 2
            << u"more than the 10 million a listing holds"_s;
        QTest::newRow("board 0, 90000 revolutions listed from revolution 10^8")
            << (hi + QStringList{u"--variant"_s, u"0"_s, u"--revolution"_s, u"100000000"_s, u"--columns"_s,
                                 u"--count"_s, u"90000"_s})
            << 0 << QString();
        QTest::newRow("200 frames of 4096 pixels") << (hi + QStringList{u"--variant"_s, u"22"_s, u"--count"_s, u"200"_s,
                                                                        u"--pixels"_s, u"4096"_s, u"-o"_s, u"frames"_s})
                                                   << 2 << u"more than the 250 million a preview draws"_s;
        QTest::newRow("many small frames of many columns")
            << (hi + QStringList{u"--generic"_s, u"--per-revolution"_s, u"4096"_s, u"--rpm"_s, u"6000"_s,
                                 u"--persistence"_s, u"1000"_s, u"--pixels"_s, u"64"_s, u"--count"_s, u"1000"_s,
                                 u"-o"_s, u"frames"_s})
            << 2 << u"more than the 250 million a preview draws"_s;
    }
    void previewWork_boundedOrRefused() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exit);
        QFETCH(QString, message);
        HostileFiles files;
        const Measured run = measuredCli(arguments, files.dir());
        QCOMPARE(run.exit, exit);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY2(run.peakMegabytes < mostMegabytes, qPrintable(QString::number(run.peakMegabytes)));
        QVERIFY(!QFile::exists(files.path(u"frames"_s)));
    }

    // A reader that holds the FIFO open but never reads, or goes away: one line with the reason.
    void outputToAFifo_givenUpWhenItStopsTaking_data() {
        QTest::addColumn<bool>("readerLeaves");
        QTest::addColumn<QString>("message");
        QTest::newRow("never reads") << false << u"cannot write fifo: it took nothing for 5 s"_s;
        QTest::newRow("goes away") << true << u"cannot write fifo: Broken pipe"_s;
    }
    void outputToAFifo_givenUpWhenItStopsTaking() {
        QFETCH(bool, readerLeaves);
        QFETCH(QString, message);
        HostileFiles files;
        int reader = ::open(QFile::encodeName(files.path(u"fifo"_s)).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(reader >= 0);
        // The picture is larger than the pipe holds. The reader leaves once the first bytes have come,
        // so that the program has opened the FIFO.
        const auto leave = [&reader, readerLeaves] {
            pollfd wanted{reader, POLLIN, 0};
            if (readerLeaves && reader >= 0 && ::poll(&wanted, 1, 0) == 1) {
                ::close(reader);
                reader = -1;
            }
        };
        const Measured run =
            measuredCli({u"show"_s, u"--code"_s, u"full.code"_s, u"--scale"_s, u"24"_s, u"-o"_s, u"fifo"_s},
                        files.dir(), u"/dev/null"_s, leave);
        if (reader >= 0) {
            ::close(reader);
        }
        QCOMPARE(run.exit, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(lineCount(run.err), 1);
        QCOMPARE(fileType(files.path(u"fifo"_s)), mode_t(S_IFIFO));
    }

    // Thousands of accents on one letter: measured as writing is, the canvas as for the letters.
    void textOfLongAccentRuns_isComposed() {
        HostileFiles files;
        const Measured run = measuredCli({u"code"_s, u"--text-file"_s, u"accents.txt"_s}, files.dir(), u"code.txt"_s);
        QCOMPARE(run.exit, 0);
        QVERIFY2(run.peakMegabytes < mostMegabytes, qPrintable(QString::number(run.peakMegabytes)));
        QFile code(files.path(u"code.txt"_s));
        QVERIFY(code.open(QIODevice::ReadOnly));
        QCOMPARE(code.readAll().trimmed().size(), 2048 * 4);
    }

    // Memory that runs out mid-command: one line and exit 1, never an abort.
    void memoryThatRunsOut_isOneLine() {
#ifdef TAVRIN_FAILALLOC
        HostileFiles files;
        writeFile(files.path(u"long.txt"_s), QByteArray(8 * 1024 * 1024, 'a'));
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LD_PRELOAD"_s, QStringLiteral(TAVRIN_FAILALLOC));
        environment.insert(u"FAILALLOC_ABOVE"_s, u"12000000"_s); // the text as UTF-16 takes 16 MB
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(files.dir());
        process.start(QStringLiteral(TAVRIN_CLI), {u"code"_s, u"--text-file"_s, u"long.txt"_s});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
                 u"tavrin-cli code: there is not enough memory to go on\n"_s);
#else
        QSKIP("a preloaded allocator does not mix with the sanitizers' own");
#endif
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
