#include "compose/picture.h"

#include "platform/files.h"

#include <cstdlib>
#include <limits>

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace tavrin::compose {

namespace {

LoadedPicture refuse(const QString &name, const QString &reason, const QString &englishReason) {
    return {QImage(), u"无法加载图片“%1”：%2"_s.arg(name, reason), englishReason};
}

LoadedPicture refuseSize(const QString &name, QSize size) {
    return refuse(
        name, u"图片尺寸 %1×%2 过大，无法处理。"_s.arg(size.width()).arg(size.height()),
        u"the picture is %1 × %2 dots, larger than can be handled (at most %3 on a side and %4 MB)"_s.arg(size.width())
            .arg(size.height())
            .arg(maxPictureSide)
            .arg(maxPictureBytes / (1024 * 1024)));
}

// Checks each side on its own: a reader may report one side and leave the other at zero.
bool tooLarge(QSize size) {
    return size.width() > maxPictureSide || size.height() > maxPictureSide ||
           qint64(size.width()) * size.height() * 4 > maxPictureBytes;
}

// The size a file's header claims where the reader does not tell: the BMP reader refuses a huge
// header without reporting its size, and the GIF reader reports the first frame while it decodes
// onto the whole screen the header gives. The user should learn that the size is the reason.
QSize claimedSize(const QByteArray &head, QSize reported) {
    const auto side = [](qint64 value) {
        return int(std::min<qint64>(std::abs(value), std::numeric_limits<int>::max()));
    };
    QSize claimed(side(reported.width()), side(reported.height()));
    const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
    if (head.size() >= 26 && head.startsWith("BM")) {
        if (qFromLittleEndian<quint32>(bytes + 14) == 12) { // the old core header: 16-bit sides
            return claimed.expandedTo({qFromLittleEndian<quint16>(bytes + 18), qFromLittleEndian<quint16>(bytes + 20)});
        }
        return claimed.expandedTo(
            {side(qFromLittleEndian<qint32>(bytes + 18)), side(qFromLittleEndian<qint32>(bytes + 22))});
    }
    if (head.size() >= 10 && head.startsWith("GIF8")) {
        return claimed.expandedTo({qFromLittleEndian<quint16>(bytes + 6), qFromLittleEndian<quint16>(bytes + 8)});
    }
    return claimed;
}

} // namespace

LoadedPicture loadPicture(const QString &path) {
    const QString name = QFileInfo(path).fileName();
    platform::FileRead::Fault fault = platform::FileRead::None;
    QString reason;
    const std::unique_ptr<QFile> file = platform::openRegularFile(path, &fault, &reason);
    if (!file) {
        return refuse(name,
                      fault == platform::FileRead::Missing    ? u"文件不存在。"_s
                      : fault == platform::FileRead::NotAFile ? u"不是普通文件。"_s
                                                              : u"文件无法读取。"_s,
                      reason);
    }
    return loadPicture(file.get(), name);
}

LoadedPicture loadPicture(QIODevice *device, const QString &name) {
    QImageReader reader(device);
    reader.setDecideFormatFromContent(true);
    // Bounds what a decoder may allocate whatever the header said, zero sides included.
    reader.setAllocationLimit(int(maxPictureBytes / (1024 * 1024)));
    const QByteArray head = device->peek(32);
    const QSize reported = reader.size();
    if (const QSize size = claimedSize(head, reported); tooLarge(size)) {
        return refuseSize(name, size);
    }
    QImage image;
    if (!reader.read(&image)) {
        if (reader.error() == QImageReader::UnsupportedFormatError) {
            return refuse(name, u"不是可识别的图片格式（BMP、JPG、GIF、PNG）。"_s,
                          u"not a picture format that can be read (BMP, JPG, GIF, PNG)"_s);
        }
        return refuse(name, u"图片文件已损坏或不完整。"_s, u"the picture is damaged or incomplete"_s);
    }
    if (tooLarge(image.size())) {
        return refuseSize(name, image.size());
    }
    // In place where the formats allow it (RGB32 to ARGB32 is a relabelling), so no second copy.
    image.convertTo(QImage::Format_ARGB32);
    return {image, QString(), QString()};
}

} // namespace tavrin::compose
