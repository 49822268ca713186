#include "imaging/encode/PictureEncoder.h"

#include "core/text/DisplayText.h"
#include "imaging/encode/PngWriter.h"
#include "imaging/files/PictureType.h"
#include "imaging/files/ReplacingFile.h"
#include "imaging/magick/ImageLibrary.h"

#include <QBuffer>
#include <QImageWriter>

#include <array>

namespace mosaiq {

namespace {

struct EncoderInfo {
    const char* mimeType;
    const char* extensions; // lower case, as matched against the pattern
    const char* qtFormat;   // null: written by the image library
};

constexpr std::array<EncoderInfo, 6> kEncoders{{
    {"image/bmp", "*.bmp;*.dib;*.rle", "bmp"},
    {"image/jpeg", "*.jpg;*.jpeg;*.jpe;*.jfif", "jpeg"},
    {"image/gif", "*.gif", nullptr},
    {"image/tiff", "*.tif;*.tiff", "tiff"},
    {"image/png", "*.png", "png"},
    {"image/webp", "*.webp", "webp"}, // Qt's image formats plugin, lossy at the JPEG quality
}};

} // namespace

CPictureEncoder::CPictureEncoder(const QString& mimeOrPath) {
    const QString lower = mimeOrPath.toLower();
    const qsizetype dot = lower.lastIndexOf(QLatin1Char('.'));
    const QString pattern = dot >= 0 ? QLatin1Char('*') + lower.mid(dot) : lower;
    if (pattern.isEmpty())
        return;
    for (size_t i = 0; i < kEncoders.size(); ++i) {
        if (pattern == QLatin1String(kEncoders[i].mimeType) ||
            QLatin1String(kEncoders[i].extensions).contains(pattern)) {
            m_encoder = int(i);
            m_mimeType = QLatin1String(kEncoders[i].mimeType);
            m_found = true;
            return;
        }
    }
}

int CPictureEncoder::SaveBitmap(const QImage& image, const QString& path) {
    if (!m_found) {
        m_error = QStringLiteral("no encoder for %1").arg(path);
        return kEncoderGenericError;
    }
    if (image.isNull()) {
        m_error = QStringLiteral("there is no picture to save");
        return kEncoderGenericError;
    }
    const EncoderInfo& encoder = kEncoders[size_t(m_encoder)];
    if (!encoder.qtFormat) {
        LibraryImage picture = LibraryImage::FromImage(image, kPictureGif);
        if (!picture.Save(path, kPictureGif)) {
            m_error = picture.ErrorString();
            return kEncoderWriteError;
        }
        return kEncoderOk;
    }
    if (m_mimeType == QLatin1String("image/png")) {
        const QByteArray bytes = EncodePng(image, {}, &m_error);
        if (bytes.isEmpty())
            return kEncoderGenericError;
        return WritePictureFile(path, bytes, &m_error) ? kEncoderOk : kEncoderWriteError;
    }
    ReplacingFile file(path);
    if (!file.Open()) {
        m_error = file.ErrorString();
        return kEncoderWriteError;
    }
    QImageWriter writer(file.Device(), encoder.qtFormat);
    if (m_mimeType == QLatin1String("image/jpeg") || m_mimeType == QLatin1String("image/webp"))
        writer.setQuality(m_quality);
    if (m_mimeType == QLatin1String("image/tiff"))
        writer.setCompression(m_tiffCompression == 2 ? 1 : 0); // Qt: 1 is LZW
    // Pictures without transparency are written as 24-bit colour.
    const QImage out = image.hasAlphaChannel() || image.format() == QImage::Format_RGB32 ||
                               image.format() == QImage::Format_RGB888
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    if (!writer.write(out)) {
        m_error =
            QStringLiteral("cannot write %1: %2").arg(path, LibraryMessage(writer.errorString()));
        return kEncoderWriteError;
    }
    if (!file.Commit()) {
        m_error = file.ErrorString();
        return kEncoderWriteError;
    }
    return kEncoderOk;
}

} // namespace mosaiq
