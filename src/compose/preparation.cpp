#include "compose/preparation.h"

#include "compose/picture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include <QTransform>

namespace tavrin::compose {

namespace {

// How far a pixel's channels may stray from the corners' colour and still count as background: a
// saved JPEG rarely keeps a plain margin exactly plain.
constexpr int backgroundTolerance = 24;

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= backgroundTolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= backgroundTolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= backgroundTolerance &&
           std::abs(qAlpha(a) - qAlpha(b)) <= backgroundTolerance;
}

// a × b / c rounded half up, at least 1, in integers so that every front end gets the same size.
qint64 scaled(qint64 a, qint64 b, qint64 c) {
    return std::max<qint64>(1, (2 * a * b + c) / (2 * c));
}

ShapedPicture problem(ShapedPicture::Problem what, QRect crop = {}, QSize size = {}) {
    ShapedPicture shaped;
    shaped.problem = what;
    shaped.crop = crop;
    shaped.size = size;
    return shaped;
}

} // namespace

QRect contentRect(const QImage &picture) {
    const QRect whole = picture.rect();
    if (picture.isNull()) {
        return whole;
    }
    const QImage image = picture.format() == QImage::Format_ARGB32 || picture.format() == QImage::Format_RGB32
                             ? picture
                             : picture.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    const auto at = [&image](int x, int y) { return reinterpret_cast<const QRgb *>(image.constScanLine(y))[x]; };
    const QRgb corners[4] = {at(0, 0), at(w - 1, 0), at(0, h - 1), at(w - 1, h - 1)};
    const bool transparent =
        std::all_of(std::begin(corners), std::end(corners), [](QRgb c) { return qAlpha(c) <= backgroundTolerance; });
    if (!transparent &&
        !std::all_of(std::begin(corners), std::end(corners), [&](QRgb c) { return near(c, corners[0]); })) {
        return whole;
    }
    const auto background = [&](QRgb c) {
        return transparent ? qAlpha(c) <= backgroundTolerance : near(c, corners[0]);
    };
    const auto rowIsBackground = [&](int y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        return std::all_of(line, line + w, background);
    };
    int top = 0;
    while (top < h && rowIsBackground(top)) {
        ++top;
    }
    if (top == h) {
        return whole;
    }
    int bottom = h - 1;
    while (rowIsBackground(bottom)) {
        --bottom;
    }
    int left = w;
    int right = -1;
    for (int y = top; y <= bottom; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < left; ++x) {
            if (!background(line[x])) {
                left = x;
                break;
            }
        }
        for (int x = w - 1; x > right; --x) {
            if (!background(line[x])) {
                right = x;
                break;
            }
        }
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

bool followsLedCount(const PictureSettings &settings) {
    return settings.round.enabled || settings.fit == Fit::Height || settings.fit == Fit::Inside ||
           settings.fit == Fit::Stretch;
}

ShapedPicture shapePicture(const QImage &loaded, const PictureSettings &settings, int ledCount, int canvasWidth,
                           const PolarMap *round) {
    QRect area = loaded.rect();
    if (!settings.crop.isNull()) {
        if (settings.crop.width() <= 0 || settings.crop.height() <= 0) {
            return problem(ShapedPicture::CropEmpty, settings.crop, loaded.size());
        }
        if (!loaded.rect().contains(settings.crop)) {
            return problem(ShapedPicture::CropOutside, settings.crop, loaded.size());
        }
        area = settings.crop;
    }
    if (!settings.round.enabled && settings.fit == Fit::Scale && settings.scalePercent < 1) {
        return problem(ShapedPicture::BadScale);
    }
    if (settings.round.enabled && (!round || round->angles.empty() || round->radii.empty())) {
        return problem(ShapedPicture::NoRoundBoard);
    }
    // The crop is a view into the loaded picture, not a copy: a photo's crop is tens of megabytes.
    // The view lives only until the first step that makes a picture of its own.
    const bool view = area != loaded.rect() && loaded.depth() == 32;
    QImage image = !view ? (area == loaded.rect() ? loaded : loaded.copy(area))
                         : QImage(loaded.constScanLine(area.top()) + area.left() * 4, area.width(), area.height(),
                                  loaded.bytesPerLine(), loaded.format());
    const uchar *viewBits = view ? image.constBits() : nullptr;
    if (settings.autoCrop && !image.isNull()) {
        if (const QRect content = contentRect(image); content != image.rect()) {
            image = image.copy(content);
        }
    }
    image.convertTo(QImage::Format_ARGB32);
    // Quarter turns and mirrors move whole pixels: exact, never a resampling.
    if (const int quarters = (settings.turn / 90) % 4; quarters != 0) {
        image = image.transformed(QTransform().rotate(90.0 * quarters));
    }
    if (!settings.mirror.isNone()) {
        image = image.mirrored(settings.mirror.leftRight, settings.mirror.upsideDown);
    }
    if (image.isNull()) {
        return problem(ShapedPicture::None);
    }
    if (settings.round.enabled) {
        ShapedPicture shaped;
        shaped.image = roundPicture(image, *round);
        return shaped;
    }
    const qint64 w = image.width();
    const qint64 h = image.height();
    qint64 width = w;
    qint64 height = h;
    switch (settings.fit) {
    case Fit::AsItIs:
        break;
    case Fit::Height:
        width = scaled(w, ledCount, h);
        height = ledCount;
        break;
    case Fit::Inside:
        // Whichever side reaches its edge first decides; compared in integers.
        if (w * ledCount >= h * qint64(canvasWidth)) {
            width = canvasWidth;
            height = scaled(h, canvasWidth, w);
        } else {
            width = scaled(w, ledCount, h);
            height = ledCount;
        }
        break;
    case Fit::Stretch:
        height = ledCount;
        break;
    case Fit::Scale:
        width = scaled(w, settings.scalePercent, 100);
        height = scaled(h, settings.scalePercent, 100);
        break;
    }
    if (pictureTooLarge(width, height)) {
        return problem(ShapedPicture::TooLarge, {},
                       QSize(int(std::min<qint64>(width, INT_MAX)), int(std::min<qint64>(height, INT_MAX))));
    }
    ShapedPicture shaped;
    if (width == w && height == h) {
        // The result outlives the loaded picture's view.
        shaped.image = image.constBits() == viewBits ? image.copy() : std::move(image);
    } else {
        // Shrinking averages the pixels each dot covers, so thin strokes keep their share; enlarging
        // repeats pixels, so that a small drawing stays crisp rather than blurred.
        const bool shrinking = width <= w && height <= h;
        shaped.image = image
                           .scaled(int(width), int(height), Qt::IgnoreAspectRatio,
                                   shrinking ? Qt::SmoothTransformation : Qt::FastTransformation)
                           .convertToFormat(QImage::Format_ARGB32);
    }
    return shaped;
}

QImage roundPicture(const QImage &picture, const PolarMap &map) {
    const int columns = int(map.angles.size());
    const int rows = int(map.radii.size());
    QImage result(columns, rows, QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    if (picture.isNull() || columns == 0 || rows == 0) {
        return result;
    }
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const double cx = source.width() / 2.0;
    const double cy = source.height() / 2.0;
    const double rim = std::max(source.width(), source.height()) / 2.0;
    // Each dot is the mean of 3 × 3 points over the angle and the radius it covers.
    constexpr int n = 3;
    const auto sample = [&](double angle, double radius) {
        int sum[4] = {0, 0, 0, 0};
        for (int i = 0; i < n; ++i) {
            const double a = angle + map.angleSpan * ((i + 0.5) / n - 0.5);
            for (int j = 0; j < n; ++j) {
                const double r = (radius + map.radiusSpan * ((j + 0.5) / n - 0.5)) * rim;
                const auto x = int(std::floor(cx + r * std::sin(a)));
                const auto y = int(std::floor(cy - r * std::cos(a)));
                if (x < 0 || y < 0 || x >= source.width() || y >= source.height()) {
                    continue;
                }
                const QRgb p = reinterpret_cast<const QRgb *>(source.constScanLine(y))[x];
                sum[0] += qRed(p);
                sum[1] += qGreen(p);
                sum[2] += qBlue(p);
                sum[3] += qAlpha(p);
            }
        }
        constexpr int count = n * n;
        return qUnpremultiply(qRgba((sum[0] + count / 2) / count, (sum[1] + count / 2) / count,
                                    (sum[2] + count / 2) / count, (sum[3] + count / 2) / count));
    };
    // The canvas repeats each revolution's columns: every angle is sampled once.
    std::unordered_map<double, int> done;
    for (int x = 0; x < columns; ++x) {
        const double angle = map.angles[size_t(x)];
        if (std::isnan(angle)) {
            continue;
        }
        if (const auto seen = done.find(angle); seen != done.end()) {
            for (int y = 0; y < rows; ++y) {
                auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
                line[x] = line[seen->second];
            }
            continue;
        }
        done.emplace(angle, x);
        for (int y = 0; y < rows; ++y) {
            reinterpret_cast<QRgb *>(result.scanLine(y))[x] = sample(angle, map.radii[size_t(y)]);
        }
    }
    return result;
}

} // namespace tavrin::compose
