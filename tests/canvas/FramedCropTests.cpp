// A framed photo keeps the shape of its crop box: the frame's window holds the cropped picture
// at its own proportions, whether the frame came before or after the crop.
#include "canvas/document/CollageDocument.h"
#include "canvas/document/ObjectGeometry.h"
#include "common/TestSupport.h"
#include "core/Notifier.h"
#include "library/items/FrameLibrary.h"

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

class FramedCropTest : public ::testing::Test {
protected:
    void SetUp() override {
        QImage frame(100, 100, QImage::Format_ARGB32);
        frame.fill(Qt::white);
        ASSERT_TRUE(
            test::WriteAll(data.File(QStringLiteral("frame.cfg")),
                           EncodeFrameLibrary({{frame, FrameWindow{0.1f, 0.2f, 0.9f, 0.8f}}})));
        ASSERT_TRUE(doc.AddPhoto(QStringLiteral("a.jpg"), 1200, 900, 0, 0)); // 4:3
    }
    PhotoRecord& Photo() { return *doc.objects[0].Photo(); }
    // Width over height of the part of the box the picture is drawn into.
    double WindowAspect() {
        const QRect inner =
            FramedPictureRect(QSize(Photo().boxWidth, Photo().boxHeight), Photo().frameWindow);
        return double(inner.width()) / inner.height();
    }

    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    CollageDocument doc;
};

TEST_F(FramedCropTest, AFrameOnASixteenByNineCropKeepsSixteenByNine) {
    doc.SetCrop(0, 112, 1200, 787); // 1200 x 675
    ASSERT_TRUE(doc.ApplyFrame(0));
    EXPECT_NEAR(Photo().boxWidth, 1500, 1);  // trunc(1200 / 0.8)
    EXPECT_NEAR(Photo().boxHeight, 1125, 1); // trunc(675 / 0.6)
    EXPECT_NEAR(WindowAspect(), 16.0 / 9.0, 0.03);
}

TEST_F(FramedCropTest, CroppingAFramedPhotoKeepsTheNewShape) {
    ASSERT_TRUE(doc.ApplyFrame(0));
    EXPECT_NEAR(WindowAspect(), 4.0 / 3.0, 0.03);
    doc.SetCrop(300, 0, 900, 900); // 2:3
    EXPECT_EQ(Photo().frameId, 1);
    EXPECT_NEAR(Photo().boxWidth, 750, 1);
    EXPECT_NEAR(Photo().boxHeight, 1500, 1);
    EXPECT_NEAR(WindowAspect(), 2.0 / 3.0, 0.03);
    // Undo puts the earlier box back with the earlier crop.
    doc.Undo();
    EXPECT_NEAR(Photo().boxHeight, 1500, 1);
    EXPECT_EQ(Photo().cropLeft, 0);
}

TEST_F(FramedCropTest, ADamagedFrameWindowLeavesTheCropBox) {
    Photo().frameId = 3;
    Photo().frameWindow = {0.5f, 0.5f, 0.5f, 0.2f};
    doc.SetCrop(0, 0, 400, 300);
    EXPECT_EQ(Photo().boxWidth, 400);
    EXPECT_EQ(Photo().boxHeight, 300);
}

} // namespace
