#include "text/TextGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mosaiq;

namespace {

TextRecord Placed(int w, int h, int x, int y, float scale, float angle) {
    TextRecord r;
    r.textWidth = w;
    r.textHeight = h;
    r.x = x;
    r.y = y;
    r.scale = scale;
    r.angle = angle;
    return r;
}

TEST(TextGeometry, ScreenBoxTruncatesEachEdge) {
    const Rect32 box = TextScreenBox(Placed(101, 55, 33, 17, 1.5f, 30), 1.25f);
    EXPECT_EQ(box.left, 41);                              // 41.25
    EXPECT_EQ(box.top, 21);                               // 21.25
    EXPECT_EQ(box.right, int(1.25f * (101 * 1.5f + 33))); // 230.6
    EXPECT_EQ(box.bottom, int((17 + 55 * 1.5f) * 1.25f)); // 124.3
}

TEST(TextGeometry, UnturnedBoxLandsOnTheScreenBox) {
    const TextRecord r = Placed(100, 50, 20, 10, 2.0f, 0);
    const QRectF mapped = TextObjectTransform(r, 1.5f).mapRect(QRectF(0, 0, 100, 50));
    EXPECT_DOUBLE_EQ(mapped.left(), 30);
    EXPECT_DOUBLE_EQ(mapped.top(), 15);
    EXPECT_DOUBLE_EQ(mapped.width(), 300);
    EXPECT_DOUBLE_EQ(mapped.height(), 150);
}

TEST(TextGeometry, TurningKeepsTheCentreOfTheScaledBox) {
    const TextRecord straight = Placed(100, 50, 20, 10, 2.0f, 0);
    const TextRecord turned = Placed(100, 50, 20, 10, 2.0f, 37);
    const QPointF centre(50, 25);
    const QPointF a = TextObjectTransform(straight, 1.0f).map(centre);
    const QPointF b = TextObjectTransform(turned, 1.0f).map(centre);
    EXPECT_NEAR(a.x(), b.x(), 1e-3);
    EXPECT_NEAR(a.y(), b.y(), 1e-3);
    // The top-left corner swings about it by the angle.
    const QPointF corner = TextObjectTransform(turned, 1.0f).map(QPointF(0, 0)) - b;
    EXPECT_NEAR(std::atan2(corner.y(), corner.x()) * 180 / M_PI,
                std::atan2(-50.0, -100.0) * 180 / M_PI + 37, 1e-3);
}

TEST(TextGeometry, HitRegionIsTheTransformedBox) {
    const TextRecord r = Placed(80, 40, 5, 5, 1.0f, 90);
    const QPainterPath region = TextHitRegion(r, 1.0f);
    const QRectF bounds = region.boundingRect();
    EXPECT_NEAR(bounds.width(), 40, 1e-3);
    EXPECT_NEAR(bounds.height(), 80, 1e-3);
    EXPECT_TRUE(region.contains(TextObjectTransform(r, 1.0f).map(QPointF(40, 20))));
}

} // namespace
