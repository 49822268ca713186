#include "canvas/CollageExport.h"

#include "canvas/CollageDocument.h"
#include "canvas/Compositor.h"
#include "imaging/PictureLimits.h"
#include "imaging/PictureSaving.h"
#include "imaging/PictureType.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <memory>
#include <vector>

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
    const CanvasView view = document.view;
    std::vector<std::shared_ptr<ObjectCache>> viewCaches;
    viewCaches.reserve(document.objects.size());
    for (CanvasObject& o : document.objects)
        viewCaches.push_back(std::exchange(o.cache, nullptr));
    document.view.zoom = 1.0f;
    document.view.scrollX = 0;
    document.view.scrollY = 0;

    {
        QPainter painter(&image);
        Compositor compositor;
        RenderOptions options;
        options.offscreenOnly = true;
        compositor.Render(document, painter, options);
    }

    document.view = view;
    for (size_t i = 0; i < document.objects.size() && i < viewCaches.size(); ++i)
        document.objects[i].cache = std::move(viewCaches[i]);
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
