#include "compose/picture.h"

#include "platform/files.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace tavrin::compose {

namespace {

LoadedPicture refuse(const QString &name, LoadedPicture::Problem problem, QSize size = {},
                     const platform::FileFault &file = {}) {
    LoadedPicture refused;
    refused.problem = problem;
    refused.name = name;
    refused.size = size;
    refused.file = file;
    return refused;
}

// Checks each side on its own: a reader may report one side and leave the other at zero.
bool tooLarge(QSize size) {
    return pictureTooLarge(size.width(), size.height());
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

bool pictureTooLarge(qint64 width, qint64 height) {
    return width > maxPictureSide || height > maxPictureSide || width * height * 4 > maxPictureBytes;
}

LoadedPicture loadPicture(const QString &path, int frame) {
    const QString name = QFileInfo(path).fileName();
    platform::FileFault fault;
    const std::unique_ptr<QFile> file = platform::openRegularFile(path, &fault);
    if (!file) {
        using platform::FileFault;
        const LoadedPicture::Problem problem =
            fault.reason == FileFault::Missing                                         ? LoadedPicture::Missing
            : fault.reason == FileFault::System || fault.reason == FileFault::TooLarge ? LoadedPicture::Unreadable
                                                                                       : LoadedPicture::NotAFile;
        return refuse(name, problem, {}, fault);
    }
    return loadPicture(file.get(), name, frame);
}

LoadedPicture loadPicture(QIODevice *device, const QString &name, int frame) {
    QImageReader reader(device);
    reader.setDecideFormatFromContent(true);
    // Bounds what a decoder may allocate whatever the header said, zero sides included.
    reader.setAllocationLimit(int(maxPictureBytes / (1024 * 1024)));
    const QByteArray head = device->peek(32);
    const QSize reported = reader.size();
    if (const QSize size = claimedSize(head, reported); tooLarge(size)) {
        return refuse(name, LoadedPicture::TooLarge, size);
    }
    QImage image;
    // An animated picture's frames build on each other: they are read in order up to the one asked for.
    for (int read = 0; read <= std::max(0, frame); ++read) {
        if (read > 0 && !reader.canRead()) {
            LoadedPicture refused = refuse(name, LoadedPicture::NoSuchFrame);
            refused.frame = frame;
            refused.frames = read;
            return refused;
        }
        if (!reader.read(&image)) {
            if (reader.error() == QImageReader::UnsupportedFormatError) {
                return refuse(name, LoadedPicture::UnknownFormat);
            }
            return refuse(name, LoadedPicture::Damaged);
        }
        if (tooLarge(image.size())) {
            return refuse(name, LoadedPicture::TooLarge, image.size());
        }
    }
    // In place where the formats allow it (RGB32 to ARGB32 is a relabelling), so no second copy.
    image.convertTo(QImage::Format_ARGB32);
    LoadedPicture loaded;
    loaded.image = std::move(image);
    loaded.name = name;
    loaded.frame = std::max(0, frame);
    return loaded;
}

QByteArray pngBytes(const QImage &image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace tavrin::compose
