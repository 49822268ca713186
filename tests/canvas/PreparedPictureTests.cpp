// The view's prepared pictures: copied at whole-pixel positions they give the pixels of drawing
// each object under its transform, and they are remade only when the object's look changed.
#include "CanvasTestScene.h"

#include "canvas/document/ObjectCache.h"
#include "library/items/FrameLibrary.h"
#include "library/items/MaskLibrary.h"

#include <QBuffer>
#include <QRadialGradient>

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A photo-like picture: gradients with fine noise everywhere, so that a picture drawn at another
// place or scale would show. (Where a clip edge cuts a turned picture, Qt's bilinear sampling
// starts its spans a little differently; on pictures whose neighbouring pixels differ by half
// the range that alone exceeds the tolerance, so the noise is kept photo-like.)
QImage Detailed(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int n = ((x * 7919 + y * 104729) >> 3) % 9;
            image.setPixel(x, y, qRgb((x * 3 / 2 + n) & 255, (y * 2 + n) & 255, (x + y + n) & 255));
        }
    return image;
}

class PreparedPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        QImage mask(64, 64, QImage::Format_RGB32);
        mask.fill(Qt::white);
        QPainter p(&mask);
        QRadialGradient g(32, 32, 32);
        g.setColorAt(0.6, Qt::black);
        g.setColorAt(1.0, Qt::white);
        p.fillRect(mask.rect(), g);
        p.end();
        ASSERT_TRUE(
            WriteAll(data.File("mask.cfg"), EncodeKeyedLibrary({{64, 64, Guid(), Png(mask)}})));
        QImage frame(100, 80, QImage::Format_ARGB32);
        frame.fill(QColor(120, 80, 40));
        for (int y = 10; y < 70; ++y)
            for (int x = 10; x < 90; ++x)
                frame.setPixel(x, y, 0);
        ASSERT_TRUE(WriteAll(data.File("frame.cfg"),
                             EncodeFrameLibrary({{frame, {0.1f, 0.125f, 0.9f, 0.875f}}})));
        doc.width = 400;
        doc.height = 300;
        doc.backgroundColour = MakeColorref(30, 140, 60);
        const QString path = scene.WritePicture("p.png", Detailed(160, 120));
        // Turned, masked, framed, tuned and half transparent photos, overlapping.
        for (int i = 0; i < 8; ++i) {
            PhotoRecord& r =
                scene.AddPhoto(path, {160, 120}, 17 + (i % 4) * 91, 13 + (i / 4) * 127, i == 5);
            r.scale = r.regionScale = 0.7f + 0.05f * float(i);
            r.angle = float(i * 23 % 70) - 35.0f;
            r.maskId = i % 3 == 0 ? 1 : 0;
            r.frameId = i % 3 == 1 ? 1 : 0;
            r.frameWindow = {0.1f, 0.125f, 0.9f, 0.875f};
            r.opacity = i == 2 ? 0.5f : 1.0f;
            r.tuning.active = i % 2;
            r.tuning.contrast = 1.2f;
            r.tuning.hue = 15.0f;
            r.tuning.gamma = 1.1f;
        }
    }

    // The part exposed of a view scrolled to scroll, drawn into a fresh picture of that size.
    QImage View(QPoint scroll, QSize size, bool direct) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter painter(&image);
        painter.translate(-scroll);
        RenderOptions options;
        options.exposed = QRect(scroll, size);
        options.directDrawing = direct;
        scene.compositor.Render(doc, painter, options);
        return image;
    }

    ScopedDataDir data;
    CanvasScene scene;
    CollageDocument& doc = scene.doc;
};

// Whether two pictures of one size agree within ±2 per channel. A few pixels where a clip edge
// cuts a turned picture may differ by up to 4: Qt's bilinear sampling starts its spans there a
// little differently when drawing directly, and premultiplied rounding of overlapping
// transparent edges adds one; at most one pixel in 2,000 may do so.
::testing::AssertionResult SamePixels(const QImage& a, const QImage& b) {
    int largest = 0;
    qint64 beyondTwo = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            largest = std::max(largest, d);
            beyondTwo += d > 2 ? 1 : 0;
        }
    if (largest <= 4 && beyondTwo * 2000 <= qint64(a.width()) * a.height())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "largest difference " << largest << ", " << beyondTwo << " pixels beyond 2";
}

} // namespace

TEST_F(PreparedPictureTest, CopiesGiveThePixelsOfDirectDrawing) {
    // Whole and fractional zooms (positions then fall between pixels), scrolled and not.
    for (const float zoom : {1.0f, 0.75f, 1.5f, 0.33f}) {
        doc.view.zoom = zoom;
        doc.DropAllCaches();
        for (const QPoint scroll : {QPoint(0, 0), QPoint(37, 11)}) {
            const QSize size(int(400 * zoom) - scroll.x(), int(300 * zoom) - scroll.y());
            const QImage direct = View(scroll, size, true);
            const QImage prepared = View(scroll, size, false);
            EXPECT_TRUE(SamePixels(direct, prepared))
                << "zoom " << zoom << ", scroll " << scroll.x();
            // Twice: the second pass copies the pictures the first one prepared.
            EXPECT_TRUE(SamePixels(direct, View(scroll, size, false)));
        }
    }
    EXPECT_FALSE(doc.objects[3].cache->prepared.isNull());
}

TEST_F(PreparedPictureTest, RemadeOnlyWhenTheLookChanges) {
    scene.Render();
    ObjectCache& cache = *doc.objects[1].cache;
    const auto key = [&] { return cache.prepared.cacheKey(); };
    const qint64 first = key();
    ASSERT_NE(first, 0);
    scene.Render();
    EXPECT_EQ(key(), first);

    // A move by whole pixels copies the same picture elsewhere.
    doc.objects[1].Photo()->x += 5;
    doc.objects[1].Photo()->y -= 3;
    scene.Render();
    EXPECT_EQ(key(), first);

    // Turning, opacity, tuning and a fraction of a pixel of position each remake it.
    qint64 last = first;
    const auto changes = [&](const char* what) {
        scene.Render();
        EXPECT_NE(key(), last) << what;
        last = key();
    };
    doc.objects[1].Photo()->angle += 1.0f;
    changes("angle");
    doc.objects[1].Photo()->opacity = 0.6f;
    changes("opacity");
    doc.objects[1].Photo()->tuning.brightness = 0.2f;
    changes("tuning");
    doc.view.zoom = 0.5f; // x 17 + 5 at zoom 0.5 is 11, then x 23 is 11.5
    changes("zoom");
    doc.objects[1].Photo()->x += 1;
    changes("fraction of a pixel");
}

TEST_F(PreparedPictureTest, ADraggedObjectIsDrawnDirectlyAndTheOthersCopied) {
    scene.Render();
    const qint64 other = doc.objects[0].cache->prepared.cacheKey();
    const qint64 dragged = doc.objects[1].cache->prepared.cacheKey();
    doc.objects[1].Photo()->angle += 10.0f;
    RenderOptions dragging;
    dragging.fastTransformedCaches = true;
    const QImage fast = scene.Render(dragging);
    EXPECT_EQ(doc.objects[0].cache->prepared.cacheKey(), other);
    EXPECT_EQ(doc.objects[1].cache->prepared.cacheKey(), dragged); // not remade mid-drag
    RenderOptions direct;
    direct.directDrawing = true;
    EXPECT_TRUE(SamePixels(fast, scene.Render(direct)));
}
