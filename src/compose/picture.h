#pragma once

#include <QImage>
#include <QString>

namespace tavrin::compose {

// Pictures larger than this on a side, or decoding to more bytes than this, are refused unread:
// a tiny file can claim a gigantic size.
inline constexpr int maxPictureSide = 16384;
inline constexpr qint64 maxPictureBytes = 256ll * 1024 * 1024;

struct LoadedPicture {
    QImage image;  // null when the file could not be used
    QString error; // names the file and the reason, for the user
};

// Reads a BMP, JPG, GIF or PNG file at its natural size.
LoadedPicture loadPicture(const QString &path);

} // namespace tavrin::compose
