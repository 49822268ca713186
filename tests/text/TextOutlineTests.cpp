#include "text/TextOutline.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mosaiq;

namespace {

PathData Data(std::initializer_list<std::pair<QPointF, std::uint8_t>> points) {
    PathData data;
    for (const auto& [p, t] : points) {
        data.points.push_back(p);
        data.types.push_back(t);
    }
    return data;
}

TEST(BevelOutline, DirectionChoosesThePen) {
    // Right, down, left, up, right-and-up, left-and-down, no length.
    const PathData data = Data({{{0, 0}, kPathStart},
                                {{10, 0}, kPathLine},
                                {{10, 10}, kPathLine},
                                {{0, 10}, kPathLine},
                                {{0, 0}, kPathLine},
                                {{5, -5}, kPathLine},
                                {{0, 0}, kPathLine},
                                {{0, 0}, kPathLine}});
    const QVector<BevelSegment> s = BevelSegments(data);
    ASSERT_EQ(s.size(), 7);
    const bool expected[] = {true, true, false, false, true, true, false};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(s[i].downRight, expected[i]) << "segment " << i;
    EXPECT_EQ(s[2].line, QLineF(QPointF(10, 10), QPointF(0, 10)));
}

TEST(BevelOutline, CurvePointsAndMarkersDrawNothing) {
    const PathData data = Data({{{0, 0}, kPathStart},
                                {{3, 3}, kPathBezier},
                                {{4, 4}, 0x07},
                                {{5, 5}, kPathMarker},
                                {{10, 0}, kPathLine | kPathMarker}});
    const QVector<BevelSegment> s = BevelSegments(data);
    ASSERT_EQ(s.size(), 1);
    EXPECT_EQ(s[0].line, QLineF(QPointF(0, 0), QPointF(10, 0))); // from the kept current point
}

TEST(BevelOutline, FiguresAreDrawnClosed) {
    // A closing line point draws to itself, then back to the figure start.
    const PathData data = Data({{{0, 0}, kPathStart},
                                {{10, 0}, kPathLine},
                                {{10, 10}, kPathLine | kPathClose},
                                {{20, 20}, kPathStart},
                                {{30, 20}, kPathLine},
                                {{25, 30}, kPathClose}});
    const QVector<BevelSegment> s = BevelSegments(data);
    ASSERT_EQ(s.size(), 5);
    EXPECT_EQ(s[2].line, QLineF(QPointF(10, 10), QPointF(0, 0)));
    EXPECT_FALSE(s[2].downRight); // up and left
    // A bare close mark draws from its own point to the start with the down-right pen.
    EXPECT_EQ(s[4].line, QLineF(QPointF(25, 30), QPointF(20, 20)));
    EXPECT_TRUE(s[4].downRight);
}

TEST(FlattenPath, CurvesStayWithinTheFlatness) {
    QPainterPath circle;
    circle.addEllipse(QPointF(50, 50), 40, 40);
    const PathData flat = FlattenPath(circle, 0.25);
    ASSERT_GT(flat.points.size(), 16);
    EXPECT_EQ(flat.types.front(), kPathStart);
    EXPECT_EQ(flat.types.back(), kPathLine | kPathClose);
    for (qsizetype i = 1; i < flat.points.size(); ++i) {
        EXPECT_EQ(flat.types[i] & kPathTypeMask, kPathLine);
        const QPointF mid = (flat.points[i] + flat.points[i - 1]) / 2;
        EXPECT_NEAR(std::hypot(mid.x() - 50, mid.y() - 50), 40, 0.3);
    }
    // The closing point is not repeated.
    EXPECT_NE(flat.points.front(), flat.points.back());
}

TEST(OutlinePath, OverlappingContoursMergeIntoOneOutline) {
    QPainterPath two;
    two.addRect(0, 0, 20, 10);
    two.addRect(10, 0, 20, 10); // overlaps the first
    const PathData outline = OutlinePath(two, 0.25);
    int figures = 0;
    for (std::uint8_t t : outline.types)
        figures += t == kPathStart;
    EXPECT_EQ(figures, 1);
    const QPainterPath merged = ToPainterPath(outline);
    EXPECT_TRUE(merged.contains(QPointF(15, 5))); // the overlap is inside, not a hole
    EXPECT_NEAR(merged.boundingRect().width(), 30, 1e-6);
}

} // namespace
