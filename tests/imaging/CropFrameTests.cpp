// The crop rectangle's rules: layout, constraints, handles, resizing, moving and the result.
#include "imaging/CropFrame.h"

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

Rect32 R(int l, int t, int r, int b) {
    return {l, t, r, b};
}

void ExpectRect(const Rect32& actual, const Rect32& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

bool Inside(const Rect32& r, const Rect32& outer) {
    return r.left >= outer.left && r.top >= outer.top && r.right <= outer.right &&
           r.bottom <= outer.bottom;
}

double Ratio(const Rect32& r) {
    return double(RectWidth(r)) / double(RectHeight(r));
}

// A 800 x 600 picture in a view of exactly that size: the display rectangle starts at (0, 0).
CropFrame Frame800x600() {
    CropFrame f;
    f.Layout(QSize(800, 600), QSize(800, 600));
    return f;
}

QPoint Centre(const Rect32& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(CropFrame, LayoutFitsCentresAndInsetsByAnEighth) {
    CropFrame f = Frame800x600();
    ExpectRect(f.Display(), R(0, 0, 800, 600));
    ExpectRect(f.Crop(), R(100, 75, 700, 525));

    // A picture smaller than the view keeps its size, centred.
    CropFrame small;
    small.Layout(QSize(1000, 800), QSize(400, 200));
    ExpectRect(small.Display(), R(300, 300, 700, 500));

    // A larger one is fitted with its aspect kept.
    CropFrame large;
    large.Layout(QSize(800, 800), QSize(1600, 1200));
    ExpectRect(large.Display(), R(0, 100, 800, 700));
}

TEST(CropFrame, SixteenByNineOnAFreshDisplayUsesTheWholePicture) {
    CropFrame f = Frame800x600();
    f.SetConstraint(16, 9);
    EXPECT_TRUE(f.Constrained());
    ExpectRect(f.Crop(), R(8, 8 + 71, 792, 592 - 71));
    EXPECT_EQ(RectHeight(f.Crop()), 442);
}

TEST(CropFrame, FourByThreeOnAPortraitPictureIsLandscapeAndInside) {
    CropFrame f;
    f.Layout(QSize(900, 900), QSize(600, 800));
    f.SetConstraint(4, 3);
    const Rect32 c = f.Crop();
    EXPECT_TRUE(Inside(c, f.Display()));
    EXPECT_NEAR(Ratio(c), 4.0 / 3.0, 0.01);
    // Trimmed from the top and bottom: the full width less 8 on each side.
    EXPECT_EQ(c.left, f.Display().left + 8);
    EXPECT_EQ(c.right, f.Display().right - 8);
}

TEST(CropFrame, NoConstraintKeepsTheRectangleAndBringsTheSideHandlesBack) {
    CropFrame f = Frame800x600();
    f.SetConstraint(5, 7);
    for (int i = 0; i < kCropHandleCount; ++i)
        EXPECT_EQ(f.HandleActive(i), i % 2 == 0) << i;
    const Rect32 before = f.Crop();
    f.SetConstraint(0, 0);
    EXPECT_FALSE(f.Constrained());
    ExpectRect(f.Crop(), before);
    for (int i = 0; i < kCropHandleCount; ++i)
        EXPECT_TRUE(f.HandleActive(i)) << i;
}

TEST(CropFrame, HandlesSitJustOutsideTheRectangle) {
    CropFrame f = Frame800x600();
    // (100, 75) - (700, 525): w' = 608, h' = 458.
    ExpectRect(f.HandleRect(kHandleTopLeft), R(92, 67, 100, 75));
    ExpectRect(f.HandleRect(kHandleLeft), R(92, 67 + 229, 100, 75 + 229));
    ExpectRect(f.HandleRect(kHandleBottomRight), R(92 + 608, 67 + 458, 100 + 608, 75 + 458));
    ExpectRect(f.HandleRect(kHandleTop), R(92 + 304, 67, 100 + 304, 75));
    EXPECT_EQ(f.HitHandle({95, 70}), kHandleTopLeft);
    EXPECT_EQ(f.HitHandle({400, 300}), -1);
}

TEST(CropFrame, DraggingTheLeftHandlePastTheRightEdgeFlips) {
    CropFrame f = Frame800x600();
    ASSERT_TRUE(f.BeginDrag(Centre(f.HandleRect(kHandleLeft))));
    EXPECT_TRUE(f.Resizing());
    f.DragTo({750, 300});
    ExpectRect(f.Crop(), R(700, 75, 750, 525));
    // Past the display the span stops at its edge.
    f.DragTo({900, 300});
    ExpectRect(f.Crop(), R(700, 75, 800, 525));
    f.EndDrag();
    EXPECT_FALSE(f.Dragging());
}

TEST(CropFrame, ConstrainedCornerResizeKeepsTheRatioAndStaysInside) {
    CropFrame f = Frame800x600();
    f.SetConstraint(4, 3);
    const Rect32 start = f.Crop();
    ASSERT_TRUE(f.BeginDrag(Centre(f.HandleRect(kHandleTopLeft))));
    for (QPoint p : {QPoint(-200, -300), QPoint(50, 20), QPoint(start.right + 300, 590),
                     QPoint(start.right - 10, start.bottom - 400)}) {
        f.DragTo(p);
        const Rect32 c = f.Crop();
        EXPECT_TRUE(Inside(c, f.Display())) << p.x() << "," << p.y();
        if (RectHeight(c) > 20) {
            EXPECT_NEAR(Ratio(c), 4.0 / 3.0, 0.05) << p.x() << "," << p.y();
        }
    }
    // Dragged up and left, the bottom-right corner stays.
    f.DragTo({50, 20});
    EXPECT_EQ(f.Crop().right, start.right);
    EXPECT_EQ(f.Crop().bottom, start.bottom);
}

TEST(CropFrame, MovingStopsAtTheBorderWithoutChangingSize) {
    CropFrame f = Frame800x600();
    ASSERT_TRUE(f.BeginDrag({400, 300}));
    EXPECT_FALSE(f.Resizing());
    f.DragTo({400 - 500, 300 + 500});
    ExpectRect(f.Crop(), R(0, 150, 600, 600));
    f.DragTo({400 + 500, 300 - 500});
    ExpectRect(f.Crop(), R(200, 0, 800, 450));
    // A press outside the rectangle and its handles starts nothing.
    f.EndDrag();
    EXPECT_FALSE(f.BeginDrag({10, 10}));
}

TEST(CropFrame, ResultIsInThePicturesOwnPixels) {
    // A 3200 x 2400 picture whose working copy is 1600 x 1200, shown at 800 x 600.
    CropFrame f;
    f.Layout(QSize(800, 600), QSize(1600, 1200));
    ExpectRect(f.Result(QSize(3200, 2400)), R(400, 300, 2800, 2100));
    // Shown off-centre in a wider view: the display corner is subtracted first.
    CropFrame g;
    g.Layout(QSize(1000, 600), QSize(1600, 1200));
    ASSERT_EQ(g.Display().left, 100);
    g.SetCrop(R(100, 0, 900, 600));
    ExpectRect(g.Result(QSize(3200, 2400)), R(0, 0, 3200, 2400));
}

TEST(CropFrame, ATinyPictureStillGetsARatioRectangle) {
    CropFrame f;
    f.Layout(QSize(500, 500), QSize(12, 12));
    f.SetConstraint(16, 9);
    EXPECT_TRUE(Inside(f.Crop(), f.Display()));
    EXPECT_GT(RectWidth(f.Crop()), 0);
}

} // namespace
} // namespace mosaiq
