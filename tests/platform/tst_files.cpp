#include "platform/files.h"

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using tavrin::platform::FileFault;
using tavrin::platform::FileRead;

namespace {

QByteArray name(const QString &path) {
    return QFile::encodeName(path);
}

bool isCharDevice(const QString &path) {
    struct stat info {};
    return ::lstat(name(path).constData(), &info) == 0 && S_ISCHR(info.st_mode);
}

bool isFifo(const QString &path) {
    struct stat info {};
    return ::lstat(name(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

// Writes to a FIFO from another thread; endless writes until the reader goes away.
class FifoWriter {
public:
    FifoWriter(const QString &path, QByteArray bytes, bool endless)
        : m_thread([path, bytes, endless] {
            const int fd = ::open(name(path).constData(), O_WRONLY);
            if (fd < 0) {
                return;
            }
            do {
                if (::write(fd, bytes.constData(), size_t(bytes.size())) < 0) {
                    break;
                }
            } while (endless);
            ::close(fd);
        }) {}
    ~FifoWriter() { m_thread.join(); }
    FifoWriter(const FifoWriter &) = delete;
    FifoWriter &operator=(const FifoWriter &) = delete;

private:
    std::thread m_thread;
};

} // namespace

class TestFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { std::signal(SIGPIPE, SIG_IGN); }

    void readsRegularFilesWithinTheLimit_data();
    void readsRegularFilesWithinTheLimit();
    void sparseGigabyteFile_refusedUnread();
    void specialFiles_refusedWithoutBlocking_data();
    void specialFiles_refusedWithoutBlocking();
    void fifo_readWhenStreamsAllowed_data();
    void fifo_readWhenStreamsAllowed();
    void regularFileIsOpenedForStreaming();

    void writeOutput_keepsWhatIsNotARegularFile_data();
    void writeOutput_keepsWhatIsNotARegularFile();
    void writeOutput_fifo();
    void writeOutput_deviceCopyIsWrittenInPlace();

    void mutedStandardError_swallowsLibraryNoiseWithoutBlocking();
    void decodeCutText_dropsTheSplitCharacter_data();
    void decodeCutText_dropsTheSplitCharacter();
};

void TestFiles::readsRegularFilesWithinTheLimit_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("cutAtLimit");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("cut");
    QTest::newRow("under the limit") << QByteArray("hello") << false << int(FileFault::None) << QByteArray("hello")
                                     << false;
    QTest::newRow("exactly at the limit")
        << QByteArray("12345678") << false << int(FileFault::None) << QByteArray("12345678") << false;
    QTest::newRow("one byte over: refused")
        << QByteArray("123456789") << false << int(FileFault::TooLarge) << QByteArray() << false;
    QTest::newRow("one byte over: cut") << QByteArray("123456789") << true << int(FileFault::None)
                                        << QByteArray("12345678") << true;
    QTest::newRow("empty") << QByteArray() << false << int(FileFault::None) << QByteArray() << false;
}

void TestFiles::readsRegularFilesWithinTheLimit() {
    QFETCH(QByteArray, content);
    QFETCH(bool, cutAtLimit);
    QTemporaryDir dir;
    QFile file(dir.filePath(u"f"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    const FileRead read = tavrin::platform::readBounded(file.fileName(), {.maxBytes = 8, .cutAtLimit = cutAtLimit});
    QTEST(int(read.fault.reason), "fault");
    QTEST(read.bytes, "expected");
    QTEST(read.cut, "cut");
}

void TestFiles::sparseGigabyteFile_refusedUnread() {
    QTemporaryDir dir;
    QFile file(dir.filePath(u"sparse"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(qint64(3) << 30));
    file.close();
    QElapsedTimer clock;
    clock.start();
    const FileRead read = tavrin::platform::readBounded(file.fileName(), {.maxBytes = 1 << 20});
    QCOMPARE(read.fault.reason, FileFault::TooLarge);
    QCOMPARE(read.fault.limit, 1 << 20);
    QVERIFY(read.bytes.isEmpty());
    // Cutting reads the head alone.
    const FileRead head = tavrin::platform::readBounded(file.fileName(), {.maxBytes = 100, .cutAtLimit = true});
    QVERIFY(head.ok());
    QCOMPARE(head.bytes, QByteArray(100, '\0'));
    QVERIFY(head.cut);
    QVERIFY(clock.elapsed() < 5000);
}

void TestFiles::specialFiles_refusedWithoutBlocking_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("streams");
    QTest::addColumn<int>("fault");
    QTest::addColumn<qint64>("limit");
    QTest::newRow("/dev/zero") << u"/dev/zero"_s << true << int(FileFault::Device) << qint64(0);
    QTest::newRow("directory") << u"."_s << true << int(FileFault::Directory) << qint64(0);
    QTest::newRow("missing") << u"no-such-file"_s << false << int(FileFault::Missing) << qint64(0);
    QTest::newRow("empty name") << QString() << false << int(FileFault::Missing) << qint64(0);
    QTest::newRow("FIFO, streams refused") << u"fifo"_s << false << int(FileFault::Stream) << qint64(0);
    QTest::newRow("FIFO nobody writes to") << u"fifo"_s << true << int(FileFault::Idle) << qint64(200);
}

void TestFiles::specialFiles_refusedWithoutBlocking() {
    QFETCH(QString, path);
    QFETCH(bool, streams);
    QTemporaryDir dir;
    QVERIFY(::mkfifo(name(dir.filePath(u"fifo"_s)).constData(), 0600) == 0);
    if (path == u"fifo"_s || path == u"no-such-file"_s) {
        path = dir.filePath(path);
    }
    QElapsedTimer clock;
    clock.start();
    const FileRead read =
        tavrin::platform::readBounded(path, {.maxBytes = 1000, .streams = streams, .idleMilliseconds = 200});
    QTEST(int(read.fault.reason), "fault");
    QTEST(read.fault.limit, "limit");
    QVERIFY(read.bytes.isEmpty());
    QVERIFY(clock.elapsed() < 3000);
}

void TestFiles::fifo_readWhenStreamsAllowed_data() {
    QTest::addColumn<bool>("endless");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("a writer that finishes") << false << int(FileFault::None) << QByteArray("Hi there\n");
    QTest::newRow("an endless writer") << true << int(FileFault::TooLarge) << QByteArray();
}

void TestFiles::fifo_readWhenStreamsAllowed() {
    QFETCH(bool, endless);
    QTemporaryDir dir;
    const QString fifo = dir.filePath(u"fifo"_s);
    QVERIFY(::mkfifo(name(fifo).constData(), 0600) == 0);
    FileRead read;
    {
        FifoWriter writer(fifo, "Hi there\n", endless);
        read = tavrin::platform::readBounded(fifo, {.maxBytes = 100000, .streams = true});
        if (endless) {
            // The reader has gone: open the FIFO once more so that a writer still waiting to open it ends.
            const int fd = ::open(name(fifo).constData(), O_RDONLY | O_NONBLOCK);
            ::close(fd);
        }
    }
    QTEST(int(read.fault.reason), "fault");
    QTEST(read.bytes, "expected");
}

void TestFiles::regularFileIsOpenedForStreaming() {
    QTemporaryDir dir;
    QFile file(dir.filePath(u"f"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("abc");
    file.close();
    FileFault fault{FileFault::System};
    const std::unique_ptr<QFile> opened = tavrin::platform::openRegularFile(file.fileName(), &fault);
    QVERIFY(opened);
    QCOMPARE(fault.reason, FileFault::None);
    QCOMPARE(opened->readAll(), QByteArray("abc"));

    QVERIFY(::mkfifo(name(dir.filePath(u"fifo"_s)).constData(), 0600) == 0);
    QVERIFY(!tavrin::platform::openRegularFile(dir.filePath(u"fifo"_s), &fault));
    QCOMPARE(fault.reason, FileFault::Stream);
    QVERIFY(!tavrin::platform::openRegularFile(u"/dev/zero"_s, &fault));
    QCOMPARE(fault.reason, FileFault::Device);
}

void TestFiles::writeOutput_keepsWhatIsNotARegularFile_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("system");
    QTest::newRow("/dev/full") << u"/dev/full"_s << int(FileFault::System) << u"No space left on device"_s;
    QTest::newRow("a directory") << u"dir"_s << int(FileFault::Directory) << QString();
    QTest::newRow("no name") << QString() << int(FileFault::Missing) << QString();
    QTest::newRow("a FIFO nobody reads") << u"fifo"_s << int(FileFault::NoReader) << QString();
    QTest::newRow("a symlink to a FIFO nobody reads") << u"link"_s << int(FileFault::NoReader) << QString();
}

void TestFiles::writeOutput_keepsWhatIsNotARegularFile() {
    QFETCH(QString, path);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"dir"_s));
    QVERIFY(::mkfifo(name(dir.filePath(u"fifo"_s)).constData(), 0600) == 0);
    QVERIFY(QFile::link(dir.filePath(u"fifo"_s), dir.filePath(u"link"_s)));
    if (!path.isEmpty() && !path.startsWith(u'/')) {
        path = dir.filePath(path);
    }
    const FileFault fault = tavrin::platform::writeOutput(path, "content");
    QTEST(int(fault.reason), "fault");
    QTEST(fault.system, "system");
    QVERIFY(isFifo(dir.filePath(u"fifo"_s)));
    QVERIFY(QFileInfo(dir.filePath(u"link"_s)).isSymLink());
    QVERIFY(QFileInfo(dir.filePath(u"dir"_s)).isDir());
    QVERIFY(isCharDevice(u"/dev/full"_s));
}

void TestFiles::writeOutput_fifo() {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(u"fifo"_s);
    QVERIFY(::mkfifo(name(fifo).constData(), 0600) == 0);
    const int reader = ::open(name(fifo).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    QCOMPARE(tavrin::platform::writeOutput(fifo, "through the FIFO").reason, FileFault::None);
    char buffer[64] = {};
    QCOMPARE(::read(reader, buffer, sizeof buffer), ssize_t(16));
    ::close(reader);
    QCOMPARE(QByteArray(buffer), QByteArray("through the FIFO"));
    QVERIFY(isFifo(fifo));
}

void TestFiles::writeOutput_deviceCopyIsWrittenInPlace() {
    if (::geteuid() != 0) {
        QSKIP("making a device node needs root");
    }
    QTemporaryDir dir;
    const QString node = dir.filePath(u"null"_s);
    // A private copy of /dev/null (character device 1, 3): the system's own is never touched.
    QVERIFY(::mknod(name(node).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0);
    QCOMPARE(tavrin::platform::writeOutput(node, "discarded").reason, FileFault::None);
    QVERIFY(isCharDevice(node));
    const FileRead read = tavrin::platform::readBounded(node, {.maxBytes = 10, .streams = true});
    QCOMPARE(read.fault.reason, FileFault::Device);
}

void TestFiles::mutedStandardError_swallowsLibraryNoiseWithoutBlocking() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"stderr"_s);
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int file = ::open(name(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QVERIFY(saved >= 0 && file >= 0);
    ::dup2(file, STDERR_FILENO);
    ::close(file);
    std::fputs("before\n", stderr);
    {
        tavrin::platform::StandardErrorMuted muted;
        std::fputs("libpng error: Read Error\n", stderr);
        const QByteArray flood(1 << 20, 'x'); // far more than a pipe holds
        QVERIFY(::write(STDERR_FILENO, flood.constData(), size_t(flood.size())) < flood.size());
    }
    std::fputs("after\n", stderr);
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("before\nafter\n"));
}

void TestFiles::decodeCutText_dropsTheSplitCharacter_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const QByteArray utf8 = u"联系方式|旋"_s.toUtf8(); // 3 bytes a character
    QTest::newRow("UTF-8 cut after 1 of 3 bytes") << utf8.left(utf8.size() - 2) << u"联系方式|"_s;
    QTest::newRow("UTF-8 cut after 2 of 3 bytes") << utf8.left(utf8.size() - 1) << u"联系方式|"_s;
    QTest::newRow("UTF-8 cut at a boundary") << utf8 << u"联系方式|旋"_s;
    QTest::newRow("UTF-8 four-byte character cut") << (u"ab😀"_s.toUtf8().left(4)) << u"ab"_s;
    // 联系 in GBK is C1 AA CF B5.
    QTest::newRow("GBK cut after a lead byte") << QByteArray("\xC1\xAA\xCF") << u"联"_s;
}

void TestFiles::decodeCutText_dropsTheSplitCharacter() {
    QFETCH(QByteArray, bytes);
    QTEST(tavrin::platform::decodeLocalText(bytes, true), "expected");
}

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
