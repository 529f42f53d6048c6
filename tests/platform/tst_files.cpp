#include "platform/desktop.h"
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
    QTest::newRow("under the limit") << QByteArray("hello") << false << int(FileRead::None) << QByteArray("hello")
                                     << false;
    QTest::newRow("exactly at the limit")
        << QByteArray("12345678") << false << int(FileRead::None) << QByteArray("12345678") << false;
    QTest::newRow("one byte over: refused")
        << QByteArray("123456789") << false << int(FileRead::TooLarge) << QByteArray() << false;
    QTest::newRow("one byte over: cut") << QByteArray("123456789") << true << int(FileRead::None)
                                        << QByteArray("12345678") << true;
    QTest::newRow("empty") << QByteArray() << false << int(FileRead::None) << QByteArray() << false;
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
    QTEST(int(read.fault), "fault");
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
    QCOMPARE(read.fault, FileRead::TooLarge);
    QCOMPARE(read.reason, u"it is larger than 1048576 bytes"_s);
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
    QTest::addColumn<QString>("reason");
    QTest::newRow("/dev/zero") << u"/dev/zero"_s << true << int(FileRead::NotAFile)
                               << u"it is a device, not a regular file"_s;
    QTest::newRow("directory") << u"."_s << true << int(FileRead::NotAFile) << u"it is a directory"_s;
    QTest::newRow("missing") << u"no-such-file"_s << false << int(FileRead::Missing) << u"it does not exist"_s;
    QTest::newRow("empty name") << QString() << false << int(FileRead::Missing) << u"it does not exist"_s;
    QTest::newRow("FIFO, streams refused")
        << u"fifo"_s << false << int(FileRead::NotAFile) << u"it is a pipe or FIFO, not a regular file"_s;
    QTest::newRow("FIFO nobody writes to") << u"fifo"_s << true << int(FileRead::Idle)
                                           << u"nothing came through it for 0.2 s (a pipe or FIFO nobody writes to?)"_s;
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
    QTEST(int(read.fault), "fault");
    QTEST(read.reason, "reason");
    QVERIFY(read.bytes.isEmpty());
    QVERIFY(clock.elapsed() < 3000);
}

void TestFiles::fifo_readWhenStreamsAllowed_data() {
    QTest::addColumn<bool>("endless");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("a writer that finishes") << false << int(FileRead::None) << QByteArray("Hi there\n");
    QTest::newRow("an endless writer") << true << int(FileRead::TooLarge) << QByteArray();
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
    QTEST(int(read.fault), "fault");
    QTEST(read.bytes, "expected");
}

void TestFiles::regularFileIsOpenedForStreaming() {
    QTemporaryDir dir;
    QFile file(dir.filePath(u"f"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("abc");
    file.close();
    FileRead::Fault fault = FileRead::Unreadable;
    QString reason;
    const std::unique_ptr<QFile> opened = tavrin::platform::openRegularFile(file.fileName(), &fault, &reason);
    QVERIFY(opened);
    QCOMPARE(fault, FileRead::None);
    QCOMPARE(opened->readAll(), QByteArray("abc"));

    QVERIFY(::mkfifo(name(dir.filePath(u"fifo"_s)).constData(), 0600) == 0);
    QVERIFY(!tavrin::platform::openRegularFile(dir.filePath(u"fifo"_s), &fault, &reason));
    QCOMPARE(fault, FileRead::NotAFile);
    QVERIFY(!tavrin::platform::openRegularFile(u"/dev/zero"_s, &fault, &reason));
    QCOMPARE(reason, u"it is a device, not a regular file"_s);
}

void TestFiles::writeOutput_keepsWhatIsNotARegularFile_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("/dev/full") << u"/dev/full"_s << u"No space left on device"_s;
    QTest::newRow("a directory") << u"dir"_s << u"it is a directory"_s;
    QTest::newRow("no name") << QString() << u"no file name given"_s;
    QTest::newRow("a FIFO nobody reads") << u"fifo"_s << u"nothing is reading from it"_s;
    QTest::newRow("a symlink to a FIFO nobody reads") << u"link"_s << u"nothing is reading from it"_s;
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
    QTEST(tavrin::platform::writeOutput(path, "content"), "reason");
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
    QCOMPARE(tavrin::platform::writeOutput(fifo, "through the FIFO"), QString());
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
    QCOMPARE(tavrin::platform::writeOutput(node, "discarded"), QString());
    QVERIFY(isCharDevice(node));
    const FileRead read = tavrin::platform::readBounded(node, {.maxBytes = 10, .streams = true});
    QCOMPARE(read.fault, FileRead::NotAFile);
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
