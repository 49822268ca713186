// A zoom step shows the photos' pictures scaled at once and rebuilds them in the background;
// undo finds the picture a photo effect replaced instead of reading the file again.
#include "canvas/edits/PhotoEffectJob.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "common/TestSupport.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

class ZoomRebuild : public ::testing::Test {
protected:
    void SetUp() override {
        canvas.resize(600, 400);
        canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
        for (int i = 0; i < 4; ++i) {
            QImage picture(400, 300, QImage::Format_RGB32);
            picture.fill(QColor(60 * i, 120, 200));
            const QString path = dir.filePath(QStringLiteral("p%1.png").arg(i));
            ASSERT_TRUE(picture.save(path));
            ASSERT_TRUE(canvas.Document().AddPhoto(path, 400, 300, 20 + 120 * i, 20));
        }
        canvas.repaint();
    }
    bool WaitForRebuild() {
        for (int i = 0; i < 200 && canvas.RebuildingPictures(); ++i)
            QTest::qWait(20);
        return !canvas.RebuildingPictures();
    }

    test::ScopedDataDir data;
    QTemporaryDir dir;
    CCollageCanvas canvas;
};

TEST_F(ZoomRebuild, AZoomStepKeepsThePicturesUntilTheNewOnesAreBuilt) {
    const CanvasObject& photo = canvas.Document().objects[0];
    ASSERT_TRUE(photo.cache);
    const QSize before = photo.cache->builtFor;
    ASSERT_FALSE(before.isEmpty());
    canvas.SetZoom(2.0f);
    ASSERT_TRUE(photo.cache) << "the step dropped the picture";
    EXPECT_TRUE(canvas.RebuildingPictures());
    canvas.repaint(); // drawn from the kept pictures, scaled
    EXPECT_EQ(photo.cache->builtFor, before);
    ASSERT_TRUE(WaitForRebuild());
    EXPECT_EQ(photo.cache->builtFor.width(), before.width() * 2);
}

TEST_F(ZoomRebuild, UndoingAPhotoEffectFindsThePictureItReplaced) {
    CollageDocument& doc = canvas.Document();
    const qint64 original = doc.objects[0].cache->picture.cacheKey();
    QImage effect(400, 300, QImage::Format_RGB32);
    effect.fill(Qt::black);
    const QString effectPath = dir.filePath(QStringLiteral("effect.png"));
    ASSERT_TRUE(effect.save(effectPath));
    ASSERT_TRUE(SetPhotoPicture(doc, 0, effectPath));
    canvas.repaint();
    const qint64 changed = doc.objects[0].cache->picture.cacheKey();
    EXPECT_NE(changed, original);
    canvas.Undo();
    canvas.repaint();
    EXPECT_EQ(doc.objects[0].cache->picture.cacheKey(), original);
    canvas.Redo();
    canvas.repaint();
    EXPECT_EQ(doc.objects[0].cache->picture.cacheKey(), changed);
}

} // namespace
