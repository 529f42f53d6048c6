#pragma once

#include "platform/files.h"

#include <QImage>
#include <QString>

class QIODevice;

namespace tavrin::compose {

// Pictures larger than this on a side, or decoding to more bytes than this, are refused: a tiny
// file can claim a gigantic size, and one that claims none is held to the same bounds while it
// decodes. The bytes bound keeps a load's peak memory (decoded picture, decoder buffers and one
// conversion) well under 300 MB; the canvas shows at most 2048 × 32 dots of a picture anyway.
inline constexpr int maxPictureSide = 16384;
inline constexpr qint64 maxPictureBytes = 64ll * 1024 * 1024;

struct LoadedPicture {
    // Why the file could not be used, as data: each front end words it.
    enum Problem {
        None,
        Missing,       // no such file
        NotAFile,      // a directory, device or other non-regular file
        Unreadable,    // the file could not be opened or read
        TooLarge,      // size holds the size claimed or decoded
        UnknownFormat, // not a picture format that can be read
        Damaged,       // a picture format, but damaged or incomplete
    };

    QImage image; // ARGB32; null when the file could not be used
    Problem problem = None;
    QString name;             // the file's name, for the message
    QSize size;               // for TooLarge
    platform::FileFault file; // for the first three: why the file could not be opened
};

// Reads a BMP, JPG, GIF or PNG file at its natural size; only regular files are opened.
LoadedPicture loadPicture(const QString &path);
// The same from an open device; name is the file name the window's message gives.
LoadedPicture loadPicture(QIODevice *device, const QString &name);

// A picture as the bytes of a PNG file: lossless, transparency kept.
QByteArray pngBytes(const QImage &image);

} // namespace tavrin::compose
