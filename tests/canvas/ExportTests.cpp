#include "CanvasTestScene.h"

#include "canvas/output/CollageExport.h"
#include "canvas/document/ObjectCache.h"
#include "library/items/FrameLibrary.h"

#include <QFileInfo>
#include <QImageReader>

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

class ExportTest : public ::testing::Test {
protected:
    ScopedDataDir data;
    CanvasScene scene;
    CollageDocument& doc = scene.doc;
    QTemporaryDir out;

    QString OutFile(const QString& name) const { return out.filePath(name); }
};

bool HasHandleColour(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - 0x96) < 8 && std::abs(qGreen(p) - 0xC8) < 8 && qBlue(p) > 240)
                return true;
        }
    return false;
}

} // namespace

TEST_F(ExportTest, ExportAtZoomOneAndAHalfHasTheCanvasSizeAndNoHandles) {
    const QString path = scene.WritePicture("p.png", SolidImage(60, 40, QColor(255, 0, 0)));
    scene.AddPhoto(path, {60, 40}, 20, 30, true);
    doc.view.zoom = 1.5f;
    doc.view.scrollX = 7;
    scene.Render(); // the view's pass: handles and zoomed regions and caches
    const QPolygonF viewRegion = doc.objects[0].screenRegion;
    const auto viewCache = doc.objects[0].cache;
    ASSERT_TRUE(viewCache);

    const ExportResult result = ExportCollage(doc, OutFile("collage.png"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const QImage exported(OutFile("collage.png"));
    ASSERT_EQ(exported.size(), QSize(doc.width, doc.height));
    EXPECT_FALSE(HasHandleColour(exported));
    EXPECT_TRUE(PixelIs(exported, 20, 30, QColor(255, 0, 0)));
    EXPECT_TRUE(PixelIs(exported, 79, 69, QColor(255, 0, 0)));
    EXPECT_TRUE(PixelIs(exported, 81, 50, QColor(255, 255, 255)));

    // The view is as it was: zoom, scroll, regions and its own cached pictures.
    EXPECT_EQ(doc.view.zoom, 1.5f);
    EXPECT_EQ(doc.view.scrollX, 7);
    EXPECT_EQ(doc.objects[0].screenRegion, viewRegion);
    EXPECT_EQ(doc.objects[0].cache, viewCache);
}

TEST_F(ExportTest, MissingPhotoIsAbsentWhileItsFrameStays) {
    QImage frame = SolidImage(100, 100, QColor(0, 0, 255));
    for (int y = 20; y < 80; ++y)
        for (int x = 20; x < 80; ++x)
            frame.setPixel(x, y, qRgba(0, 0, 0, 0));
    ASSERT_TRUE(
        WriteAll(data.File("frame.cfg"), EncodeFrameLibrary({{frame, {0.2f, 0.2f, 0.8f, 0.8f}}})));
    PhotoRecord& r = scene.AddPhoto(scene.MissingPath(), {100, 100}, 0, 0);
    r.frameId = 1;
    r.frameWindow = {0.2f, 0.2f, 0.8f, 0.8f};
    ASSERT_TRUE(ExportCollage(doc, OutFile("missing.bmp")).ok);
    const QImage exported(OutFile("missing.bmp"));
    EXPECT_TRUE(PixelIs(exported, 5, 5, QColor(0, 0, 255)));
    EXPECT_TRUE(PixelIs(exported, 50, 50, QColor(255, 255, 255)));
}

TEST_F(ExportTest, EveryExtensionOfTheExportFilterIsWritten) {
    doc.backgroundColour = MakeColorref(0, 128, 255);
    for (const char* ext : {"jpg", "jpeg", "bmp", "gif", "png", "pcx", "pnm", "tif", "tiff"}) {
        const QString path = OutFile(QStringLiteral("all.") + QLatin1String(ext));
        const ExportResult result = ExportCollage(doc, path);
        ASSERT_TRUE(result.ok) << ext << ": " << result.error.toStdString();
        ASSERT_TRUE(QFileInfo(path).size() > 0) << ext;
        QImageReader reader(path);
        const QSize size = reader.size();
        // Qt reads all but pcx back; its size must be the canvas.
        if (size.isValid()) {
            EXPECT_EQ(size, QSize(doc.width, doc.height)) << ext;
        }
    }
}

TEST_F(ExportTest, UnknownExtensionOrUnwritablePathFailsWithAReason) {
    ExportResult r = ExportCollage(doc, OutFile("collage.xyz"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("extension"))) << r.error.toStdString();
    r = ExportCollage(doc, OutFile("no-extension"));
    EXPECT_FALSE(r.ok);
    r = ExportCollage(doc, OutFile("missing-folder/collage.png"));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(OutFile("collage.xyz")));
}
