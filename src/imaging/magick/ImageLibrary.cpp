#include "imaging/magick/ImageLibrary.h"

#include "core/files/AtomicFile.h"
#include "core/files/RegularFile.h"
#include "core/text/DisplayText.h"
#include "imaging/decode/DecodeCost.h"
#include "imaging/encode/GifWriter.h"
#include "imaging/encode/PngWriter.h"
#include "imaging/files/PictureLimits.h"
#include "imaging/files/PictureType.h"
#include "imaging/files/ReplacingFile.h"
#include "imaging/magick/MagickCoders.h"
#include "imaging/magick/MagickPolicy.h"
#include "imaging/magick/MagickTempFolders.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <Magick++.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <random>
#include <vector>

namespace mosaiq {

bool PictureSizeAllowed(QSize size, QString* reason) {
    const auto fail = [&](const QString& text) {
        if (reason)
            *reason = text;
        return false;
    };
    if (size.width() <= 0 || size.height() <= 0)
        return fail(QStringLiteral("the picture has no pixels"));
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        return fail(QStringLiteral("the picture claims %1 x %2 pixels; at most %3 a side are read")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(kMaxPictureSide));
    if (std::int64_t(size.width()) * size.height() > kMaxPicturePixels)
        return fail(
            QStringLiteral("the picture claims %1 x %2 pixels; at most %3 megapixels are read")
                .arg(size.width())
                .arg(size.height())
                .arg(kMaxPicturePixels / 1'000'000));
    return true;
}

bool PictureDataPlausible(QSize size, std::int64_t encodedBytes, QString* reason) {
    if (std::int64_t(size.width()) * size.height() <= encodedBytes * kMaxPixelsPerEncodedByte)
        return true;
    if (reason)
        *reason = QStringLiteral("the picture claims %1 x %2 pixels, more than its %3 bytes can hold")
                      .arg(size.width())
                      .arg(size.height())
                      .arg(encodedBytes);
    return false;
}

void EnsureImageLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        // The policy lives in a private directory that is removed when the process ends; those
        // of runs that were killed are removed here.
        RemoveStaleMagickFolders(QDir::tempPath());
        static QTemporaryDir policyDir(MagickFolderTemplate(QDir::tempPath()));
        if (policyDir.isValid() &&
            WriteFileAtomically(policyDir.filePath(QStringLiteral("policy.xml")),
                                QByteArray(kMagickPolicyXml)))
            qputenv("MAGICK_CONFIGURE_PATH", QFile::encodeName(policyDir.path()));
        Magick::InitializeMagick(nullptr);
    });
}

namespace {

// Coders named when reading: only formats without a reliable signature; the rest are
// recognised by content, so a picture with a wrong extension still decodes.
std::string ReadCoder(int type) {
    switch (type) {
    case kPictureIco:
        return "ICO";
    case kPictureTga:
        return "TGA";
    case kPictureWbmp:
        return "WBMP";
    case kPictureMetafile:
        return "WMF";
    case kPicturePgx:
        return "PGX";
    default:
        return std::string();
    }
}

std::string WriteCoder(int type) {
    switch (type) {
    case kPictureBmp:
        return "BMP3";
    case kPictureGif:
        return "GIF";
    case kPictureJpeg:
        return "JPEG";
    case kPicturePng:
        return "PNG";
    case kPictureIco:
        return "ICO";
    case kPictureTiff:
        return "TIFF";
    case kPictureTga:
        return "TGA";
    case kPicturePcx:
        return "PCX";
    case kPictureWbmp:
        return "WBMP";
    case kPictureJp2:
        return "JP2";
    case kPictureJpc:
        return "J2K";
    case kPicturePgx:
        return "PGX";
    case kPicturePnm:
        return "PNM";
    case kPictureRas:
        return "SUN";
    default:
        return std::string();
    }
}

int TypeFromCoder(const std::string& coder, int fallback) {
    static const struct {
        const char* coder;
        int type;
    } kCoders[] = {{"BMP", kPictureBmp},      {"BMP2", kPictureBmp},  {"BMP3", kPictureBmp},
                   {"GIF", kPictureGif},      {"GIF87", kPictureGif}, {"JPEG", kPictureJpeg},
                   {"PNG", kPicturePng},      {"ICO", kPictureIco},   {"TIFF", kPictureTiff},
                   {"TGA", kPictureTga},      {"PCX", kPicturePcx},   {"WBMP", kPictureWbmp},
                   {"WMF", kPictureMetafile}, {"JP2", kPictureJp2},   {"J2K", kPictureJpc},
                   {"JPC", kPictureJpc},      {"PGX", kPicturePgx},   {"PNM", kPicturePnm},
                   {"PPM", kPicturePnm},      {"PGM", kPicturePnm},   {"PBM", kPicturePnm},
                   {"SUN", kPictureRas}};
    for (const auto& c : kCoders)
        if (coder == c.coder)
            return c.type;
    return fallback;
}

bool IsEnhancedMetafile(const QByteArray& data) {
    // An EMF starts with record type 1 (EMR_HEADER) and carries " EMF" at byte 40.
    return data.size() >= 44 && data.at(0) == 1 && data.at(1) == 0 && data.at(2) == 0 &&
           data.at(3) == 0 && std::memcmp(data.constData() + 40, " EMF", 4) == 0;
}

// The library's message without the program name in front and the source location behind
// ("prog: reason `name' @ error/file.c/Function/123" -> "reason").
// TIFF stays with Qt's reader and writer. libtiff's error and warning handlers are global, and
// the image library's TIFF coder replaces them with ones that abort the process when libtiff
// reports anything outside the library's own calls (a damaged TIFF read by Qt afterwards). So
// the library is never given TIFF data and its TIFF coder is never loaded.
bool IsTiffData(const QByteArray& data) {
    return data.startsWith(QByteArray("II*\0", 4)) || data.startsWith(QByteArray("MM\0*", 4)) ||
           data.startsWith(QByteArray("II+\0", 4)) || data.startsWith(QByteArray("MM\0+", 4));
}

QString MagickMessage(const std::exception& e) {
    QString text = LibraryMessage(QString::fromLocal8Bit(e.what()));
    if (text.contains(QStringLiteral("no decode delegate")))
        return QStringLiteral("the file is not a picture in a format read here");
    const qsizetype at = text.indexOf(QStringLiteral(" @ "));
    if (at >= 0)
        text.truncate(at);
    const qsizetype colon = text.indexOf(QStringLiteral(": "));
    if (colon > 0 && !text.left(colon).contains(QLatin1Char(' ')))
        text = text.mid(colon + 2);
    if (text.endsWith(QStringLiteral(" `'")))
        text.chop(3);
    return text;
}

// Reads every row of img's channels named by map into dest (one byte per channel).
void ExportRows(Magick::Image& img, const char* map, QImage& dest) {
    const int w = dest.width(), h = dest.height();
    const int rowBytes = w * int(std::strlen(map));
    if (dest.bytesPerLine() == rowBytes) {
        img.write(0, 0, size_t(w), size_t(h), map, Magick::CharPixel, dest.bits());
        return;
    }
    for (int y = 0; y < h; ++y)
        img.write(0, y, size_t(w), 1, map, Magick::CharPixel, dest.scanLine(y));
}

} // namespace


LibraryImage::LibraryImage(const QString& path, int type) {
    // Only regular files: a device or a pipe has no size to check and might never end.
    QFile file;
    if (OpenRegularFile(file, path, &m_error) != OpenFailure::None)
        return;
    if (file.size() > kMaxPictureFileBytes) {
        m_error = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(kMaxPictureFileBytes);
        return;
    }
    Decode(file.readAll(), type);
}

LibraryImage::LibraryImage(const QByteArray& data, int type) {
    Decode(data, type);
}

LibraryImage::LibraryImage(const LibraryImage& other)
    : m_pixels(other.m_pixels), m_alpha(other.m_alpha), m_type(other.m_type),
      m_error(other.m_error), m_escape(0), m_progress(other.m_progress) {}

LibraryImage& LibraryImage::operator=(const LibraryImage& other) {
    if (this != &other) {
        m_pixels = other.m_pixels;
        m_alpha = other.m_alpha;
        m_type = other.m_type;
        m_error = other.m_error;
        m_progress = other.m_progress;
    }
    return *this;
}

LibraryImage LibraryImage::FromImage(const QImage& image, int type) {
    LibraryImage result;
    result.m_type = type;
    if (image.isNull())
        return result;
    if (image.hasAlphaChannel()) {
        const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
        result.m_alpha = straight.convertToFormat(QImage::Format_Alpha8);
    }
    result.m_pixels = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32)
                                                    .convertToFormat(QImage::Format_RGB32)
                                                    .convertToFormat(QImage::Format_BGR888)
                                              : image.convertToFormat(QImage::Format_BGR888);
    return result;
}

bool LibraryImage::Decode(const QByteArray& data, int type) {
    EnsureImageLibrary();
    m_type = type;
    if (data.isEmpty()) {
        m_error = QStringLiteral("the file is empty");
        return false;
    }
    if (IsTiffData(data)) {
        QByteArray copy = data;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "tiff");
        QImage image;
        if (!PictureSizeAllowed(reader.size(), &m_error) || !reader.read(&image)) {
            if (m_error.isEmpty())
                m_error =
                    QStringLiteral("the TIFF file is damaged or stored in a form not read here");
            return false;
        }
        *this = FromImage(image, kPictureTiff);
        return true;
    }
    if (IsEnhancedMetafile(data)) {
        m_error = QStringLiteral("EMF pictures cannot be read on this system (no EMF decoder)");
        return false;
    }
    if (!DecodeCostBounded(data, &m_error))
        return false;
    const std::string coder = ReadCoder(type);
    try {
        const Magick::Blob blob(data.constData(), size_t(data.size()));
        // Ask for the size first: a lying header is refused before any pixel is allocated.
        Magick::Image probe;
        probe.quiet(true);
        probe.subRange(1);
        if (!coder.empty())
            probe.magick(coder);
        probe.ping(blob);
        const QSize claimed(int(std::min<size_t>(probe.columns(), INT32_MAX)),
                            int(std::min<size_t>(probe.rows(), INT32_MAX)));
        if (!PictureSizeAllowed(claimed, &m_error))
            return false;
        if (probe.magick() != "WMF" && !PictureDataPlausible(claimed, data.size(), &m_error))
            return false;

        Magick::Image img;
        img.subRange(1);
        if (!coder.empty())
            img.magick(coder);
        try {
            img.read(blob);
        } catch (const Magick::WarningCorruptImage& e) {
            m_error = QStringLiteral("the picture is damaged: %1").arg(MagickMessage(e));
            return false;
        } catch (const Magick::Warning&) {
            // Other warnings (unknown tags and the like) leave a complete picture.
        }
        // The TGA coder leaves rows as stored and only records their order: apply it, so the
        // picture's top row comes first as for every other format. (EXIF orientation of photos
        // is not applied: photos are used as stored.)
        if (img.magick() == "TGA") {
            const Magick::OrientationType order = img.orientation();
            if (order == Magick::BottomLeftOrientation || order == Magick::BottomRightOrientation)
                img.flip();
            if (order == Magick::TopRightOrientation || order == Magick::BottomRightOrientation)
                img.flop();
        }
        const QSize size(int(img.columns()), int(img.rows()));
        if (!PictureSizeAllowed(size, &m_error))
            return false;
        QImage pixels(size, QImage::Format_BGR888);
        if (pixels.isNull()) {
            m_error = QStringLiteral("not enough memory for %1 x %2 pixels")
                          .arg(size.width())
                          .arg(size.height());
            return false;
        }
        ExportRows(img, "BGR", pixels);
        if (img.matte()) {
            QImage alpha(size, QImage::Format_Alpha8);
            if (alpha.isNull()) {
                m_error = QStringLiteral("not enough memory for the alpha plane");
                return false;
            }
            ExportRows(img, "A", alpha);
            m_alpha = alpha;
        } else {
            m_alpha = QImage();
        }
        m_pixels = pixels;
        m_type = TypeFromCoder(img.magick(), type);
        m_error.clear();
        return true;
    } catch (const std::exception& e) {
        m_pixels = QImage();
        m_alpha = QImage();
        m_error = MagickMessage(e);
        if (m_error.isEmpty())
            m_error = QStringLiteral("the image library cannot read this picture");
        return false;
    }
}

unsigned char* LibraryImage::GetBits(int row) {
    if (!IsValid() || row < 0 || row >= GetHeight())
        return nullptr;
    return m_pixels.scanLine(GetHeight() - 1 - row);
}

const unsigned char* LibraryImage::GetBits(int row) const {
    if (!IsValid() || row < 0 || row >= GetHeight())
        return nullptr;
    return m_pixels.constScanLine(GetHeight() - 1 - row);
}

int LibraryImage::AlphaGet(int x, int y) const {
    if (m_alpha.isNull() || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return 255;
    return m_alpha.constScanLine(GetHeight() - 1 - y)[x];
}

QImage LibraryImage::ToImage() const {
    if (!IsValid())
        return QImage();
    QImage rgb = m_pixels.convertToFormat(QImage::Format_RGB32);
    if (m_alpha.isNull())
        return rgb;
    QImage argb = rgb.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(argb.scanLine(y));
        const uchar* a = m_alpha.constScanLine(y);
        for (int x = 0; x < argb.width(); ++x)
            line[x] = (line[x] & 0x00FFFFFFu) | (QRgb(a[x]) << 24);
    }
    return argb;
}

bool LibraryImage::Resample(int width, int height, int /*mode*/) {
    if (!IsValid() || width <= 0 || height <= 0 ||
        !PictureSizeAllowed(QSize(width, height), &m_error))
        return false;
    if (width == GetWidth() && height == GetHeight())
        return true;
    const QImage source = m_alpha.isNull()
                              ? m_pixels.convertToFormat(QImage::Format_RGB32)
                              : ToImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage scaled =
        source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull() || GetEscape())
        return false;
    if (!m_alpha.isNull()) {
        const QImage straight = scaled.convertToFormat(QImage::Format_ARGB32);
        m_alpha = straight.convertToFormat(QImage::Format_Alpha8);
        m_pixels =
            straight.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_BGR888);
    } else {
        m_pixels = scaled.convertToFormat(QImage::Format_BGR888);
    }
    return true;
}

QByteArray LibraryImage::Encode(int type) {
    if (!IsValid()) {
        m_error = QStringLiteral("there is no picture to save");
        return QByteArray();
    }
    return EncodePicture(ToImage(), type, &m_error);
}

bool LibraryImage::Save(const QString& path, int type) {
    const QByteArray bytes = Encode(type);
    if (bytes.isEmpty())
        return false;
    QString error;
    if (!WritePictureFile(path, bytes, &error)) {
        m_error = error;
        return false;
    }
    return true;
}

void LibraryImage::Destroy() {
    m_pixels = QImage();
    m_alpha = QImage();
}

bool LibraryImage::ReplacePixels(QImage pixels) {
    if (GetEscape())
        return false;
    m_pixels = std::move(pixels);
    return true;
}

namespace magick {

std::string WriteCoder(int type) {
    return mosaiq::WriteCoder(type);
}

QString Message(const std::exception& e) {
    return MagickMessage(e);
}

} // namespace magick

} // namespace mosaiq
