// The selected object's handles are drawn above every object, so they can be seen and grabbed
// where a neighbour covers them.
#include "CanvasTestScene.h"

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

const QColor kHandleBlue(0x96, 0xC8, 0xFF);
const QColor kRotateGreen(0x00, 0xFF, 0x00);

TEST(HandlesOnTop, AHandleUnderACoveringPhotoIsStillDrawn) {
    ScopedDataDir data;
    CanvasScene scene;
    const QString lower = scene.WritePicture("lower.png", SolidImage(100, 72, Qt::red));
    const QString upper = scene.WritePicture("upper.png", SolidImage(120, 120, Qt::darkGreen));
    scene.AddPhoto(lower, {100, 72}, 30, 40, true);
    scene.AddPhoto(upper, {120, 120}, 0, 0); // covers the lower photo's top-left corner
    const QImage image = scene.Render();
    EXPECT_TRUE(PixelIs(image, 26, 36, kHandleBlue, 3));  // handle 0
    EXPECT_TRUE(PixelIs(image, 80, 36, kHandleBlue, 3));  // handle 1, top middle
    EXPECT_TRUE(PixelIs(image, 18, 28, kRotateGreen, 3)); // handle 8, beyond the corner
    EXPECT_TRUE(PixelIs(image, 60, 60, Qt::darkGreen));   // the photo above keeps its place
    EXPECT_EQ(scene.compositor.HandleObjectIndex(), 0);

    // Without a selection nothing is drawn over the photos.
    scene.doc.objects[0].SetSelected(false);
    const QImage plain = scene.Render();
    EXPECT_TRUE(PixelIs(plain, 26, 36, Qt::darkGreen));
}

} // namespace
