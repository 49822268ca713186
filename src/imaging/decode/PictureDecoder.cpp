#include "imaging/decode/PictureDecoder.h"

#include "core/files/RegularFile.h"
#include "core/text/DisplayText.h"
#include "imaging/colour/ColourProfile.h"
#include "imaging/decode/DecodeCost.h"
#include "imaging/decode/HeifReader.h"
#include "imaging/decode/JpegStream.h"
#include "imaging/decode/PictureMetadata.h"
#include "imaging/decode/PngStream.h"
#include "imaging/decode/WebpReader.h"
#include "imaging/files/DecodeBudget.h"
#include "imaging/files/PictureLimits.h"
#include "imaging/files/PictureType.h"
#include "imaging/magick/ImageLibrary.h"

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

// What the decoders' pictures become before their users see them: RGB32 when opaque, ARGB32 with
// transparency (straight), colours converted from the file's profile to sRGB, turned upright
// by the orientation, and finally premultiplied unless straight alpha was asked for (straight
// alpha keeps the colour values under transparent pixels, which premultiplying turns black;
// converters that write formats without alpha need them).
QImage Finished(QImage image, const QByteArray& profile, int orientation, bool straight) {
    const bool alpha = image.hasAlphaChannel();
    const QImage::Format working = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (image.format() != working)
        image = image.convertToFormat(working);
    if (!profile.isEmpty())
        ConvertProfileToSrgb(image, profile);
    image = OrientImage(image, orientation);
    if (alpha && !straight)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
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

// HEIF pictures go to libheif, which reads them in the first decoder's place: the image
// library's own HEIF reading hands back the YCbCr planes as if they were RGB.
DecodedPicture DecodeHeifBytes(const QByteArray& raw, QSize minimum, bool sizeOnly, bool straight) {
    DecodedPicture result;
    HeifPicture heif = ReadHeif(raw, minimum, sizeOnly);
    result.error = heif.error;
    if (!heif.fullSize.isValid())
        return result;
    result.fullSize = heif.fullSize;
    result.decoder = kDecoderFirst;
    if (!sizeOnly)
        result.image = Finished(std::move(heif.image), heif.colourProfile, 1, straight);
    return result;
}

// The two-decoder rule over an encoded picture in memory. With sizeOnly, stops once the size is
// known (the image stays null; the size is in fullSize). minimum and the size returned are in
// the picture's upright sides when turn is Upright.
DecodedPicture DecodeBytes(const QByteArray& raw, const QString& extension, QSize minimum,
                           bool sizeOnly, bool straight, PictureTurn turn) {
    EnsureFirstDecoder();
    DecodedPicture result;
    result.type = PictureTypeFromExtension(extension);
    if (raw.isEmpty()) {
        result.error = QStringLiteral("the file is empty");
        return result;
    }
    if (LooksLikeHeif(raw)) {
        DecodedPicture heif = DecodeHeifBytes(raw, minimum, sizeOnly, straight);
        heif.type = result.type;
        return heif;
    }
    const PictureMetadata meta = ScanPictureMetadata(
        reinterpret_cast<const unsigned char*>(raw.constData()), std::size_t(raw.size()));
    result.orientation = meta.orientation;
    const int orientation = turn == PictureTurn::Upright ? meta.orientation : 1;
    // The decoders see the picture as stored.
    if (OrientationSwapsSides(orientation))
        minimum.transpose();
    const auto finish = [&](QSize storedSize, QImage image, int decoder) {
        result.fullSize = OrientedSize(storedSize, orientation);
        result.decoder = decoder;
        if (!sizeOnly)
            result.image = Finished(std::move(image), meta.colourProfile, orientation, straight);
        return result;
    };
    if (LooksLikeWebp(raw)) {
        WebpPicture webp = ReadWebpHeader(raw);
        if (webp.still) {
            // Bounded by the header (16383 a side), the picture limits and, for a picture coded
            // in far fewer bytes than its size, the whole-picture budget; not by the byte ratio.
            if (!PictureSizeAllowed(webp.size, &result.error))
                return result;
            QString beyond;
            if (!PictureDataPlausible(webp.size, raw.size(), nullptr) &&
                !WithinBudget(webp.size, kWholePictureBudget, &beyond)) {
                result.error = QStringLiteral("the picture claims %1 x %2 pixels in %3 bytes: %4")
                                   .arg(webp.size.width())
                                   .arg(webp.size.height())
                                   .arg(raw.size())
                                   .arg(beyond);
                return result;
            }
            if (sizeOnly)
                return finish(webp.size, QImage(), kDecoderFirst);
            if (!DecodeWebp(raw, &webp)) {
                result.error = webp.error;
                return result;
            }
            return finish(webp.size, std::move(webp.image), kDecoderFirst);
        }
        if (webp.size.isEmpty()) {
            result.error = webp.error;
            return result;
        }
    }
    QString firstError;
    if (!IsMetafileExtension(extension)) {
        QByteArray data = raw;
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        // Orientation is applied by Finished, from our own reading of the tags.
        reader.setAutoTransform(false);
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
            if (sizeOnly && size.isValid())
                return finish(size, QImage(), kDecoderFirst);
            if (reader.format() == "png") {
                const PngStreamInfo png = ScanPngStream(
                    reinterpret_cast<const unsigned char*>(raw.constData()), raw.size(), false);
                if (NeedsOwnColourKey(png)) {
                    QImage keyed = DecodeDeepRgbWithKey(raw, png);
                    if (keyed.isNull()) {
                        result.error = QStringLiteral("the PNG picture cannot be read");
                        return result;
                    }
                    const QSize keyedSize = keyed.size();
                    return finish(keyedSize, std::move(keyed), kDecoderFirst);
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
                const QSize stored = size.isValid() ? size : image.size();
                if (!PictureSizeAllowed(stored, &result.error))
                    return result;
                return finish(stored, std::move(image), kDecoderFirst);
            }
            firstError = LibraryMessage(reader.errorString());
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
    const QSize stored(picture.GetWidth(), picture.GetHeight());
    return finish(stored, sizeOnly ? QImage() : picture.ToImage(), kDecoderLibrary);
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

DecodedPicture DecodePicture(const QString& path, QSize minimum, PictureTurn turn) {
    const QString extension = PictureExtension(path);
    return WithFileBytes(path, [&](const QByteArray& raw) {
        DecodedPicture r = DecodeBytes(raw, extension, minimum, false, false, turn);
        // The image must own its pixels: a decoder could have kept a view of the raw bytes.
        if (r.Ok())
            r.image.detach();
        return r;
    });
}

DecodedPicture DecodePictureStraight(const QString& path, PictureTurn turn) {
    const QString extension = PictureExtension(path);
    return WithFileBytes(path, [&](const QByteArray& raw) {
        DecodedPicture r = DecodeBytes(raw, extension, QSize(), false, true, turn);
        if (r.Ok())
            r.image.detach();
        return r;
    });
}

DecodedPicture DecodePictureData(const QByteArray& data, const QString& extension, QSize minimum,
                                 PictureTurn turn) {
    return DecodeBytes(data, extension, minimum, false, false, turn);
}

bool ReadPictureSize(const QString& path, QSize* size, QString* reason, PictureTurn turn) {
    const QString extension = PictureExtension(path);
    const DecodedPicture r = WithFileBytes(path, [&](const QByteArray& raw) {
        return DecodeBytes(raw, extension, QSize(), true, false, turn);
    });
    if (r.decoder == kDecoderNone) {
        if (reason)
            *reason = r.error;
        return false;
    }
    if (size)
        *size = r.fullSize;
    return true;
}

int ReadPictureOrientation(const QString& path) {
    const DecodedPicture r = WithFileBytes(path, [](const QByteArray& raw) {
        DecodedPicture found;
        found.orientation = ScanPictureMetadata(reinterpret_cast<const uchar*>(raw.constData()),
                                                std::size_t(raw.size()))
                                .orientation;
        return found;
    });
    return r.orientation;
}

QImage DecodePictureAtLeast(const QString& path, QSize minimum, QSize* fullSize, QString* reason,
                            PictureTurn turn) {
    DecodedPicture r = DecodePicture(path, minimum, turn);
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
