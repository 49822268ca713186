#include "imaging/decode/PictureLoaders.h"

#include "imaging/decode/PictureDecoder.h"
#include "imaging/files/PictureType.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cstring>

namespace mosaiq {

namespace {

constexpr std::int64_t kWorkingPictureMaxPixels = 1'920'000;

// Copies rows of a Format_RGB32 image into a packed 3-byte buffer. bottomUp puts the image's top
// row last; rgb writes R, G, B (otherwise B, G, R).
void PackRows(const QImage& image, unsigned char* out, bool bottomUp, bool rgb) {
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        unsigned char* row = out + size_t(bottomUp ? h - 1 - y : y) * size_t(w) * 3;
        for (int x = 0; x < w; ++x) {
            const QRgb p = in[x];
            row[3 * x] = static_cast<unsigned char>(rgb ? qRed(p) : qBlue(p));
            row[3 * x + 1] = static_cast<unsigned char>(qGreen(p));
            row[3 * x + 2] = static_cast<unsigned char>(rgb ? qBlue(p) : qRed(p));
        }
    }
}

// Smooth scaling that never shrinks by more than 2x in one pass (a single bilinear pass over a
// large reduction would skip source pixels).
QImage ScaleInSteps(QImage image, QSize size) {
    while (image.width() > 2 * size.width() || image.height() > 2 * size.height()) {
        const QSize half(std::max(size.width(), (image.width() + 1) / 2),
                         std::max(size.height(), (image.height() + 1) / 2));
        image = image.scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

bool Fail(QString* reason, const QString& text) {
    if (reason)
        *reason = text;
    return false;
}

} // namespace

QImage StretchOnWhite(const QImage& source, QSize size) {
    QImage scaled = ScaleInSteps(source, size);
    if (!scaled.hasAlphaChannel())
        return scaled.convertToFormat(QImage::Format_RGB32);
    QImage out(size, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, scaled);
    return out;
}

int LoadThumbnailPixels(const QString& path, unsigned char* out, int width, int height,
                        QString* reason) {
    if (!out || width <= 0 || height <= 0) {
        Fail(reason, QStringLiteral("no thumbnail size"));
        return 0;
    }
    // A reduced decode at least twice the thumbnail keeps the final smooth pass accurate.
    const DecodedPicture picture = DecodePicture(path, QSize(2 * width, 2 * height));
    if (!picture.Ok()) {
        Fail(reason, picture.error);
        return 0;
    }
    PackRows(StretchOnWhite(picture.image, QSize(width, height)), out, true, true);
    return 1;
}

bool LoadScaledPixels(const QString& path, unsigned char* out, int width, int height,
                      QString* reason) {
    if (!out || width <= 0 || height <= 0)
        return Fail(reason, QStringLiteral("no output size"));
    const DecodedPicture picture = DecodePicture(path, QSize(width, height));
    if (!picture.Ok())
        return Fail(reason, picture.error);
    // Transparent parts keep their colour values: the buffer has no alpha.
    QImage image = picture.image.convertToFormat(QImage::Format_RGB32);
    if (image.size() == QSize(width, height)) {
        PackRows(image, out, false, false);
        return true;
    }
    if (image.width() > 2 * width || image.height() > 2 * height)
        image = ScaleInSteps(image, QSize(std::max(width, (image.width() + 1) / 2),
                                          std::max(height, (image.height() + 1) / 2)));
    // Format_RGB32 rows are packed B, G, R, X: resample the first three bytes of each pixel.
    QByteArray source(qsizetype(image.width()) * image.height() * 3, Qt::Uninitialized);
    PackRows(image, reinterpret_cast<unsigned char*>(source.data()), false, false);
    ResampleBilinear(reinterpret_cast<const unsigned char*>(source.constData()), out, image.width(),
                     image.height(), width, height, 3, false);
    return true;
}

void ResampleBilinear(const unsigned char* source, unsigned char* destination, int sw, int sh,
                      int dw, int dh, int n, bool reversed) {
    if (!source || !destination || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0 || n <= 0)
        return;
    const std::int64_t DW = dw, DH = dh, area = DW * DH;
    const size_t srcStride = size_t(sw) * size_t(n), dstStride = size_t(dw) * size_t(n);
    for (int i = 0; i < dh; ++i) {
        const std::int64_t yy = std::int64_t(i) * sh;
        const int y0 = int(yy / DH);
        const std::int64_t ry = DH - yy % DH;
        const int y1 = std::min(yy % DH ? y0 + 1 : y0, sh - 1);
        const unsigned char* upper = source + size_t(y0) * srcStride;
        const unsigned char* lower = source + size_t(y1) * srcStride;
        unsigned char* row = destination + size_t(reversed ? dh - 1 - i : i) * dstStride;
        for (int j = 0; j < dw; ++j) {
            const std::int64_t xx = std::int64_t(j) * sw;
            const int x0 = int(xx / DW);
            const std::int64_t bx = xx % DW;
            const int x1 = std::min(bx ? x0 + 1 : x0, sw - 1);
            unsigned char* px = row + size_t(j) * size_t(n);
            for (int c = 0; c < n; ++c) {
                const std::int64_t g = upper[size_t(x0) * size_t(n) + size_t(c)];
                const std::int64_t d = upper[size_t(x1) * size_t(n) + size_t(c)];
                const std::int64_t f = lower[size_t(x0) * size_t(n) + size_t(c)];
                const std::int64_t e = lower[size_t(x1) * size_t(n) + size_t(c)];
                const std::int64_t v =
                    (area / 2 + DW * ry * d + (DW - bx) * (DH * f + (g + e - d - f) * ry) +
                     (DH * bx - DW * ry) * e) /
                    area;
                px[reversed ? n - 1 - c : c] =
                    static_cast<unsigned char>(std::clamp<std::int64_t>(v, 0, 255));
            }
        }
    }
}

QSize FitSize(int w, int h, int bw, int bh, bool always) {
    if (w == 0 || h == 0 || bw == 0 || bh == 0)
        return QSize(0, 0);
    if (w > bw || h > bh || always) {
        if (double(bw) / double(bh) < double(w) / double(h))
            return QSize(bw, int(std::int64_t(h) * bw / w));
        return QSize(int(std::int64_t(w) * bh / h), bh);
    }
    return QSize(w, h);
}

bool DrawEncodedPicture(const QByteArray& bytes, int quarterTurns, QPainter& painter,
                        const QRect& target, bool mirrored) {
    QImage image = QImage::fromData(bytes);
    if (image.isNull())
        return false;
    // Thumbnails are stored bottom row first: a vertical flip brings them upright; the mirrored
    // form turns them by 180 degrees instead (upright and mirrored left to right).
    const QTransform orient = mirrored ? QTransform().rotate(180) : QTransform().scale(1, -1);
    image = image.transformed(orient * QTransform().rotate(90.0 * (quarterTurns & 3)));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
    painter.restore();
    return true;
}

QSize WorkingPictureSize(int fullWidth, int fullHeight) {
    if (fullWidth <= 0 || fullHeight <= 0 ||
        std::int64_t(fullWidth) * fullHeight <= kWorkingPictureMaxPixels)
        return QSize(fullWidth, fullHeight);
    if (double(fullWidth) / double(fullHeight) > 1.3333334)
        return QSize(1600, int(std::int64_t(fullHeight) * 1600 / fullWidth));
    return QSize(int(std::int64_t(fullWidth) * 1200 / fullHeight), 1200);
}

WorkingPicture LoadWorkingPicture(const QString& path, bool upright) {
    WorkingPicture result;
    QSize full;
    const PictureTurn turn = upright ? PictureTurn::Upright : PictureTurn::AsStored;
    if (!ReadPictureSize(path, &full, &result.error, turn))
        return result;
    const QSize working = WorkingPictureSize(full.width(), full.height());
    const DecodedPicture picture = DecodePicture(path, working, turn);
    if (!picture.Ok()) {
        result.error = picture.error;
        return result;
    }
    const bool downscaled = working != picture.fullSize;
    result.decoder = downscaled || picture.decoder == kDecoderLibrary ? 1 : 0;
    result.type = PictureTypeFromExtension(PictureExtension(path));
    result.fullWidth = picture.fullSize.width();
    result.fullHeight = picture.fullSize.height();
    QImage image = picture.image.convertToFormat(QImage::Format_RGB32);
    if (image.size() != working)
        image = ScaleInSteps(image, working);
    result.width = image.width() & ~3;
    result.height = image.height();
    if (result.width == 0) {
        result.error = QStringLiteral("the picture is narrower than 4 pixels");
        return result;
    }
    image = image.copy(0, 0, result.width, result.height);
    result.pixels.resize(qsizetype(result.width) * result.height * 3);
    PackRows(image, reinterpret_cast<unsigned char*>(result.pixels.data()), false, false);
    result.ok = true;
    return result;
}

} // namespace mosaiq
