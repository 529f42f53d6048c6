#include "compose/picture.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;
using namespace tavrin::compose;

namespace {

// A 2 x 1 GIF: one red and one green pixel.
const unsigned char tinyGif[] = {'G',  'I',  'F',  '8',  '9',  'a',  2, 0, 1, 0,
                                 0x80, 0,    0,                                  // screen 2x1, 2-colour table
                                 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00,             // red, green
                                 0x2C, 0,    0,    0,    0,    2,    0, 1, 0, 0, // image descriptor
                                 0x02, 0x02, 0x44, 0x0A, 0x00,                   // LZW: clear, 0, 1, end
                                 0x3B};

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The first 40 bytes of a PNG: signature and header, no pixels.
QByteArray pngHead() {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(8, 8, QImage::Format_RGB32).save(&buffer, "PNG");
    return png.left(40);
}

// A BMP header that claims a huge picture but carries no pixels.
QByteArray bombBmp(qint32 width, qint32 height) {
    QByteArray bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    qToLittleEndian<quint32>(54, bmp.data() + 10);
    qToLittleEndian<quint32>(40, bmp.data() + 14);
    qToLittleEndian<qint32>(width, bmp.data() + 18);
    qToLittleEndian<qint32>(height, bmp.data() + 22);
    qToLittleEndian<quint16>(1, bmp.data() + 26);
    qToLittleEndian<quint16>(24, bmp.data() + 28);
    return bmp;
}

// A GIF whose screen is 65535 wide and 0 high; its one frame is 1 × 1023. The reader reports no
// valid size for it, yet would decode it as 65535 × 1023.
QByteArray zeroSideGif() {
    QByteArray gif("GIF89a");
    gif += QByteArray::fromHex("ffff0000800000");       // screen 65535 x 0, 2-colour table
    gif += QByteArray::fromHex("ff000000ff00");         // red, green
    gif += QByteArray::fromHex("2c000000000100ff0300"); // frame at 0,0: 1 x 1023
    gif += QByteArray::fromHex("02024400");             // LZW: clear, 0, end
    gif += ';';
    return gif;
}

// Peak resident memory of this process so far, in MB.
long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Resident memory now, in MB.
long residentMegabytes() {
    QFile statm(u"/proc/self/statm"_s);
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? long(fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) >> 20) : 0;
}

} // namespace

class PictureTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void largestAcceptedPicture_peaksWellUnder300MB_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");
        QTest::newRow("PNG, colour") << u"largest.png"_s << int(QImage::Format_RGB32);
        QTest::newRow("PNG, one bit") << u"mono.png"_s << int(QImage::Format_Mono);
        QTest::newRow("BMP, colour") << u"largest.bmp"_s << int(QImage::Format_RGB32);
    }
    void largestAcceptedPicture_peaksWellUnder300MB() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer's own memory would be counted");
#endif
        QFETCH(QString, name);
        QFETCH(int, format);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        {
            QImage image(maxPictureSide, int(maxPictureBytes / 4 / maxPictureSide), QImage::Format(format));
            image.fill(1);
            QVERIFY(image.save(path));
        }
        const long before = residentMegabytes();
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.problem, LoadedPicture::None);
        QCOMPARE(loaded.image.size(), QSize(16384, 1024));
        const long decodedMegabytes = long(loaded.image.sizeInBytes() >> 20);
        QCOMPARE(decodedMegabytes, 64);
        QVERIFY2(peakMegabytes() - before < 3 * decodedMegabytes,
                 qPrintable(u"%1 MB before, %2 MB at the peak"_s.arg(before).arg(peakMegabytes())));
        QVERIFY(peakMegabytes() < 300);
    }

    void readableFormats_loadAtNaturalSize_data() {
        QTest::addColumn<QString>("format");
        QTest::newRow("bmp") << u"bmp"_s;
        QTest::newRow("jpg") << u"jpg"_s;
        QTest::newRow("png") << u"png"_s;
    }
    void readableFormats_loadAtNaturalSize() {
        QFETCH(QString, format);
        QTemporaryDir dir;
        QImage image(100, 40, QImage::Format_RGB32);
        image.fill(qRgb(255, 0, 0));
        const QString path = dir.filePath(u"picture."_s + format);
        QVERIFY(image.save(path));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.problem, LoadedPicture::None);
        QCOMPARE(loaded.image.size(), QSize(100, 40));
        QVERIFY(qRed(loaded.image.pixel(50, 20)) > 240);
    }

    void gif_loads() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tiny.gif"_s);
        writeFile(path, QByteArray(reinterpret_cast<const char *>(tinyGif), sizeof tinyGif));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.problem, LoadedPicture::None);
        QCOMPARE(loaded.image.size(), QSize(2, 1));
        QCOMPARE(loaded.image.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(loaded.image.pixel(1, 0), qRgb(0, 255, 0));
    }

    void frames_ofAnAnimatedPicture() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"two.gif"_s);
        // The tiny GIF with a second frame that paints its left pixel green.
        QByteArray bytes(reinterpret_cast<const char *>(tinyGif), sizeof tinyGif - 1);
        bytes += QByteArray::fromHex("2c00000000010001000002"
                                     "024c0100"
                                     "3b");
        writeFile(path, bytes);
        QCOMPARE(loadPicture(path, 0).image.pixel(0, 0), qRgb(255, 0, 0));
        const LoadedPicture second = loadPicture(path, 1);
        QCOMPARE(second.problem, LoadedPicture::None);
        QCOMPARE(second.image.pixel(0, 0), qRgb(0, 255, 0));
        QCOMPARE(second.image.pixel(1, 0), qRgb(0, 255, 0));
        const LoadedPicture past = loadPicture(path, 2);
        QVERIFY(past.image.isNull());
        QCOMPARE(past.problem, LoadedPicture::NoSuchFrame);
        QCOMPARE(past.frames, 2);
    }

    void unusableFiles_giveMessageNamingTheFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("problem");
        QTest::addColumn<QSize>("size");
        const int tooLarge = LoadedPicture::TooLarge;
        QTest::newRow("text named .bmp") << u"notes.bmp"_s << QByteArray("just some text\n")
                                         << int(LoadedPicture::UnknownFormat) << QSize();
        QTest::newRow("empty file") << u"empty.jpg"_s << QByteArray() << int(LoadedPicture::UnknownFormat) << QSize();
        QTest::newRow("bomb: huge sides") << u"bomb.bmp"_s << bombBmp(60000, 60000) << tooLarge << QSize(60000, 60000);
        QTest::newRow("bomb: over 64 MB") << u"wide.bmp"_s << bombBmp(8000, 8000) << tooLarge << QSize(8000, 8000);
        QTest::newRow("bomb: upside-down BMP") << u"flip.bmp"_s << bombBmp(20000, -10) << tooLarge << QSize(20000, 10);
        QTest::newRow("GIF with a zero side") << u"zero.gif"_s << zeroSideGif() << tooLarge << QSize(65535, 1023);
        QTest::newRow("damaged PNG") << u"cut.png"_s << pngHead() << int(LoadedPicture::Damaged) << QSize();
        QTest::newRow("a directory") << u"folder.png"_s << QByteArray() << int(LoadedPicture::NotAFile) << QSize();
        QTest::newRow("missing") << u"missing.gif"_s << QByteArray() << int(LoadedPicture::Missing) << QSize();
    }
    void unusableFiles_giveMessageNamingTheFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, problem);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (name.startsWith(u"folder"_s)) {
            QVERIFY(QDir(dir.path()).mkdir(name));
        } else if (!name.startsWith(u"missing"_s)) {
            writeFile(path, bytes);
        }
        const LoadedPicture loaded = loadPicture(path);
        QVERIFY(loaded.image.isNull());
        QCOMPARE(int(loaded.problem), problem);
        QCOMPARE(loaded.name, name);
        if (problem == LoadedPicture::TooLarge) {
            QCOMPARE(loaded.size, size);
        }
        // Why a file could not be opened comes with it, for a front end to word.
        QCOMPARE(bool(loaded.file), problem == LoadedPicture::Missing || problem == LoadedPicture::NotAFile);
    }

    void oversizedPng_refusedBeforeDecoding() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"wide.png"_s);
        {
            QImage image(16384, 4096, QImage::Format_Mono);
            image.fill(0);
            QVERIFY(image.save(path));
        }
        [[maybe_unused]] const long before = peakMegabytes();
        const LoadedPicture loaded = loadPicture(path);
        QVERIFY(loaded.image.isNull());
        QCOMPARE(loaded.problem, LoadedPicture::TooLarge);
        QCOMPARE(loaded.size, QSize(16384, 4096));
#if !defined(__SANITIZE_ADDRESS__)
        QVERIFY(peakMegabytes() - before < 64);
#endif
    }

    void fifo_refusedWithoutWaiting() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"fifo.png"_s);
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        const LoadedPicture loaded = loadPicture(path);
        QVERIFY(loaded.image.isNull());
        QCOMPARE(loaded.problem, LoadedPicture::NotAFile);
        QCOMPARE(loaded.file.reason, tavrin::platform::FileFault::Stream);
    }
};

QTEST_MAIN(PictureTest)
#include "tst_picture.moc"
