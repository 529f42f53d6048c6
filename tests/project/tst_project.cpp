#include "compose/composer.h"
#include "encode/contentcode.h"
#include "project/project.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;
using namespace tavrin;
using project::Project;
using project::ProjectRead;

namespace {

// Every pixel different, some of them partly or wholly transparent: a lossy or premultiplied
// store would change some.
QImage testPicture() {
    QImage image(37, 21, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgba(x * 7, y * 12, (x * y) % 256, (x + y) % 3 == 0 ? 0 : 90 + x));
        }
    }
    return image;
}

// A PNG whose header claims a picture of a million dots a side, its checksum right.
QByteArray bombPng() {
    QByteArray png = compose::pngBytes(QImage(8, 8, QImage::Format_RGB32));
    png.replace(16, 8, QByteArray::fromHex("000f4240000f4240"));
    quint32 crc = 0xffffffff;
    for (const char byte : png.mid(12, 17)) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
    }
    qToBigEndian(~crc, png.data() + 29);
    return png;
}

// A valid project's JSON with one value replaced (a path such as "text.size"), or removed when
// value is undefined.
QByteArray withValue(const QString &path, const QJsonValue &value) {
    Project made;
    made.picture = testPicture();
    QJsonObject root = QJsonDocument::fromJson(project::projectBytes(made)).object();
    const QStringList keys = path.split(u'.');
    if (keys.size() == 1) {
        root.insert(keys[0], value);
    } else {
        QJsonObject inner = root.value(keys[0]).toObject();
        inner.insert(keys[1], value);
        root.insert(keys[0], inner);
    }
    return QJsonDocument(root).toJson();
}

} // namespace

class TestProject : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyField_survivesSaveAndOpen();
    void restoredComposition_givesTheSameCanvas_data();
    void restoredComposition_givesTheSameCanvas();
    void hostileProject_isRefusedWithItsReason_data();
    void hostileProject_isRefusedWithItsReason();
    void fileThatIsNoProject_isRefusedUnread();
    void versionOneProject_opensAsItWas();
    void preparationThatCannotBeMade_isReportedByRestore();
};

void TestProject::everyField_survivesSaveAndOpen() {
    Project saved;
    saved.ledCount = 24;
    saved.mode = compose::Mode::Picture;
    saved.text = u"旋转\n点阵 \"x\""_s;
    saved.font = u"DejaVu Sans"_s;
    saved.size = 27;
    saved.textLeft = -45;
    saved.textTop = 7.5f;
    saved.picture = testPicture();
    saved.pictureName = u"logo.bmp"_s;
    saved.pictureBox = {30, -15, 555 * 1.05f * 1.05f, 315 * 0.9f};
    saved.dots = {compose::DotMethod::ErrorDiffusion, 77, true};
    saved.frame = 3;
    saved.crop = QRect(2, 1, 30, 19);
    saved.autoCrop = true;
    saved.turn = 270;
    saved.pictureMirror = {true, false};
    saved.fit = compose::Fit::Scale;
    saved.scalePercent = 333;
    saved.round = {false, 22, 1234.5, 77, true};
    saved.mirror = {false, true};
    saved.exportVariant = 22;
    saved.preview = {5, 33, 250, 0, 2750, 420, false};

    QTemporaryDir dir;
    const QString path = dir.filePath(u"work.tavrin"_s);
    QVERIFY(project::saveProject(path, saved).ok());
    const ProjectRead read = project::openProject(path);
    QVERIFY2(read.ok(), qPrintable(read.field + read.detail));
    const Project &opened = read.project;
    QCOMPARE(opened.ledCount, saved.ledCount);
    QCOMPARE(opened.mode, saved.mode);
    QCOMPARE(opened.text, saved.text);
    QCOMPARE(opened.font, saved.font);
    QCOMPARE(opened.size, saved.size);
    QCOMPARE(opened.textLeft, saved.textLeft);
    QCOMPARE(opened.textTop, saved.textTop);
    QCOMPARE(opened.picture, saved.picture);
    QCOMPARE(opened.pictureName, saved.pictureName);
    // Exactly, not fuzzily: the box decides which dots the canvas shows.
    QVERIFY(opened.pictureBox.left == saved.pictureBox.left && opened.pictureBox.top == saved.pictureBox.top &&
            opened.pictureBox.width == saved.pictureBox.width && opened.pictureBox.height == saved.pictureBox.height);
    QCOMPARE(opened.dots, saved.dots);
    QVERIFY(opened.pictureSettings() == saved.pictureSettings());
    QVERIFY(opened.mirror == saved.mirror);
    QCOMPARE(opened.exportVariant, saved.exportVariant);
    QVERIFY(opened.preview == saved.preview);
}

void TestProject::restoredComposition_givesTheSameCanvas_data() {
    QTest::addColumn<bool>("picture");
    QTest::addColumn<int>("leds");
    QTest::newRow("text moved, 32 LEDs") << false << 32;
    QTest::newRow("picture resized and moved, 8 LEDs") << true << 8;
}

void TestProject::restoredComposition_givesTheSameCanvas() {
    QFETCH(bool, picture);
    QFETCH(int, leds);
    Project kept;
    kept.text = u"Tavrin 旋转"_s;
    kept.size = 15;
    kept.dots = {compose::DotMethod::Ordered, 100, false};
    compose::Composer composer;
    composer.applyLedCount(leds);
    composer.run(kept.text, kept.font, kept.size);
    if (picture) {
        kept.picture = testPicture();
        composer.switchMode();
        composer.setPicture(compose::makeDots(kept.picture, kept.dots));
        composer.resizePicture(true);
        composer.resizePicture(false);
    }
    composer.move(compose::Direction::Right);
    composer.move(compose::Direction::Down);
    project::record(composer, kept);

    const ProjectRead read = project::readProject(project::projectBytes(kept), u"p.tavrin"_s);
    QVERIFY(read.ok());
    compose::Composer restored;
    restored.move(compose::Direction::Left); // whatever it held before goes
    project::restore(read.project, restored);
    QCOMPARE(restored.ledCount(), leds);
    QCOMPARE(restored.mode(), composer.mode());
    QCOMPARE(restored.render(), composer.render());
    QCOMPARE(encode::makeContentCode(restored), encode::makeContentCode(composer));
}

void TestProject::hostileProject_isRefusedWithItsReason_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("problem");
    QTest::addColumn<QString>("field");

    const QJsonValue bomb = QString::fromLatin1(bombPng().toBase64());
    const QJsonValue wide = QString::fromLatin1(compose::pngBytes(QImage(16385, 1, QImage::Format_Mono)).toBase64());
    const QByteArray valid = withValue(u"leds"_s, 8);

    QTest::newRow("empty") << QByteArray() << int(ProjectRead::NotJson) << QString();
    QTest::newRow("not JSON") << QByteArray("PK\3\4 a zip") << int(ProjectRead::NotJson) << QString();
    QTest::newRow("cut short") << valid.left(valid.size() / 2) << int(ProjectRead::NotJson) << QString();
    QTest::newRow("an array") << QByteArray("[1, 2]") << int(ProjectRead::NotAProject) << QString();
    QTest::newRow("other JSON") << QByteArray(R"({"name": "x"})") << int(ProjectRead::NotAProject) << QString();
    QTest::newRow("newer version") << withValue(u"version"_s, project::formatVersion + 1)
                                   << int(ProjectRead::NewerVersion) << QString();
    QTest::newRow("no version") << withValue(u"version"_s, QJsonValue::Undefined) << int(ProjectRead::BadValue)
                                << u"version"_s;
    QTest::newRow("LED count as text") << withValue(u"leds"_s, u"16"_s) << int(ProjectRead::BadValue) << u"leds"_s;
    QTest::newRow("LED count 12") << withValue(u"leds"_s, 12) << int(ProjectRead::BadValue) << u"leds"_s;
    QTest::newRow("unknown mode") << withValue(u"mode"_s, u"both"_s) << int(ProjectRead::BadValue) << u"mode"_s;
    QTest::newRow("text not an object") << withValue(u"text"_s, 5) << int(ProjectRead::BadValue) << u"text"_s;
    QTest::newRow("size 29") << withValue(u"text.size"_s, 29) << int(ProjectRead::BadValue) << u"text.size"_s;
    QTest::newRow("size 12.5") << withValue(u"text.size"_s, 12.5) << int(ProjectRead::BadValue) << u"text.size"_s;
    QTest::newRow("text a number") << withValue(u"text.text"_s, 1) << int(ProjectRead::BadValue) << u"text.text"_s;
    QTest::newRow("far away") << withValue(u"text.left"_s, 1e300) << int(ProjectRead::BadValue) << u"text.left"_s;
    QTest::newRow("unknown dots") << withValue(u"dots.method"_s, u"blur"_s) << int(ProjectRead::BadValue)
                                  << u"dots.method"_s;
    QTest::newRow("threshold 256") << withValue(u"dots.threshold"_s, 256) << int(ProjectRead::BadValue)
                                   << u"dots.threshold"_s;
    QTest::newRow("no such firmware") << withValue(u"export.variant"_s, 7) << int(ProjectRead::BadValue)
                                      << u"export.variant"_s;
    QTest::newRow("rpm 100") << withValue(u"preview.rpm"_s, 100) << int(ProjectRead::BadValue) << u"preview.rpm"_s;
    QTest::newRow("negative box") << withValue(u"picture.width"_s, -1) << int(ProjectRead::BadValue)
                                  << u"picture.width"_s;
    QTest::newRow("crop past the picture")
        << withValue(u"preparation.crop"_s, QJsonObject{{u"x"_s, 30}, {u"y"_s, 0}, {u"width"_s, 8}, {u"height"_s, 4}})
        << int(ProjectRead::BadValue) << u"preparation.crop"_s;
    QTest::newRow("crop without width") << withValue(u"preparation.crop"_s,
                                                     QJsonObject{{u"x"_s, 0}, {u"y"_s, 0}, {u"height"_s, 4}})
                                        << int(ProjectRead::BadValue) << u"preparation.crop"_s;
    QTest::newRow("crop a huge number")
        << withValue(u"preparation.crop"_s,
                     QJsonObject{{u"x"_s, 0}, {u"y"_s, 0}, {u"width"_s, 1e300}, {u"height"_s, 4}})
        << int(ProjectRead::BadValue) << u"preparation.crop.width"_s;
    QTest::newRow("scale 0") << withValue(u"preparation.scale"_s, 0) << int(ProjectRead::BadValue)
                             << u"preparation.scale"_s;
    QTest::newRow("turn 45") << withValue(u"preparation.turn"_s, 45) << int(ProjectRead::BadValue)
                             << u"preparation.turn"_s;
    QTest::newRow("unknown fit") << withValue(u"preparation.fit"_s, u"zoom"_s) << int(ProjectRead::BadValue)
                                 << u"preparation.fit"_s;
    QTest::newRow("frame 0") << withValue(u"preparation.frame"_s, 0) << int(ProjectRead::BadValue)
                             << u"preparation.frame"_s;
    QTest::newRow("mirror as text") << withValue(u"mirror"_s, u"left-right"_s) << int(ProjectRead::BadValue)
                                    << u"mirror"_s;
    QTest::newRow("round at 1e9 rpm") << withValue(u"preparation.round"_s,
                                                   QJsonObject{{u"enabled"_s, true}, {u"rpm"_s, 1e9}})
                                      << int(ProjectRead::BadValue) << u"preparation.round.rpm"_s;
    QTest::newRow("round for no such board")
        << withValue(u"preparation.round"_s, QJsonObject{{u"enabled"_s, true}, {u"variant"_s, 7}})
        << int(ProjectRead::BadValue) << u"preparation.round.variant"_s;
    QTest::newRow("picture not base64") << withValue(u"picture.png"_s, u"#*!"_s) << int(ProjectRead::BadValue)
                                        << u"picture.png"_s;
    QTest::newRow("picture not PNG") << withValue(u"picture.png"_s, u"Qk0="_s) << int(ProjectRead::BadPicture)
                                     << QString();
    QTest::newRow("picture bomb") << withValue(u"picture.png"_s, bomb) << int(ProjectRead::BadPicture) << QString();
    QTest::newRow("picture past the limits")
        << withValue(u"picture.png"_s, wide) << int(ProjectRead::BadPicture) << QString();
}

void TestProject::hostileProject_isRefusedWithItsReason() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, problem);
    QFETCH(QString, field);
    const ProjectRead read = project::readProject(bytes, u"x.tavrin"_s);
    QCOMPARE(int(read.problem), problem);
    QCOMPARE(read.field, field);
    QCOMPARE(read.name, u"x.tavrin"_s);
    QVERIFY(read.project.picture.isNull());
    QCOMPARE(read.project.ledCount, Project().ledCount);
    if (problem == ProjectRead::BadPicture && QTest::currentDataTag() != "picture not PNG"_ba) {
        QCOMPARE(read.picture.problem, compose::LoadedPicture::TooLarge);
    }
}

void TestProject::fileThatIsNoProject_isRefusedUnread() {
    QTemporaryDir dir;
    QFile huge(dir.filePath(u"huge.tavrin"_s));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(project::maxProjectBytes + 1)); // sparse: nothing is written
    huge.close();
    QCOMPARE(project::openProject(huge.fileName()).problem, ProjectRead::TooLarge);
    QCOMPARE(project::openProject(dir.path()).problem, ProjectRead::NotAFile);
    QCOMPARE(project::openProject(dir.filePath(u"none.tavrin"_s)).problem, ProjectRead::Missing);
}

void TestProject::versionOneProject_opensAsItWas() {
    const ProjectRead read = project::readProject(
        R"({"format": "tavrin-project", "version": 1, "leds": 8, "dots": {"method": "threshold"}})", u"old.tavrin"_s);
    QVERIFY(read.ok());
    QCOMPARE(read.project.ledCount, 8);
    compose::PictureSettings asItIs;
    asItIs.dots.method = compose::DotMethod::Threshold;
    QVERIFY(read.project.pictureSettings() == asItIs);
    QVERIFY(read.project.mirror.isNone());
}

// A project made in code, not read from a file, may ask for what cannot be made.
void TestProject::preparationThatCannotBeMade_isReportedByRestore() {
    Project kept;
    kept.mode = compose::Mode::Picture;
    kept.picture = testPicture();
    kept.crop = QRect(30, 0, 20, 5);
    compose::Composer composer;
    QCOMPARE(project::restore(kept, composer).problem, compose::ShapedPicture::CropOutside);
    QVERIFY(composer.canvas().picture.picture.isNull());
}

QTEST_MAIN(TestProject)
#include "tst_project.moc"
