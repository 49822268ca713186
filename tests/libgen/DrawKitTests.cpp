// The float fields the decoration families are shaded from: exact distances, blur, and the
// alpha-weighted averaging that turns a worked field into a picture.
#include "DrawKit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mosaiq::libgen {
namespace {

// Distance of every pixel to the nearest target pixel (inside ones when targetInside is set,
// outside ones otherwise), by trying every pixel.
Field BruteDistance(const Field& coverage, bool targetInside) {
    Field out(coverage.w, coverage.h);
    for (int y = 0; y < coverage.h; ++y) {
        for (int x = 0; x < coverage.w; ++x) {
            const bool in = coverage.At(x, y) >= 0.5f;
            if (in == targetInside) {
                out.At(x, y) = 0;
                continue;
            }
            float best = float(coverage.w + coverage.h);
            for (int v = 0; v < coverage.h; ++v)
                for (int u = 0; u < coverage.w; ++u)
                    if ((coverage.At(u, v) >= 0.5f) == targetInside)
                        best = std::min(best, std::hypot(float(u - x), float(v - y)));
            out.At(x, y) = best;
        }
    }
    return out;
}

TEST(DrawKit, DistancesAreExactEuclidean) {
    const Field star = Coverage(StarPath(QPointF(24, 25), 22, 9, 5), 48, 48);
    QPainterPath ring;
    ring.addEllipse(QPointF(20, 20), 17, 17);
    ring.addEllipse(QPointF(20, 20), 8, 8);
    ring.setFillRule(Qt::OddEvenFill);
    const Field ringCoverage = Coverage(ring, 40, 40);
    for (const Field* shape : {&star, &ringCoverage}) {
        const Field inside = InsideDistance(*shape);
        const Field outside = OutsideDistance(*shape);
        const Field bruteInside = BruteDistance(*shape, false);
        const Field bruteOutside = BruteDistance(*shape, true);
        for (size_t i = 0; i < inside.v.size(); ++i) {
            ASSERT_NEAR(inside.v[i], bruteInside.v[i], 1e-3) << i;
            ASSERT_NEAR(outside.v[i], bruteOutside.v[i], 1e-3) << i;
        }
    }
    // A shape with no outside pixel at all reports the far value, not infinity.
    const Field full(8, 8, 1.0f);
    EXPECT_EQ(InsideDistance(full).At(4, 4), 16.0f);
}

TEST(DrawKit, BlurSpreadsWithoutLosingMassAwayFromTheBorder) {
    Field f(41, 41);
    f.At(20, 20) = 1.0f;
    const Field b = Blur(f, 3);
    float sum = 0;
    for (float v : b.v)
        sum += v;
    EXPECT_NEAR(sum, 1.0f, 1e-4);
    EXPECT_GT(b.At(20, 20), b.At(23, 20));
    EXPECT_FLOAT_EQ(b.At(20, 17), b.At(23, 20));
    EXPECT_EQ(b.At(0, 0), 0.0f);
}

TEST(DrawKit, GreyImageAveragesBlocksWeightedByAlpha) {
    Field grey(4, 2);
    Field alpha(4, 2);
    // Left block: two covered pixels of grey 100, two empty ones of grey 250.
    grey.At(0, 0) = grey.At(1, 0) = 100;
    alpha.At(0, 0) = alpha.At(1, 0) = 1;
    grey.At(0, 1) = grey.At(1, 1) = 250;
    // Right block: fully covered, greys 40 and 80.
    for (int y = 0; y < 2; ++y)
        for (int x = 2; x < 4; ++x) {
            alpha.At(x, y) = 1;
            grey.At(x, y) = x == 2 ? 40 : 80;
        }
    const QImage image = GreyImage(grey, alpha, 2);
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgba(100, 100, 100, 128));
    EXPECT_EQ(image.pixel(1, 0), qRgba(60, 60, 60, 255));
    // Without alpha there is no colour to speak of.
    EXPECT_EQ(GreyImage(grey, Field(4, 2), 2).pixel(0, 0), qRgba(0, 0, 0, 0));
}

TEST(DrawKit, NoiseIsRepeatableAndBounded) {
    for (int i = 0; i < 1000; ++i) {
        const double n = HashNoise(i * 7, i * 13 - 500, 42);
        ASSERT_GE(n, 0.0);
        ASSERT_LT(n, 1.0);
        ASSERT_EQ(n, HashNoise(i * 7, i * 13 - 500, 42));
    }
    EXPECT_NE(HashNoise(1, 2, 3), HashNoise(2, 1, 3));
    // Value noise meets the lattice values at lattice points and varies smoothly between them.
    EXPECT_DOUBLE_EQ(ValueNoise(40, 80, 20, 9), HashNoise(2, 4, 9));
    EXPECT_NEAR(ValueNoise(40.01, 80, 20, 9), ValueNoise(40, 80, 20, 9), 1e-3);
}

} // namespace
} // namespace mosaiq::libgen
