#pragma once

// Scenes for the compositor and export tests: pictures written to a temporary folder, photo and
// clipart objects placed straight into a document, and a pass rendered into an image.

#include "core/text/FixedText.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/render/Compositor.h"
#include "common/TestSupport.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace mosaiq::test {

inline QImage SolidImage(int w, int h, QColor c) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(c);
    return image;
}

class CanvasScene {
public:
    CanvasScene() { doc.width = 200, doc.height = 150; }

    // Writes picture into the scene's folder and returns its path.
    QString WritePicture(const QString& name, const QImage& picture) {
        const QString path = m_dir.filePath(name);
        picture.save(path);
        return path;
    }
    QString MissingPath() const { return m_dir.filePath(QStringLiteral("gone.png")); }

    // A photo of the whole picture at path, box = picture size, placed at (x, y) at scale 1.
    PhotoRecord& AddPhoto(const QString& path, QSize picture, int x, int y, bool selected = false) {
        PhotoRecord r;
        WriteFixedText(r.path, path);
        r.pictureWidth = r.boxWidth = r.cropRight = picture.width();
        r.pictureHeight = r.boxHeight = r.cropBottom = picture.height();
        r.x = x;
        r.y = y;
        r.selected = selected ? 1 : 0;
        return *Add(CanvasObject(r)).Photo();
    }

    CanvasObject& Add(CanvasObject object) {
        doc.objects.push_back(std::move(object));
        doc.CreateRegion(doc.objects.back());
        return doc.objects.back();
    }

    // One pass over the whole surface (the zoomed canvas) into a fresh image.
    QImage Render(const RenderOptions& options = {}) {
        const QSize size = options.surfaceSize.isValid()
                               ? options.surfaceSize
                               : QSize(int(float(doc.width) * doc.view.zoom),
                                       int(float(doc.height) * doc.view.zoom));
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter painter(&image);
        compositor.Render(doc, painter, options);
        return image;
    }

    CollageDocument doc;
    Compositor compositor;

private:
    QTemporaryDir m_dir;
};

// The pixel at (x, y) has colour c within tolerance in R, G and B (alpha ignored).
inline ::testing::AssertionResult PixelIs(const QImage& image, int x, int y, QColor c,
                                          int tolerance = 2) {
    if (!image.rect().contains(x, y))
        return ::testing::AssertionFailure() << "(" << x << ", " << y << ") is outside the image";
    const QRgb p = image.pixel(x, y);
    if (std::abs(qRed(p) - c.red()) <= tolerance && std::abs(qGreen(p) - c.green()) <= tolerance &&
        std::abs(qBlue(p) - c.blue()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << x << ", " << y << ") is rgb(" << qRed(p) << ", " << qGreen(p) << ", "
           << qBlue(p) << "), expected rgb(" << c.red() << ", " << c.green() << ", " << c.blue()
           << ")";
}

} // namespace mosaiq::test
