#include "imaging/encode/PictureSaving.h"

#include "imaging/magick/ImageLibrary.h"
#include "imaging/encode/PictureEncoder.h"
#include "imaging/files/PictureLimits.h"
#include "imaging/files/PictureType.h"
#include "imaging/files/ReplacingFile.h"

#include <cstring>

namespace mosaiq {

bool UsesFirstWriter(const QString& extension) {
    const QString e = extension.toLower();
    return e == QLatin1String("jpg") || e == QLatin1String("jpeg") || e == QLatin1String("gif") ||
           e == QLatin1String("bmp") || e == QLatin1String("png") || e == QLatin1String("webp");
}

bool SavePictureByExtension(const QImage& image, const QString& path, const QString& extension,
                            QString* error) {
    QString reason;
    bool ok = false;
    if (UsesFirstWriter(extension)) {
        CPictureEncoder encoder(path);
        encoder.SetQuality(90);
        ok = encoder.SaveBitmap(image, path) == kEncoderOk;
        reason = encoder.ErrorString();
    } else {
        const int type = PictureTypeFromExtension(extension);
        if (type == kPictureUnknown) {
            reason = QStringLiteral("no writer for the extension \"%1\"").arg(extension);
        } else {
            const QByteArray bytes = EncodePicture(image, type, &reason);
            ok = !bytes.isEmpty() && WritePictureFile(path, bytes, &reason);
        }
    }
    if (!ok && error)
        *error = reason;
    return ok;
}

bool ExportCanvasPixels(const unsigned char* bottomUpBgr, int width, int height,
                        const QString& path, const QString& extension, QString* error) {
    QString reason;
    if (!bottomUpBgr || !PictureSizeAllowed(QSize(width, height), &reason)) {
        if (error)
            *error = reason.isEmpty() ? QStringLiteral("there is no picture to save") : reason;
        return false;
    }
    QImage image(width, height, QImage::Format_BGR888);
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("not enough memory for %1 x %2 pixels").arg(width).arg(height);
        return false;
    }
    const size_t rowBytes = size_t(width) * 3;
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(height - 1 - y), bottomUpBgr + size_t(y) * rowBytes, rowBytes);
    return SavePictureByExtension(image.convertToFormat(QImage::Format_RGB32), path, extension,
                                  error);
}

} // namespace mosaiq
