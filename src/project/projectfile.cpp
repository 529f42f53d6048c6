#include "base/ledcount.h"
#include "compose/canvas.h"
#include "compose/geometry.h"
#include "hex/firmware.h"
#include "platform/files.h"
#include "preview/boardmodel.h"
#include "preview/spinrenderer.h"
#include "project/project.h"

#include <cmath>
#include <limits>

#include <QBuffer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace tavrin::project {

namespace {

const QString formatName = u"tavrin-project"_s;
const QByteArray pngSignature("\x89PNG\r\n\x1a\n");

// In the order of compose::DotMethod.
const QStringList dotMethods{u"as-it-is"_s, u"threshold"_s, u"ordered"_s, u"diffusion"_s};
// In the order of compose::Fit.
const QStringList fits{u"as-is"_s, u"height"_s, u"inside"_s, u"stretch"_s, u"scale"_s};
// The frames a file may name: far more than any animated picture within the limits has.
constexpr int mostFrames = 100000;

// Twips in the file as dots: what the user counts in.
double dots(float twips) {
    return double(twips) / compose::twipsPerDot;
}

// Every line break (CR LF, LF or a lone CR) saved as one LF: the same lines, and a project
// read back saves the same text.
QString savedText(const QString &text) {
    return compose::Canvas::lines(text).join(u'\n');
}

QJsonValue variantValue(int variant) {
    return variant < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(variant);
}

QJsonObject mirrorObject(const compose::Mirror &mirror) {
    return {{u"leftRight"_s, mirror.leftRight}, {u"upsideDown"_s, mirror.upsideDown}};
}

QJsonObject preparationObject(const Project &project) {
    const compose::RoundSettings &round = project.round;
    return {
        {u"frame"_s, project.frame + 1},
        {u"crop"_s, project.crop.isNull() ? QJsonValue()
                                          : QJsonObject{{u"x"_s, project.crop.x()},
                                                        {u"y"_s, project.crop.y()},
                                                        {u"width"_s, project.crop.width()},
                                                        {u"height"_s, project.crop.height()}}},
        {u"autoCrop"_s, project.autoCrop},
        {u"turn"_s, project.turn},
        {u"flip"_s, mirrorObject(project.pictureMirror)},
        {u"fit"_s, fits.at(int(project.fit))},
        {u"scale"_s, project.scalePercent},
        {u"round"_s, QJsonObject{{u"enabled"_s, round.enabled},
                                 {u"variant"_s, variantValue(round.variant)},
                                 {u"rpm"_s, round.rpm},
                                 {u"perRevolution"_s, round.perRevolution},
                                 {u"topInside"_s, round.topInside}}},
    };
}

// Reads the values of one object, noting the first that is of the wrong type or out of range.
// A value that is absent keeps its default: a file stays readable when a later version of the
// same format adds values, and a hand-written one needs only what it changes.
class Reader {
public:
    explicit Reader(ProjectRead &read)
        : m_read(read) {}

    bool failed() const { return !m_read.ok(); }

    QJsonObject object(const QJsonObject &parent, const QString &key, const QString &path) {
        const QJsonValue value = parent.value(key);
        if (value.isUndefined() || value.isNull()) {
            return {};
        }
        if (!value.isObject()) {
            bad(path);
            return {};
        }
        return value.toObject();
    }

    void number(const QJsonObject &object, const QString &key, const QString &path, int low, int high, int &target) {
        const QJsonValue value = object.value(key);
        if (value.isUndefined()) {
            return;
        }
        const double number = value.toDouble(std::nan(""));
        if (!value.isDouble() || number != std::floor(number) || number < low || number > high) {
            bad(path);
            return;
        }
        target = int(number);
    }

    // A firmware variant, or null for none.
    void variant(const QJsonObject &object, const QString &key, const QString &path, int &target) {
        const QJsonValue value = object.value(key);
        if (value.isNull()) {
            target = -1;
            return;
        }
        int number = target;
        this->number(object, key, path, 0, 255, number);
        if (!failed() && number >= 0 && !hex::findVariant(number)) {
            bad(path);
            return;
        }
        target = number;
    }

    // Dots in the file, twips in the project.
    void position(const QJsonObject &object, const QString &key, const QString &path, double low, float &twips) {
        const QJsonValue value = object.value(key);
        if (value.isUndefined()) {
            return;
        }
        const double number = value.toDouble(std::nan(""));
        if (!value.isDouble() || !(number >= low && number <= maxDots)) {
            bad(path);
            return;
        }
        twips = float(number * compose::twipsPerDot);
    }

    void real(const QJsonObject &object, const QString &key, const QString &path, double low, double high,
              double &target) {
        const QJsonValue value = object.value(key);
        if (value.isUndefined()) {
            return;
        }
        const double number = value.toDouble(std::nan(""));
        if (!value.isDouble() || !(number >= low && number <= high)) {
            bad(path);
            return;
        }
        target = number;
    }

    void flag(const QJsonObject &object, const QString &key, const QString &path, bool &target) {
        const QJsonValue value = object.value(key);
        if (value.isUndefined()) {
            return;
        }
        if (!value.isBool()) {
            bad(path);
            return;
        }
        target = value.toBool();
    }

    void text(const QJsonObject &object, const QString &key, const QString &path, QString &target) {
        const QJsonValue value = object.value(key);
        if (value.isUndefined()) {
            return;
        }
        if (!value.isString()) {
            bad(path);
            return;
        }
        target = value.toString();
    }

    // One of the names given, as its index.
    void choice(const QJsonObject &object, const QString &key, const QString &path, const QStringList &names,
                int &target) {
        QString name = target >= 0 && target < names.size() ? names.at(target) : QString();
        text(object, key, path, name);
        if (failed()) {
            return;
        }
        const qsizetype index = names.indexOf(name);
        if (index < 0) {
            bad(path);
            return;
        }
        target = int(index);
    }

    void bad(const QString &path) {
        if (m_read.ok()) {
            m_read.problem = ProjectRead::BadValue;
            m_read.field = path;
        }
    }

private:
    ProjectRead &m_read;
};

void readMirror(Reader &reader, const QJsonObject &parent, const QString &key, const QString &path,
                compose::Mirror &mirror) {
    const QJsonObject object = reader.object(parent, key, path);
    reader.flag(object, u"leftRight"_s, path + u".leftRight"_s, mirror.leftRight);
    reader.flag(object, u"upsideDown"_s, path + u".upsideDown"_s, mirror.upsideDown);
}

void readPreparation(Reader &reader, const QJsonObject &root, Project &project) {
    const QJsonObject preparation = reader.object(root, u"preparation"_s, u"preparation"_s);
    int frame = project.frame + 1;
    reader.number(preparation, u"frame"_s, u"preparation.frame"_s, 1, mostFrames, frame);
    project.frame = frame - 1;
    if (const QJsonValue crop = preparation.value(u"crop"_s); !crop.isUndefined() && !crop.isNull()) {
        const QJsonObject rect = reader.object(preparation, u"crop"_s, u"preparation.crop"_s);
        // Within the largest picture; whether it lies within this picture is the preparation's check.
        int x = -1;
        int y = -1;
        int width = 0;
        int height = 0;
        reader.number(rect, u"x"_s, u"preparation.crop.x"_s, 0, compose::maxPictureSide - 1, x);
        reader.number(rect, u"y"_s, u"preparation.crop.y"_s, 0, compose::maxPictureSide - 1, y);
        reader.number(rect, u"width"_s, u"preparation.crop.width"_s, 1, compose::maxPictureSide, width);
        reader.number(rect, u"height"_s, u"preparation.crop.height"_s, 1, compose::maxPictureSide, height);
        if (x < 0 || y < 0 || width == 0 || height == 0) {
            reader.bad(u"preparation.crop"_s);
        }
        project.crop = QRect(x, y, width, height);
    }
    reader.flag(preparation, u"autoCrop"_s, u"preparation.autoCrop"_s, project.autoCrop);
    reader.number(preparation, u"turn"_s, u"preparation.turn"_s, 0, 270, project.turn);
    if (project.turn % 90 != 0) {
        reader.bad(u"preparation.turn"_s);
    }
    readMirror(reader, preparation, u"flip"_s, u"preparation.flip"_s, project.pictureMirror);
    int fit = int(project.fit);
    reader.choice(preparation, u"fit"_s, u"preparation.fit"_s, fits, fit);
    project.fit = compose::Fit(fit);
    reader.number(preparation, u"scale"_s, u"preparation.scale"_s, 1, 10000, project.scalePercent);

    const QJsonObject roundObject = reader.object(preparation, u"round"_s, u"preparation.round"_s);
    compose::RoundSettings &round = project.round;
    reader.flag(roundObject, u"enabled"_s, u"preparation.round.enabled"_s, round.enabled);
    reader.variant(roundObject, u"variant"_s, u"preparation.round.variant"_s, round.variant);
    if (round.variant >= 0 && !preview::BoardModel::isVariant(round.variant)) {
        reader.bad(u"preparation.round.variant"_s);
    }
    reader.real(roundObject, u"rpm"_s, u"preparation.round.rpm"_s, preview::lowestRpm, preview::highestRpm, round.rpm);
    reader.number(roundObject, u"perRevolution"_s, u"preparation.round.perRevolution"_s, 1, preview::mostGenericColumns,
                  round.perRevolution);
    reader.flag(roundObject, u"topInside"_s, u"preparation.round.topInside"_s, round.topInside);
}

// A project whose picture cannot be prepared as it says (a crop past the picture, a fit past the
// picture limits) is refused as it is read, naming the setting.
void checkPreparation(Reader &reader, const Project &project) {
    switch (preparedPicture(project).problem) {
    case compose::ShapedPicture::None:
        return;
    case compose::ShapedPicture::CropOutside:
    case compose::ShapedPicture::CropEmpty:
        return reader.bad(u"preparation.crop"_s);
    case compose::ShapedPicture::BadScale:
        return reader.bad(u"preparation.scale"_s);
    case compose::ShapedPicture::TooLarge:
        return reader.bad(project.round.enabled                ? u"preparation.round"_s
                          : project.fit == compose::Fit::Scale ? u"preparation.scale"_s
                                                               : u"preparation.fit"_s);
    case compose::ShapedPicture::NoRoundBoard:
        return reader.bad(u"preparation.round"_s);
    }
}

void readPicture(Reader &reader, const QJsonObject &root, ProjectRead &read) {
    const QJsonObject picture = reader.object(root, u"picture"_s, u"picture"_s);
    if (picture.isEmpty() || reader.failed()) {
        return;
    }
    Project &project = read.project;
    reader.text(picture, u"name"_s, u"picture.name"_s, project.pictureName);
    reader.position(picture, u"left"_s, u"picture.left"_s, -maxDots, project.pictureBox.left);
    reader.position(picture, u"top"_s, u"picture.top"_s, -maxDots, project.pictureBox.top);
    reader.position(picture, u"width"_s, u"picture.width"_s, 0, project.pictureBox.width);
    reader.position(picture, u"height"_s, u"picture.height"_s, 0, project.pictureBox.height);
    QString base64;
    reader.text(picture, u"png"_s, u"picture.png"_s, base64);
    if (reader.failed()) {
        return;
    }
    const auto decoded = QByteArray::fromBase64Encoding(base64.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || base64.isEmpty()) {
        reader.bad(u"picture.png"_s);
        return;
    }
    QByteArray png = *decoded;
    const QString name = project.pictureName.isEmpty() ? read.name : project.pictureName;
    if (!png.startsWith(pngSignature)) {
        read.problem = ProjectRead::BadPicture;
        read.picture.problem = compose::LoadedPicture::UnknownFormat;
        read.picture.name = name;
        return;
    }
    // The picture limits hold here as for a file opened: a small project may not hold a huge picture.
    QBuffer buffer(&png);
    buffer.open(QIODevice::ReadOnly);
    compose::LoadedPicture loaded = compose::loadPicture(&buffer, name);
    if (loaded.image.isNull()) {
        read.problem = ProjectRead::BadPicture;
        read.picture = std::move(loaded);
        return;
    }
    project.picture = std::move(loaded.image);
}

} // namespace

QByteArray projectBytes(const Project &project) {
    QJsonObject root{
        {u"format"_s, formatName},
        {u"version"_s, formatVersion},
        {u"leds"_s, project.ledCount},
        {u"mode"_s, project.mode == compose::Mode::Picture ? u"picture"_s : u"text"_s},
        {u"text"_s, QJsonObject{{u"text"_s, savedText(project.text)},
                                {u"font"_s, project.font},
                                {u"size"_s, project.size},
                                {u"left"_s, dots(project.textLeft)},
                                {u"top"_s, dots(project.textTop)}}},
        {u"dots"_s, QJsonObject{{u"method"_s, dotMethods.at(int(project.dots.method))},
                                {u"threshold"_s, project.dots.threshold},
                                {u"invert"_s, project.dots.invert}}},
        {u"preparation"_s, preparationObject(project)},
        {u"mirror"_s, mirrorObject(project.mirror)},
        {u"export"_s, QJsonObject{{u"variant"_s, variantValue(project.exportVariant)}}},
        {u"preview"_s,
         QJsonObject{{u"zoom"_s, project.preview.zoom > 0 ? QJsonValue(project.preview.zoom) : QJsonValue()},
                     {u"variant"_s, variantValue(project.preview.variant)},
                     {u"perRevolution"_s, project.preview.perRevolution},
                     {u"step"_s, project.preview.step},
                     {u"rpm"_s, int(std::lround(project.preview.rpm))},
                     {u"persistence"_s, project.preview.persistenceMs},
                     {u"topOutermost"_s, project.preview.topOutermost}}},
    };
    if (!project.picture.isNull()) {
        root.insert(u"picture"_s,
                    QJsonObject{{u"name"_s, project.pictureName},
                                {u"png"_s, QString::fromLatin1(compose::pngBytes(project.picture).toBase64())},
                                {u"left"_s, dots(project.pictureBox.left)},
                                {u"top"_s, dots(project.pictureBox.top)},
                                {u"width"_s, dots(project.pictureBox.width)},
                                {u"height"_s, dots(project.pictureBox.height)}});
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ProjectRead readProject(const QByteArray &bytes, const QString &name) {
    ProjectRead read;
    read.name = name;
    if (bytes.size() > maxProjectBytes) {
        read.problem = ProjectRead::TooLarge;
        return read;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        read.problem = ProjectRead::NotJson;
        read.detail = error.errorString();
        read.offset = error.offset;
        return read;
    }
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(u"format"_s) != formatName) {
        read.problem = ProjectRead::NotAProject;
        return read;
    }
    Reader reader(read);
    Project &project = read.project;
    int version = 0;
    reader.number(root, u"version"_s, u"version"_s, 1, std::numeric_limits<int>::max(), version);
    if (reader.failed() || version == 0) {
        reader.bad(u"version"_s);
        return read;
    }
    if (version > formatVersion) {
        read.problem = ProjectRead::NewerVersion;
        read.version = version;
        return read;
    }
    reader.number(root, u"leds"_s, u"leds"_s, 0, 32, project.ledCount);
    if (!reader.failed() && !base::isLedCount(project.ledCount)) {
        reader.bad(u"leds"_s);
    }
    int mode = int(project.mode);
    reader.choice(root, u"mode"_s, u"mode"_s, {u"text"_s, u"picture"_s}, mode);
    project.mode = compose::Mode(mode);

    const QJsonObject text = reader.object(root, u"text"_s, u"text"_s);
    reader.text(text, u"text"_s, u"text.text"_s, project.text);
    project.text = savedText(project.text);
    reader.text(text, u"font"_s, u"text.font"_s, project.font);
    reader.number(text, u"size"_s, u"text.size"_s, compose::smallestTextSize, compose::largestTextSize, project.size);
    reader.position(text, u"left"_s, u"text.left"_s, -maxDots, project.textLeft);
    reader.position(text, u"top"_s, u"text.top"_s, -maxDots, project.textTop);

    const QJsonObject dots = reader.object(root, u"dots"_s, u"dots"_s);
    int method = int(project.dots.method);
    reader.choice(dots, u"method"_s, u"dots.method"_s, dotMethods, method);
    project.dots.method = compose::DotMethod(method);
    reader.number(dots, u"threshold"_s, u"dots.threshold"_s, 0, 255, project.dots.threshold);
    reader.flag(dots, u"invert"_s, u"dots.invert"_s, project.dots.invert);
    readPreparation(reader, root, project);
    readMirror(reader, root, u"mirror"_s, u"mirror"_s, project.mirror);

    const QJsonObject exported = reader.object(root, u"export"_s, u"export"_s);
    reader.variant(exported, u"variant"_s, u"export.variant"_s, project.exportVariant);

    const QJsonObject preview = reader.object(root, u"preview"_s, u"preview"_s);
    PreviewSettings &settings = project.preview;
    if (!preview.value(u"zoom"_s).isNull()) {
        reader.number(preview, u"zoom"_s, u"preview.zoom"_s, 1, 16, settings.zoom);
    }
    reader.variant(preview, u"variant"_s, u"preview.variant"_s, settings.variant);
    reader.number(preview, u"perRevolution"_s, u"preview.perRevolution"_s, 1, 4096, settings.perRevolution);
    reader.number(preview, u"step"_s, u"preview.step"_s, 0, 2048, settings.step);
    int rpm = int(settings.rpm);
    reader.number(preview, u"rpm"_s, u"preview.rpm"_s, 300, 6000, rpm);
    settings.rpm = rpm;
    reader.number(preview, u"persistence"_s, u"preview.persistence"_s, 0, 1000, settings.persistenceMs);
    reader.flag(preview, u"topOutermost"_s, u"preview.topOutermost"_s, settings.topOutermost);

    if (!reader.failed()) {
        readPicture(reader, root, read);
    }
    if (read.ok()) {
        checkPreparation(reader, project);
    }
    if (!read.ok()) {
        read.project = Project();
    }
    return read;
}

ProjectRead openProject(const QString &path) {
    ProjectRead read;
    read.name = QFileInfo(path).fileName();
    const platform::FileRead file = platform::readBounded(path, {.maxBytes = maxProjectBytes});
    using platform::FileFault;
    switch (file.fault.reason) {
    case FileFault::None:
        return readProject(file.bytes, read.name);
    case FileFault::Missing:
        read.problem = ProjectRead::Missing;
        break;
    case FileFault::Directory:
    case FileFault::Stream:
    case FileFault::Device:
    case FileFault::NotAFile:
        read.problem = ProjectRead::NotAFile;
        break;
    case FileFault::TooLarge:
        read.problem = ProjectRead::TooLarge;
        break;
    default:
        read.problem = ProjectRead::Unreadable;
        read.detail = file.fault.system;
        break;
    }
    return read;
}

ProjectSave saveProject(const QString &path, const Project &project) {
    ProjectSave save;
    const QByteArray bytes = projectBytes(project);
    save.bytes = bytes.size();
    // What could not be opened again is not saved: the file already there is worth more.
    if (bytes.size() > maxProjectBytes) {
        save.problem = ProjectSave::TooLarge;
        return save;
    }
    if (const platform::FileFault fault = platform::writeOutput(path, bytes)) {
        save.problem = ProjectSave::WriteFailed;
        save.file = fault;
    }
    return save;
}

} // namespace tavrin::project
