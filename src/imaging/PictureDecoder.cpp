#include "imaging/PictureDecoder.h"

#include "core/RegularFile.h"
#include "imaging/DecodeCost.h"
#include "imaging/ImageLibrary.h"
#include "imaging/JpegStream.h"
#include "imaging/PictureLimits.h"
#include "imaging/PictureType.h"
#include "imaging/PngStream.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <mutex>

namespace mosaiq {

namespace {

void EnsureFirstDecoder() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Our own caps (PictureSizeAllowed) decide; Qt's default of 128 MB refuses ordinary photos.
        QImageReader::setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 64);
    });
}

QImage Normalised(QImage image, bool straight = false) {
    if (image.hasAlphaChannel()) {
        // Straight alpha keeps the colour values under transparent pixels (premultiplying
        // turns them black); converters that write formats without alpha need them.
        const QImage::Format format =
            straight ? QImage::Format_ARGB32 : QImage::Format_ARGB32_Premultiplied;
        return image.format() == format ? image : image.convertToFormat(format);
    }
    return image.format() == QImage::Format_RGB32 ? image
                                                  : image.convertToFormat(QImage::Format_RGB32);
}

// The size to ask a scaling decoder for: the full size divided by the largest of 8, 4, 2 that
// still keeps both sides at least minimum; invalid when no reduction is possible.
QSize ReducedSize(QSize full, QSize minimum) {
    if (!minimum.isValid() || !full.isValid())
        return QSize();
    for (int d : {8, 4, 2}) {
        const QSize reduced(full.width() / d, full.height() / d);
        if (reduced.width() >= std::max(1, minimum.width()) &&
            reduced.height() >= std::max(1, minimum.height()))
            return reduced;
    }
    return QSize();
}

// Formats the first decoder reads: those it recognises by a reliable signature. Formats without
// one (tga, wbmp, and ico unless the name says so) go to the image library, which is told the type
// by the extension; otherwise a headerless TGA could be taken for an icon.
bool FirstDecoderReads(const QByteArray& format, const QString& extension) {
    static const char* const kSigned[] = {"jpeg", "png", "gif", "bmp", "tiff", "webp",
                                          "pbm",  "pgm", "ppm", "svg", "mng"};
    for (const char* f : kSigned)
        if (format == f)
            return true;
    return (format == "ico" || format == "cur") &&
           (extension.compare(QLatin1String("ico"), Qt::CaseInsensitive) == 0 ||
            extension.compare(QLatin1String("cur"), Qt::CaseInsensitive) == 0);
}

bool IsMetafileExtension(const QString& extension) {
    const QString upper = extension.toUpper();
    return upper == QLatin1String("WMF") || upper == QLatin1String("EMF");
}

// The two-decoder rule over an encoded picture in memory. With sizeOnly, stops once the size is
// known (the image stays null; the size is in fullSize).
DecodedPicture DecodeBytes(const QByteArray& raw, const QString& extension, QSize minimum,
                           bool sizeOnly, bool straight = false) {
    EnsureFirstDecoder();
    DecodedPicture result;
    result.type = PictureTypeFromExtension(extension);
    if (raw.isEmpty()) {
        result.error = QStringLiteral("the file is empty");
        return result;
    }
    QString firstError;
    if (!IsMetafileExtension(extension)) {
        QByteArray data = raw;
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        if (reader.canRead() && FirstDecoderReads(reader.format(), extension)) {
            const QSize size = reader.size();
            // The library would be told the same size: refuse outright.
            if (size.isValid() && (!PictureSizeAllowed(size, &result.error) ||
                                   !PictureDataPlausible(size, raw.size(), &result.error)))
                return result;
            if (!DecodeCostBounded(raw, &result.error))
                return result;
            if (reader.format() == "jpeg") {
                const JpegStreamInfo info = ScanJpegStream(
                    reinterpret_cast<const unsigned char*>(raw.constData()), raw.size());
                if (!info.complete) {
                    result.error = QStringLiteral(
                        "the JPEG data ends early (the file is truncated or damaged)");
                    return result;
                }
            }
            if (sizeOnly && size.isValid()) {
                result.fullSize = size;
                result.decoder = kDecoderFirst;
                return result;
            }
            if (reader.format() == "png") {
                const PngStreamInfo png = ScanPngStream(
                    reinterpret_cast<const unsigned char*>(raw.constData()), raw.size(), false);
                if (NeedsOwnColourKey(png)) {
                    QImage keyed = DecodeDeepRgbWithKey(raw, png);
                    if (keyed.isNull()) {
                        result.error = QStringLiteral("the PNG picture cannot be read");
                        return result;
                    }
                    result.fullSize = keyed.size();
                    result.decoder = kDecoderFirst;
                    result.image = Normalised(std::move(keyed));
                    return result;
                }
            }
            // Only JPEG decodes at a reduced scale (through the DCT). Other handlers decode in
            // full and then scale, and the PNG handler's scaling drops the partial alpha of a
            // palette picture with a transparency chunk: those are scaled by their users.
            const QSize reduced =
                reader.format() == "jpeg" && reader.supportsOption(QImageIOHandler::ScaledSize)
                    ? ReducedSize(size, minimum)
                    : QSize();
            if (reduced.isValid())
                reader.setScaledSize(reduced);
            QImage image;
            if (reader.read(&image) && !image.isNull()) {
                result.fullSize = size.isValid() ? size : image.size();
                if (!PictureSizeAllowed(result.fullSize, &result.error))
                    return result;
                result.decoder = kDecoderFirst;
                if (!sizeOnly)
                    result.image = Normalised(std::move(image), straight);
                return result;
            }
            firstError = reader.errorString();
        }
    }
    if (extension.isEmpty()) {
        result.error =
            firstError.isEmpty()
                ? QStringLiteral("the file name has no extension and the picture is not recognised")
                : firstError;
        return result;
    }
    LibraryImage picture(raw, result.type);
    if (!picture.IsValid()) {
        result.error = picture.ErrorString();
        if (result.error.isEmpty())
            result.error = firstError;
        if (result.error.isEmpty())
            result.error = QStringLiteral("the picture cannot be read");
        return result;
    }
    result.decoder = kDecoderLibrary;
    result.fullSize = QSize(picture.GetWidth(), picture.GetHeight());
    if (!sizeOnly)
        result.image = Normalised(picture.ToImage(), straight);
    return result;
}

// Runs fn on the bytes of the file at path (memory-mapped where possible).
template <typename Fn> DecodedPicture WithFileBytes(const QString& path, Fn fn) {
    QFile file;
    DecodedPicture refused;
    if (OpenRegularFile(file, path, &refused.error) != OpenFailure::None)
        return refused;
    const qint64 size = file.size();
    if (size > kMaxPictureFileBytes) {
        DecodedPicture result;
        result.error = QStringLiteral("the file is larger than %1 bytes").arg(kMaxPictureFileBytes);
        return result;
    }
    if (size > 0) {
        if (uchar* mapped = file.map(0, size)) {
            DecodedPicture result =
                fn(QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(size)));
            // The decoded image never refers to the mapping; release it before returning.
            file.unmap(mapped);
            return result;
        }
    }
    // An empty file, or one that cannot be mapped, is read in pieces: asking for the whole cap at
    // once would reserve that much memory before reading a byte.
    QByteArray bytes;
    for (;;) {
        const QByteArray piece = file.read(1 << 20);
        if (piece.isEmpty())
            break;
        if (bytes.size() + piece.size() > kMaxPictureFileBytes) {
            DecodedPicture result;
            result.error =
                QStringLiteral("the file is larger than %1 bytes").arg(kMaxPictureFileBytes);
            return result;
        }
        bytes += piece;
    }
    return fn(bytes);
}

} // namespace

DecodedPicture DecodePicture(const QString& path, QSize minimum) {
    const QString extension = PictureExtension(path);
    return WithFileBytes(path, [&](const QByteArray& raw) {
        DecodedPicture r = DecodeBytes(raw, extension, minimum, false);
        // The image must own its pixels: a decoder could have kept a view of the raw bytes.
        if (r.Ok())
            r.image.detach();
        return r;
    });
}

DecodedPicture DecodePictureStraight(const QString& path) {
    const QString extension = PictureExtension(path);
    return WithFileBytes(path, [&](const QByteArray& raw) {
        DecodedPicture r = DecodeBytes(raw, extension, QSize(), false, true);
        if (r.Ok())
            r.image.detach();
        return r;
    });
}

DecodedPicture DecodePictureData(const QByteArray& data, const QString& extension, QSize minimum) {
    return DecodeBytes(data, extension, minimum, false);
}

bool ReadPictureSize(const QString& path, QSize* size, QString* reason) {
    const QString extension = PictureExtension(path);
    const DecodedPicture r = WithFileBytes(
        path, [&](const QByteArray& raw) { return DecodeBytes(raw, extension, QSize(), true); });
    if (r.decoder == kDecoderNone) {
        if (reason)
            *reason = r.error;
        return false;
    }
    if (size)
        *size = r.fullSize;
    return true;
}

QImage DecodePictureAtLeast(const QString& path, QSize minimum, QSize* fullSize, QString* reason) {
    DecodedPicture r = DecodePicture(path, minimum);
    if (!r.Ok()) {
        if (reason)
            *reason = r.error;
        return QImage();
    }
    if (fullSize)
        *fullSize = r.fullSize;
    if (r.image.format() != QImage::Format_ARGB32_Premultiplied)
        return r.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return r.image;
}

} // namespace mosaiq
