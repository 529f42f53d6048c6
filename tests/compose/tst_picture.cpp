#include "compose/picture.h"

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

} // namespace

class PictureTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.image.size(), QSize(100, 40));
        QVERIFY(qRed(loaded.image.pixel(50, 20)) > 240);
    }

    void gif_loads() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tiny.gif"_s);
        writeFile(path, QByteArray(reinterpret_cast<const char *>(tinyGif), sizeof tinyGif));
        const LoadedPicture loaded = loadPicture(path);
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.image.size(), QSize(2, 1));
        QCOMPARE(loaded.image.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(loaded.image.pixel(1, 0), qRgb(0, 255, 0));
    }

    void unusableFiles_giveMessageNamingTheFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("text named .bmp") << u"notes.bmp"_s << QByteArray("just some text\n") << u""_s;
        QTest::newRow("empty file") << u"empty.jpg"_s << QByteArray() << u""_s;
        QTest::newRow("bomb: huge sides") << u"bomb.bmp"_s << bombBmp(100000, 100000) << u""_s;
        QTest::newRow("bomb: over 256 MB") << u"wide.bmp"_s << bombBmp(16000, 16000) << u"过大"_s;
        QTest::newRow("missing") << u"missing.gif"_s << QByteArray() << u"不存在"_s;
    }
    void unusableFiles_giveMessageNamingTheFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (!name.startsWith(u"missing"_s)) {
            writeFile(path, bytes);
        }
        const LoadedPicture loaded = loadPicture(path);
        QVERIFY(loaded.image.isNull());
        QVERIFY2(loaded.error.contains(name), qPrintable(loaded.error));
        QVERIFY2(loaded.error.contains(reason), qPrintable(loaded.error));
    }
};

QTEST_MAIN(PictureTest)
#include "tst_picture.moc"
