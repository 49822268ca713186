// A photo whose file cannot be found is shown by the view as a placeholder in its own box, and
// left out of an export.
#include "CanvasTestScene.h"

#include "canvas/output/CollageExport.h"
#include "canvas/render/MissingPhotoMark.h"

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

const QColor kFill = QColor::fromRgb(kMissingPhotoFill);

// How many pixels of rect are darker than the placeholder's fill (the mark and the name).
int DarkPixels(const QImage& image, const QRect& rect) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (qGray(image.pixel(x, y)) < 150)
                ++n;
    return n;
}

TEST(MissingPhoto, TheViewShowsAPlaceholderAndTheExportLeavesItOut) {
    ScopedDataDir data;
    CanvasScene scene;
    scene.doc.width = 300;
    scene.doc.height = 200;
    scene.doc.backgroundColour = MakeColorref(0, 0, 255);
    scene.AddPhoto(scene.MissingPath(), {160, 120}, 40, 30);
    const QImage view = scene.Render();
    EXPECT_TRUE(PixelIs(view, 45, 35, kFill));
    EXPECT_TRUE(PixelIs(view, 195, 145, kFill));
    EXPECT_TRUE(PixelIs(view, 205, 100, QColor(0, 0, 255))); // beside the box
    // The mark and the file's name are drawn inside the box.
    EXPECT_GT(DarkPixels(view, QRect(40, 30, 160, 120)), 100);
    EXPECT_TRUE(scene.doc.objects[0].screenRegion.containsPoint(QPointF(120, 90), Qt::OddEvenFill));

    const QImage exported = RenderCollage(scene.doc);
    for (const QPoint p : {QPoint(45, 35), QPoint(120, 90), QPoint(195, 145)})
        EXPECT_TRUE(PixelIs(exported, p.x(), p.y(), QColor(0, 0, 255)));
}

TEST(MissingPhoto, ATinyBoxGetsTheFillWithoutAMark) {
    ScopedDataDir data;
    CanvasScene scene;
    scene.doc.backgroundColour = MakeColorref(255, 255, 255);
    scene.AddPhoto(scene.MissingPath(), {12, 8}, 10, 10);
    const QImage view = scene.Render();
    EXPECT_TRUE(PixelIs(view, 13, 13, kFill, 40));
}

} // namespace
