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

// Whether a picture of that size passes the limits above; every step of a picture's preparation
// holds to them too, so that no setting makes a small file into a huge layer.
bool pictureTooLarge(qint64 width, qint64 height);

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
        NoSuchFrame,   // the frame asked for is past the last one; frames holds how many there are
    };

    QImage image; // ARGB32; null when the file could not be used
    Problem problem = None;
    QString name;             // the file's name, for the message
    QSize size;               // for TooLarge
    platform::FileFault file; // for the first three: why the file could not be opened
    int frame = 0;            // the frame asked for
    int frames = 0;           // for NoSuchFrame
};

// Reads a BMP, JPG, GIF or PNG file at its natural size; only regular files are opened. frame
// chooses one of an animated picture's frames, 0 the first.
LoadedPicture loadPicture(const QString &path, int frame = 0);
// The same from an open device; name is the file name the window's message gives.
LoadedPicture loadPicture(QIODevice *device, const QString &name, int frame = 0);

// A picture as the bytes of a PNG file: lossless, transparency kept.
QByteArray pngBytes(const QImage &image);

} // namespace tavrin::compose
