#include "CanvasTestScene.h"

#include "canvas/render/MissingPhotoMark.h"

#include "canvas/document/ObjectCache.h"
#include "canvas/render/PhotoPicture.h"
#include "library/items/FrameLibrary.h"
#include "library/items/MaskLibrary.h"
#include "library/items/PictureList.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

const QColor kRed(255, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 255, 0);
const QColor kSurround(0xDD, 0xDD, 0xDD);
const QColor kHandleBlue(0x96, 0xC8, 0xFF);

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A frame of w x h: opaque blue, transparent inside (inset, inset, w - inset, h - inset).
QImage FramePicture(int w, int h, int insetX, int insetY) {
    QImage frame = SolidImage(w, h, kBlue);
    for (int y = insetY; y < h - insetY; ++y)
        for (int x = insetX; x < w - insetX; ++x)
            frame.setPixel(x, y, qRgba(0, 0, 0, 0));
    return frame;
}

class CompositorTest : public ::testing::Test {
protected:
    ScopedDataDir data;
    CanvasScene scene;
    CollageDocument& doc = scene.doc;
};

} // namespace

TEST_F(CompositorTest, SurroundCanvasAndBackgroundColour) {
    doc.backgroundColour = MakeColorref(0, 0, 255);
    doc.view.zoom = 1.5f;
    RenderOptions options;
    options.surfaceSize = QSize(400, 300); // the window is larger than the zoomed canvas
    const QImage image = scene.Render(options);
    EXPECT_EQ(scene.compositor.CanvasRect(), QRect(0, 0, 300, 225));
    EXPECT_TRUE(PixelIs(image, 299, 224, kBlue, 0));
    EXPECT_TRUE(PixelIs(image, 300, 10, kSurround, 0));
    EXPECT_TRUE(PixelIs(image, 10, 225, kSurround, 0));
}

TEST_F(CompositorTest, PhotoOf101By75DrawsAs100By72) {
    const QString path = scene.WritePicture("p.png", SolidImage(101, 75, kRed));
    scene.AddPhoto(path, {101, 75}, 10, 20);
    const QImage image = scene.Render();
    EXPECT_TRUE(PixelIs(image, 10, 20, kRed));
    EXPECT_TRUE(PixelIs(image, 109, 91, kRed));
    EXPECT_TRUE(PixelIs(image, 110, 50, kWhite));
    EXPECT_TRUE(PixelIs(image, 50, 92, kWhite));
    EXPECT_TRUE(PixelIs(image, 9, 50, kWhite));
    // The cached picture is the displayed size.
    ASSERT_TRUE(doc.objects[0].cache);
    EXPECT_EQ(doc.objects[0].cache->picture.size(), QSize(100, 72));

    // At zoom 2 it shows 200 x 148 at (20, 40), drawn from a picture no larger than the crop.
    doc.view.zoom = 2.0f;
    const QImage zoomed = scene.Render();
    EXPECT_EQ(doc.objects[0].cache->picture.size(), QSize(101, 75));
    EXPECT_TRUE(PixelIs(zoomed, 219, 187, kRed));
    EXPECT_TRUE(PixelIs(zoomed, 220, 100, kWhite));
    EXPECT_TRUE(PixelIs(zoomed, 100, 188, kWhite));
}

TEST_F(CompositorTest, CacheIsNeverLargerThanTheCrop) {
    // A 40 x 30 picture shown at scale 3: the cache keeps the crop's own size.
    const QString path = scene.WritePicture("small.png", SolidImage(40, 30, kRed));
    PhotoRecord& r = scene.AddPhoto(path, {40, 30}, 0, 0);
    r.scale = 3.0f;
    const QImage image = scene.Render();
    EXPECT_EQ(doc.objects[0].cache->picture.size(), QSize(40, 30));
    EXPECT_TRUE(PixelIs(image, 115, 87, kRed));
    EXPECT_TRUE(PixelIs(image, 121, 50, kWhite));
}

TEST_F(CompositorTest, CropIsClampedAndWrittenBack) {
    QImage picture = SolidImage(101, 75, kRed);
    for (int y = 0; y < 75; ++y)
        for (int x = 50; x < 101; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 255));
    const QString path = scene.WritePicture("c.png", picture);
    PhotoRecord& r = scene.AddPhoto(path, {101, 75}, 0, 0);
    r.cropLeft = 50;
    r.cropRight = 500; // past the picture
    r.cropTop = -3;
    r.cropBottom = -1;
    r.boxWidth = 51;
    const QImage image = scene.Render();
    const PhotoRecord& stored = *doc.objects[0].Photo();
    EXPECT_EQ(stored.cropLeft, 50);
    EXPECT_EQ(stored.cropRight, 101);
    EXPECT_EQ(stored.cropTop, 0);
    EXPECT_EQ(stored.cropBottom, 75);
    // Only the blue right half is shown, 48 x 72.
    EXPECT_TRUE(PixelIs(image, 2, 2, kBlue));
    EXPECT_TRUE(PixelIs(image, 47, 70, kBlue));
    EXPECT_TRUE(PixelIs(image, 49, 30, kWhite));

    // A left edge beyond the picture goes back to 0; a crop left empty shows the whole picture.
    PhotoRecord& beyond = *doc.objects[0].Photo();
    beyond.cropLeft = 200;
    beyond.cropRight = 101;
    doc.DropAllCaches();
    scene.Render();
    EXPECT_EQ(beyond.cropLeft, 0);
    EXPECT_EQ(beyond.cropRight, 101);
}

TEST_F(CompositorTest, TileModeRepeatsThePictureAtTheZoomFromTheCanvasOrigin) {
    // An 8 x 8 tile of four 4 x 4 quadrants.
    QImage tile(8, 8, QImage::Format_ARGB32);
    const QRgb quadrant[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            tile.setPixel(x, y, quadrant[(y / 4) * 2 + x / 4]);
    doc.width = 40;
    doc.height = 40;
    doc.backgroundPicture = tile.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    doc.backgroundMode = BackgroundMode::Tile;
    doc.view.zoom = 2.0f;
    const QImage image = scene.Render();
    ASSERT_EQ(image.size(), QSize(80, 80));
    // Each quadrant covers 8 x 8 surface pixels and the tile repeats every 16.
    EXPECT_TRUE(PixelIs(image, 3, 3, QColor(quadrant[0])));
    EXPECT_TRUE(PixelIs(image, 11, 3, QColor(quadrant[1])));
    EXPECT_TRUE(PixelIs(image, 3, 11, QColor(quadrant[2])));
    EXPECT_TRUE(PixelIs(image, 12, 12, QColor(quadrant[3])));
    EXPECT_TRUE(PixelIs(image, 19, 3, QColor(quadrant[0])));
    EXPECT_TRUE(PixelIs(image, 75, 75, QColor(quadrant[3])));
}

TEST_F(CompositorTest, CenterModeFitsALargePictureAndNeverEnlargesASmallOne) {
    doc.width = 100;
    doc.height = 100;
    doc.backgroundColour = MakeColorref(255, 255, 255);
    doc.backgroundMode = BackgroundMode::Center;
    doc.backgroundPicture = SolidImage(200, 100, kRed); // fitted to 100 x 50 at (0, 25)
    QImage image = scene.Render();
    EXPECT_TRUE(PixelIs(image, 50, 23, kWhite));
    EXPECT_TRUE(PixelIs(image, 50, 27, kRed));
    EXPECT_TRUE(PixelIs(image, 50, 72, kRed));
    EXPECT_TRUE(PixelIs(image, 50, 77, kWhite));

    doc.backgroundPicture = SolidImage(20, 10, kRed); // kept 20 x 10 at (40, 45)
    image = scene.Render();
    EXPECT_TRUE(PixelIs(image, 40, 45, kRed));
    EXPECT_TRUE(PixelIs(image, 59, 54, kRed));
    EXPECT_TRUE(PixelIs(image, 61, 50, kWhite));

    doc.backgroundMode = BackgroundMode::Stretch;
    image = scene.Render();
    EXPECT_TRUE(PixelIs(image, 0, 0, kRed));
    EXPECT_TRUE(PixelIs(image, 99, 99, kRed));
}

TEST_F(CompositorTest, FramedPhotoOverlapsTheWindowByOneHundredth) {
    // Frame 200 x 100, transparent from 5% to 95%; the photo sits in the window 10%..90%
    // enlarged by 1%: x from 18 to 182, y from 9 to 91.
    ASSERT_TRUE(WriteAll(data.File("frame.cfg"), EncodeFrameLibrary({{FramePicture(200, 100, 10, 5),
                                                                      {0.1f, 0.1f, 0.9f, 0.9f}}})));
    const QString path = scene.WritePicture("f.png", SolidImage(160, 80, kRed));
    PhotoRecord& r = scene.AddPhoto(path, {160, 80}, 0, 0);
    r.frameId = 1;
    r.frameWindow = {0.1f, 0.1f, 0.9f, 0.9f};
    r.boxWidth = 200;
    r.boxHeight = 100;
    const QImage image = scene.Render();
    EXPECT_TRUE(PixelIs(image, 100, 2, kBlue));  // frame
    EXPECT_TRUE(PixelIs(image, 14, 50, kWhite)); // frame's open part, outside the photo
    EXPECT_TRUE(PixelIs(image, 19, 50, kRed));   // inside the enlarged window, left of 10%
    EXPECT_TRUE(PixelIs(image, 180, 50, kRed));
    EXPECT_TRUE(PixelIs(image, 186, 50, kWhite));
    EXPECT_TRUE(PixelIs(image, 100, 7, kWhite));
    EXPECT_TRUE(PixelIs(image, 100, 10, kRed));
    EXPECT_TRUE(PixelIs(image, 100, 89, kRed));
    EXPECT_TRUE(PixelIs(image, 100, 93, kWhite));
    EXPECT_TRUE(PixelIs(image, 100, 98, kBlue));
}

TEST_F(CompositorTest, MaskCutsThePhotoWhereItIsWhite) {
    QImage mask = SolidImage(20, 20, Qt::black);
    for (int y = 0; y < 20; ++y)
        for (int x = 10; x < 20; ++x)
            mask.setPixel(x, y, qRgb(255, 255, 255));
    const Guid key = Guid::Create();
    ASSERT_TRUE(WriteAll(data.File("mask.cfg"), EncodeKeyedLibrary({{20, 20, Guid(), Png(mask)}})));
    ASSERT_TRUE(WriteAll(data.File("cusmask.cfg"),
                         EncodeKeyedLibrary({{20, 20, key, Png(mask.mirrored(true, false))}})));
    doc.backgroundColour = MakeColorref(0, 255, 0);
    const QString path = scene.WritePicture("m.png", SolidImage(100, 100, kRed));
    scene.AddPhoto(path, {100, 100}, 0, 0).maskId = 1;
    PhotoRecord& custom = scene.AddPhoto(path, {100, 100}, 100, 0);
    custom.maskId = 29;
    custom.customMask = 1;
    custom.maskKey = key;
    const QImage image = scene.Render();
    EXPECT_TRUE(PixelIs(image, 25, 50, kRed));
    EXPECT_TRUE(PixelIs(image, 75, 50, kGreen));
    // The cached picture's alpha is 255 minus the mask's blue.
    const QImage cached = doc.objects[0].cache->picture;
    EXPECT_EQ(qAlpha(cached.pixel(10, 10)), 255);
    EXPECT_EQ(qAlpha(cached.pixel(90, 10)), 0);
    // The custom mask (mirrored) is found by its key.
    EXPECT_TRUE(PixelIs(image, 125, 50, kGreen));
    EXPECT_TRUE(PixelIs(image, 175, 50, kRed));
}

TEST_F(CompositorTest, AMaskDrawnOnTransparencyHidesThePhotoWhereItIsClear) {
    // The look of the mask thumbnails: a dark shape (left half, a half-transparent grey column
    // at x 8-9) on a transparent background.
    QImage mask(20, 20, QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 8; ++x)
            mask.setPixel(x, y, qRgba(0, 0, 0, 255));
        for (int x = 8; x < 10; ++x)
            mask.setPixel(x, y, qRgba(0, 0, 0, 128));
    }
    // The same shape fully opaque keeps the plain rule: white hides, black shows.
    QImage opaque = SolidImage(20, 20, Qt::white);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 8; ++x)
            opaque.setPixel(x, y, qRgb(0, 0, 0));
    ASSERT_TRUE(
        WriteAll(data.File("mask.cfg"),
                 EncodeKeyedLibrary({{20, 20, Guid(), Png(mask)}, {20, 20, Guid(), Png(opaque)}})));
    doc.backgroundColour = MakeColorref(0, 255, 0);
    const QString path = scene.WritePicture("m.png", SolidImage(100, 100, kRed));
    scene.AddPhoto(path, {100, 100}, 0, 0).maskId = 1;
    scene.AddPhoto(path, {100, 100}, 100, 0).maskId = 2;
    const QImage image = scene.Render();
    EXPECT_TRUE(PixelIs(image, 20, 50, kRed));
    EXPECT_TRUE(PixelIs(image, 80, 50, kGreen)); // the clear part hides the photo
    EXPECT_TRUE(PixelIs(image, 120, 50, kRed));
    EXPECT_TRUE(PixelIs(image, 180, 50, kGreen));
    // Half-transparent black on white is a middle grey: about half the photo shows.
    const int alpha = qAlpha(doc.objects[0].cache->picture.pixel(45, 50));
    EXPECT_NEAR(alpha, 128, 12);
    EXPECT_EQ(qAlpha(doc.objects[0].cache->picture.pixel(95, 10)), 0);

    // An opaque mask with every shade of blue keeps the rule exactly: alpha = 255 - blue.
    QImage ramp(256, 1, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x)
        ramp.setPixel(x, 0, qRgb(17, 200, x));
    QImage photo(256, 1, QImage::Format_ARGB32_Premultiplied);
    photo.fill(Qt::white);
    ApplyMaskAlpha(photo, ramp);
    for (int x = 0; x < 256; x += 15)
        EXPECT_EQ(qAlpha(photo.pixel(x, 0)), 255 - x) << x;
}

TEST_F(CompositorTest, AMaskThatCannotBeReadIsTriedAgainOnTheNextPass) {
    doc.backgroundColour = MakeColorref(0, 255, 0);
    const QString path = scene.WritePicture("m.png", SolidImage(100, 100, kRed));
    scene.AddPhoto(path, {100, 100}, 0, 0).maskId = 1;
    // No mask library yet: the photo shows unmasked for this pass.
    const QImage unmasked = scene.Render();
    EXPECT_TRUE(PixelIs(unmasked, 75, 50, kRed));
    // The library appears (written out later); the next pass masks the photo it already holds.
    QImage mask = SolidImage(20, 20, Qt::black);
    for (int y = 0; y < 20; ++y)
        for (int x = 10; x < 20; ++x)
            mask.setPixel(x, y, qRgb(255, 255, 255));
    ASSERT_TRUE(WriteAll(data.File("mask.cfg"), EncodeKeyedLibrary({{20, 20, Guid(), Png(mask)}})));
    const QImage masked = scene.Render();
    EXPECT_TRUE(PixelIs(masked, 25, 50, kRed));
    EXPECT_TRUE(PixelIs(masked, 75, 50, kGreen));
}

TEST_F(CompositorTest, MissingPhotoKeepsFrameHandlesAndRegion) {
    ASSERT_TRUE(
        WriteAll(data.File("frame.cfg"),
                 EncodeFrameLibrary({{FramePicture(100, 100, 20, 20), {0.2f, 0.2f, 0.8f, 0.8f}}})));
    PhotoRecord& r = scene.AddPhoto(scene.MissingPath(), {100, 100}, 20, 20, true);
    r.frameId = 1;
    r.frameWindow = {0.2f, 0.2f, 0.8f, 0.8f};
    const QImage image = scene.Render();
    EXPECT_TRUE(PixelIs(image, 25, 25, kBlue));  // frame
    // The view shows the placeholder in the frame's window.
    EXPECT_TRUE(PixelIs(image, 44, 44, QColor::fromRgb(kMissingPhotoFill)));
    EXPECT_TRUE(PixelIs(image, 16, 16, kHandleBlue, 3));
    EXPECT_EQ(scene.compositor.HandleObjectIndex(), 0);
    EXPECT_TRUE(doc.objects[0].screenRegion.containsPoint(QPointF(70, 70), Qt::OddEvenFill));
}

TEST_F(CompositorTest, HandlesAreDrawnAtTheirPositionsExceptInPreview) {
    const QString path = scene.WritePicture("h.png", SolidImage(100, 72, kRed));
    scene.AddPhoto(path, {100, 72}, 30, 40, true);
    QImage image = scene.Render();
    ASSERT_EQ(scene.compositor.HandleObjectIndex(), 0);
    const QTransform t = scene.compositor.HandleTransform();
    const HandleTable& h = scene.compositor.Handles();
    // Handle 4 (bottom right) lies just outside the box's corner, handle 11 beyond it.
    EXPECT_EQ(t.mapRect(QRectF(h[4])), QRectF(130, 112, 8, 8));
    EXPECT_EQ(t.mapRect(QRectF(h[11])), QRectF(138, 120, 8, 8));
    EXPECT_TRUE(PixelIs(image, 26, 36, kHandleBlue, 3));   // handle 0
    EXPECT_TRUE(PixelIs(image, 134, 116, kHandleBlue, 3)); // handle 4
    EXPECT_TRUE(PixelIs(image, 142, 124, kGreen, 3));      // handle 11 (disc centre)

    RenderOptions preview;
    preview.previewMode = true;
    image = scene.Render(preview);
    EXPECT_TRUE(PixelIs(image, 26, 36, kWhite));
    EXPECT_EQ(scene.compositor.HandleObjectIndex(), -1);

    // Deselected: the last pass decorated nothing, so no handles are left to hit.
    doc.objects[0].SetSelected(false);
    scene.Render();
    EXPECT_EQ(scene.compositor.HandleObjectIndex(), -1);
    EXPECT_TRUE(scene.compositor.Handles()[0].isEmpty());
}

TEST_F(CompositorTest, RotatedObjectRegionIsMappedToTheSurface) {
    const QString path = scene.WritePicture("r.png", SolidImage(100, 40, kRed));
    PhotoRecord& r = scene.AddPhoto(path, {100, 40}, 40, 40);
    r.angle = 90.0f;
    const QImage image = scene.Render();
    const QPolygonF& region = doc.objects[0].screenRegion;
    EXPECT_TRUE(region.containsPoint(QPointF(90, 20), Qt::OddEvenFill));
    EXPECT_FALSE(region.containsPoint(QPointF(50, 60), Qt::OddEvenFill));
    EXPECT_TRUE(PixelIs(image, 90, 20, kRed));
    EXPECT_TRUE(PixelIs(image, 50, 60, kWhite));
}

TEST_F(CompositorTest, PresetCliparsAreRecolouredAndPlainOnesAreNot) {
    const QImage grey = SolidImage(8, 8, QColor(128, 128, 128));
    ASSERT_TRUE(WritePictureList(data.File("chrome_p.cfg"), {grey}));
    ASSERT_TRUE(WritePictureList(data.File("clipart.cfg"), {grey}));
    ClipartRecord preset;
    preset.sourceId = 1000;
    preset.width = preset.height = 8;
    preset.isPreset = 1;
    preset.presetColour = MakeColorref(255, 0, 0);
    preset.selected = 0;
    scene.Add(CanvasObject(preset));
    ClipartRecord plain = preset;
    plain.sourceId = 0;
    plain.isPreset = 0;
    plain.x = 20;
    scene.Add(CanvasObject(plain));
    const QImage image = scene.Render();
    // Pure red: lightness factor 0.8346, grey 128 -> 106; hue 0 and full saturation at
    // lightness 106 give (212, 0, 0).
    EXPECT_TRUE(PixelIs(image, 3, 3, QColor(212, 0, 0), 1));
    EXPECT_TRUE(PixelIs(image, 23, 3, QColor(128, 128, 128), 0));
}

TEST_F(CompositorTest, BrushStampsDrawFromTheBrushLibraryInTheirColour) {
    QImage brush = SolidImage(8, 8, QColor(255, 255, 255));
    brush.setPixel(0, 0, qRgba(255, 255, 255, 0));
    ASSERT_TRUE(WritePictureList(data.File("brushs"), {SolidImage(4, 4, kRed), brush}));
    StampRecord stamp;
    stamp.brushIndex = 1;
    stamp.width = stamp.height = 8;
    stamp.scale = 1.0f;
    stamp.colour = MakeColorref(0, 0, 255);
    stamp.x = 10;
    stamp.y = 10;
    scene.Add(CanvasObject(stamp));
    ASSERT_TRUE(doc.brushPictures.empty());
    const QImage image = scene.Render();
    EXPECT_EQ(doc.brushPictures.size(), 2u);
    EXPECT_TRUE(PixelIs(image, 14, 14, kBlue));
    EXPECT_TRUE(PixelIs(image, 10, 10, kWhite, 60)); // the transparent pixel lets the canvas show
}

TEST_F(CompositorTest, TuningIsAppliedOnceAndKeptUntilItChanges) {
    const QString path = scene.WritePicture("t.png", SolidImage(80, 60, QColor(100, 100, 100)));
    PhotoRecord& r = scene.AddPhoto(path, {80, 60}, 0, 0);
    r.tuning.active = 1;
    r.tuning.colour = 0.0f;
    r.tuning.contrast = 2.0f;
    QImage image = scene.Render();
    EXPECT_TRUE(PixelIs(image, 40, 30, QColor(200, 200, 200)));
    ObjectCache& cache = *doc.objects[0].cache;
    const qint64 picture = cache.picture.cacheKey();
    const qint64 tuned = cache.drawable.cacheKey();
    scene.Render();
    EXPECT_EQ(cache.drawable.cacheKey(), tuned);

    // A new tuning redoes the colour pass on the same picture.
    doc.objects[0].Photo()->tuning.brightness = 0.1f;
    image = scene.Render();
    EXPECT_TRUE(PixelIs(image, 40, 30, QColor(226, 226, 226)));
    EXPECT_EQ(cache.picture.cacheKey(), picture);
    EXPECT_NE(cache.drawable.cacheKey(), tuned);

    // Half opacity over white: 226 * 0.5 + 255 * 0.5.
    doc.objects[0].Photo()->opacity = 0.5f;
    image = scene.Render();
    EXPECT_TRUE(PixelIs(image, 40, 30, QColor(240, 240, 240), 2));
}

TEST_F(CompositorTest, OnlyTheExposedRectangleIsPainted) {
    const QString path = scene.WritePicture("e.png", SolidImage(40, 40, kRed));
    scene.AddPhoto(path, {40, 40}, 100, 100, true);
    scene.AddPhoto(path, {40, 40}, 30, 30); // half inside
    RenderOptions options;
    options.exposed = QRect(0, 0, 50, 50);
    const QImage image = scene.Render(options);
    EXPECT_TRUE(PixelIs(image, 10, 10, kWhite));
    EXPECT_TRUE(PixelIs(image, 45, 45, kRed));
    EXPECT_TRUE(PixelIs(image, 55, 55, QColor(Qt::black), 0));   // clipped
    EXPECT_TRUE(PixelIs(image, 120, 120, QColor(Qt::black), 0)); // left as it was
    // The object outside was not rasterised, but its region is mapped for hit tests and, being
    // selected, it owns the handles of the pass.
    EXPECT_FALSE(doc.objects[0].cache);
    EXPECT_TRUE(doc.objects[0].screenRegion.containsPoint(QPointF(120, 120), Qt::OddEvenFill));
    EXPECT_EQ(scene.compositor.HandleObjectIndex(), 0);
    EXPECT_EQ(
        scene.compositor.HandleTransform().map(QPointF(scene.compositor.Handles()[0].topLeft())),
        QPointF(92, 92));
}

TEST_F(CompositorTest, WhileDraggingACacheOfAnotherSizeIsDrawnScaled) {
    doc.width = 300;
    doc.height = 200;
    const QString path = scene.WritePicture("d.png", SolidImage(400, 300, kRed));
    PhotoRecord& r = scene.AddPhoto(path, {400, 300}, 0, 0);
    r.scale = 0.25f;
    scene.Render();
    const qint64 built = doc.objects[0].cache->picture.cacheKey();
    EXPECT_EQ(doc.objects[0].cache->picture.size(), QSize(100, 72));

    doc.objects[0].Photo()->scale = 0.5f;
    RenderOptions dragging;
    dragging.fastTransformedCaches = true;
    const QImage image = scene.Render(dragging);
    EXPECT_EQ(doc.objects[0].cache->picture.cacheKey(), built);
    EXPECT_TRUE(PixelIs(image, 198, 146, kRed)); // drawn at the new size 200 x 148
    EXPECT_TRUE(PixelIs(image, 202, 100, kWhite));
    EXPECT_TRUE(PixelIs(image, 100, 150, kWhite));

    scene.Render(); // released: rebuilt at full quality
    EXPECT_EQ(doc.objects[0].cache->picture.size(), QSize(200, 148));
}

TEST_F(CompositorTest, SelectedTextIsDrawnWithItsBoxHandlesAndRegion) {
    TextRecord t;
    t.font.lfHeight = 40;
    WriteFixedText(t.font.lfFaceName, QStringLiteral("DejaVu Sans"));
    WriteFixedText(t.text, QStringLiteral("Hello"));
    t.firstColour = MakeColorref(0, 0, 0);
    t.secondColour = MakeColorref(0, 0, 0);
    t.textWidth = 80;
    t.textHeight = 30;
    t.x = 20;
    t.y = 40;
    t.scale = 1.0f;
    t.selected = 1;
    scene.Add(CanvasObject(t));
    doc.view.zoom = 1.5f;
    const QImage image = scene.Render();
    const TextRecord& drawn = *doc.objects[0].Text();
    EXPECT_EQ(drawn.screenBox.left, 30);
    EXPECT_EQ(drawn.screenBox.top, 60);
    EXPECT_EQ(drawn.screenBox.right, 150);
    EXPECT_EQ(drawn.screenBox.bottom, 105);
    // Handle 4 sits at the bottom right of the zoomed box (120 x 45 at (30, 60)).
    const QRectF h4 =
        scene.compositor.HandleTransform().mapRect(QRectF(scene.compositor.Handles()[4]));
    EXPECT_EQ(h4, QRectF(150, 105, 8, 8));
    EXPECT_TRUE(doc.objects[0].screenRegion.containsPoint(QPointF(90, 80), Qt::OddEvenFill));
    int dark = 0;
    for (int y = 60; y < 105; ++y)
        for (int x = 30; x < 150; ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(dark, 50) << "the text left no dark pixels in its box";
}

TEST_F(CompositorTest, DamagedRecordsDrawBoundedOrNotAtAll) {
    ASSERT_TRUE(WriteAll(data.File("frame.cfg"), EncodeFrameLibrary({{FramePicture(50, 50, 10, 10),
                                                                      {0.2f, 0.2f, 0.8f, 0.8f}}})));
    const QString path = scene.WritePicture("x.png", SolidImage(20, 20, kRed));
    PhotoRecord& huge = scene.AddPhoto(path, {20, 20}, 0, 0);
    huge.scale = 1e30f; // shown at the largest displayed side; the frame stays bounded
    huge.frameId = 1;
    PhotoRecord& nan = scene.AddPhoto(path, {20, 20}, 0, 0);
    nan.angle = std::nanf("");
    nan.regionScale = 0.0f;
    nan.opacity = std::nanf("");
    nan.maskId = 5; // no mask library: unmasked
    PhotoRecord& frameless = scene.AddPhoto(path, {20, 20}, 0, 0);
    frameless.frameId = 77; // past the library's end
    ClipartRecord clipart;
    clipart.sourceId = -5;
    clipart.width = clipart.height = 10;
    scene.Add(CanvasObject(clipart));
    ClipartRecord pasted = clipart;
    pasted.pasted = 1;
    pasted.sourceId = 3;
    scene.Add(CanvasObject(pasted));
    StampRecord stamp;
    stamp.brushIndex = 99;
    stamp.width = stamp.height = 10;
    scene.Add(CanvasObject(stamp));
    scene.Render();
    EXPECT_TRUE(doc.objects[1].screenRegion.isEmpty());
    ASSERT_TRUE(doc.objects[0].cache);
    const QImage& frame = doc.objects[0].cache->frame;
    EXPECT_LE(qint64(frame.width()) * frame.height(), 16'000'000);
}
