#include "compose/picture.h"

#include <QFileInfo>
#include <QImageReader>

using namespace Qt::StringLiterals;

namespace tavrin::compose {

namespace {

LoadedPicture refuse(const QString &path, const QString &reason) {
    return {QImage(), u"无法加载图片“%1”：%2"_s.arg(QFileInfo(path).fileName(), reason)};
}

} // namespace

LoadedPicture loadPicture(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return refuse(path, u"文件不存在。"_s);
    }
    if (!info.isFile() || !info.isReadable()) {
        return refuse(path, u"文件无法读取。"_s);
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(int(maxPictureBytes / (1024 * 1024)));
    const QSize size = reader.size();
    if (size.isValid()) {
        const qint64 bytes = qint64(size.width()) * size.height() * 4;
        if (size.width() > maxPictureSide || size.height() > maxPictureSide || bytes > maxPictureBytes) {
            return refuse(path, u"图片尺寸 %1×%2 过大，无法处理。"_s.arg(size.width()).arg(size.height()));
        }
    }
    QImage image = reader.read();
    if (image.isNull()) {
        const QString reason = reader.error() == QImageReader::UnsupportedFormatError
                                   ? u"不是可识别的图片格式（BMP、JPG、GIF、PNG）。"_s
                                   : reader.errorString();
        return refuse(path, reason);
    }
    return {image.convertToFormat(QImage::Format_ARGB32), QString()};
}

} // namespace tavrin::compose
