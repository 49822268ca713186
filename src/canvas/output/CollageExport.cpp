#include "canvas/output/CollageExport.h"

#include "canvas/output/BandRenderer.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/render/Compositor.h"
#include "imaging/files/PictureLimits.h"
#include "imaging/encode/PictureSaving.h"
#include "imaging/files/PictureType.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

namespace mosaiq {

QImage RenderCollage(CollageDocument& document) {
    const QSize size(document.width, document.height);
    if (size.isEmpty() || !PictureSizeAllowed(size, nullptr))
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};

    // The view's pictures are made for its zoom: put them aside, draw with fresh ones at zoom 1,
    // and give them back, so the view neither loses them nor draws zoom-1 pictures afterwards.
    {
        const ExportViewGuard guard(document, 1.0f);
        QPainter painter(&image);
        Compositor compositor;
        RenderOptions options;
        options.offscreenOnly = true;
        compositor.Render(document, painter, options);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

ExportResult ExportCollage(CollageDocument& document, const QString& path) {
    ExportResult result;
    const QString extension = PictureExtension(path).toLower();
    if (extension.isEmpty() || PictureTypeFromExtension(extension) == kPictureUnknown) {
        result.error = QStringLiteral("\"%1\" does not end in a known picture extension "
                                      "(jpg, jpeg, bmp, gif, png, webp, pcx, pnm, tif, tiff)")
                           .arg(QDir::toNativeSeparators(path));
        return result;
    }
    const QFileInfo target(path);
    if (!target.absoluteDir().exists()) {
        result.error = QStringLiteral("cannot write \"%1\": the folder does not exist")
                           .arg(QDir::toNativeSeparators(path));
        return result;
    }
    const QImage image = RenderCollage(document);
    if (image.isNull()) {
        result.error = QStringLiteral("the canvas of %1 x %2 pixels cannot be rendered")
                           .arg(document.width)
                           .arg(document.height);
        return result;
    }
    QString reason;
    if (!SavePictureByExtension(image, path, extension, &reason)) {
        result.error =
            QStringLiteral("cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path), reason);
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace mosaiq
