#include "text/HatchBrush.h"
#include "text/SoftCopy.h"
#include "text/TextDraw.h"

#include "TextTestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

// The named patterns drawn out, '#' for the foreground.
struct NamedPattern {
    HatchStyle style;
    const char* rows[8];
};
const NamedPattern kPatterns[] = {
    {HatchStyle::Percent05,
     {"#.......", "........", "........", "........", "....#...", "........", "........",
      "........"}},
    {HatchStyle::Weave,
     {"#...#...", ".#.#.#..", "..#...#.", ".#...#.#", "#...#...", "...#.#.#", "..#...#.",
      ".#.#...#"}},
    {HatchStyle::DottedGrid,
     {"#.#.#.#.", "........", "#.......", "........", "#.......", "........", "#.......",
      "........"}},
};

TEST(HatchPatterns, MatchTheNamedPatternsBitForBit) {
    for (const NamedPattern& named : kPatterns) {
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(HatchBit(named.style, x, y), named.rows[y][x] == '#')
                    << int(named.style) << " at " << x << "," << y;
    }
}

TEST(HatchPatterns, BrushKeepsToDevicePixelsUnderAnyTransform) {
    const QColor fg(250, 20, 20), bg(20, 20, 250);
    for (const QTransform& world : {QTransform(), QTransform::fromTranslate(13.5, 7),
                                    QTransform::fromScale(2.5, 2.5), QTransform().rotate(30)}) {
        QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
        QPainter p(&image);
        p.setTransform(world);
        p.fillRect(world.inverted().mapRect(QRectF(0, 0, 64, 64)).adjusted(-2, -2, 2, 2),
                   MakeHatchBrush(HatchStyle::Weave, fg, bg, world));
        p.end();
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(QColor(image.pixel(x, y)), HatchBit(HatchStyle::Weave, x, y) ? fg : bg)
                    << x << "," << y;
    }
}

TEST(HatchPatterns, StyleThreeFillsGlyphsWithTheFivePercentPattern) {
    TextRecord r = MakeTextRecord(QStringLiteral("HI"), 3, 120);
    r.firstColour = MakeColorref(0, 25, 198);
    r.secondColour = MakeColorref(255, 255, 255);
    const QImage image = RenderRecord(r, 13);
    const QRgb background = qRgb(0, 25, 198), foreground = qRgb(255, 255, 255);
    int checked = 0;
    for (int y = 1; y + 1 < image.height(); ++y) {
        for (int x = 1; x + 1 < image.width(); ++x) {
            bool interior = true; // all neighbours fully covered
            for (int dy = -1; dy <= 1 && interior; ++dy)
                for (int dx = -1; dx <= 1 && interior; ++dx)
                    interior = qAlpha(image.pixel(x + dx, y + dy)) == 255;
            if (!interior)
                continue;
            ++checked;
            ASSERT_EQ(image.pixel(x, y),
                      HatchBit(HatchStyle::Percent05, x, y) ? foreground : background)
                << x << "," << y;
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(HatchPatterns, CachedDrawingKeepsThePatternOnTheTargetGrid) {
    const TextRecord r = MakeTextRecord(QStringLiteral("W"), 5, 96);
    TextDrawCache cache;
    for (const QPoint& at : {QPoint(13, 7), QPoint(22, 5), QPoint(16, 16)}) {
        auto render = [&](TextDrawCache* c) {
            QImage image = Blank(r.textWidth + 60, r.textHeight + 60);
            QPainter p(&image);
            p.translate(at);
            DrawTextObject(p, r, c);
            return image;
        };
        EXPECT_EQ(render(&cache), render(nullptr)) << at.x() << "," << at.y();
    }
}

QPointF AlphaCentroid(const QImage& image, QPointF origin) {
    double sx = 0, sy = 0, sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double a = qAlpha(image.pixel(x, y));
            sx += a * (x + 0.5);
            sy += a * (y + 0.5);
            sum += a;
        }
    return QPointF(sx / sum, sy / sum) + origin;
}

TEST(SoftCopy, LandsAtFullSizeOffsetByTheScaledOffset) {
    const QRectF content(10, 10, 40, 20);
    const SoftCopy copy = MakeSoftCopy(QSize(100, 50), 4, QPointF(0.75, 0.75), QPointF(0, 0),
                                       [&](QPainter& p) { p.fillRect(content, Qt::black); });
    ASSERT_FALSE(copy.image.isNull());
    EXPECT_EQ(copy.target.size(), QSizeF(copy.image.size())); // one image pixel per unit
    const QPointF centroid = AlphaCentroid(copy.image, copy.target.topLeft());
    EXPECT_NEAR(centroid.x(), content.center().x() + 3, 0.2);
    EXPECT_NEAR(centroid.y(), content.center().y() + 3, 0.2);
}

TEST(SoftCopy, IsSoftAndKeepsItsCoverage) {
    // An eighth-size copy of a sharp square has blurred edges but the same amount of ink.
    const SoftCopy copy =
        MakeSoftCopy(QSize(160, 160), 8, QPointF(), QPointF(0, 0),
                     [](QPainter& p) { p.fillRect(QRectF(40, 40, 64, 64), Qt::black); });
    double ink = 0;
    int partial = 0;
    for (int y = 0; y < copy.image.height(); ++y)
        for (int x = 0; x < copy.image.width(); ++x) {
            const int a = qAlpha(copy.image.pixel(x, y));
            ink += a / 255.0;
            partial += a > 0 && a < 255;
        }
    EXPECT_NEAR(ink, 64 * 64, 64 * 64 * 0.02);
    EXPECT_GT(partial, 4 * 64 * 6); // a band several pixels wide around the square
    EXPECT_EQ(qAlpha(copy.image.pixel(72, 72)), 255);
}

TEST(EnlargeBicubic, KeepsFlatAreasFlatAndColoursValid) {
    QImage small(6, 5, QImage::Format_ARGB32_Premultiplied);
    small.fill(qPremultiply(qRgba(200, 100, 50, 128)));
    small.setPixel(0, 0, qRgba(0, 0, 0, 0));
    const QImage big = EnlargeBicubic(small, 4);
    ASSERT_EQ(big.size(), QSize(24, 20));
    EXPECT_EQ(big.pixel(12, 10), small.pixel(3, 2));
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x) {
            const QRgb px = big.pixel(x, y);
            EXPECT_LE(std::max({qRed(px), qGreen(px), qBlue(px)}), qAlpha(px));
        }
}

} // namespace

namespace {

TEST(SoftCopy, HugeCopiesAreMadeCoarserNotAllocatedWhole) {
    // A soft copy of a 200000 x 4000 box would need 50 million pixels at a quarter size.
    const SoftCopy copy =
        MakeSoftCopy(QSize(200000, 4000), 4, QPointF(0.75, 0.75), QPointF(0, 0),
                     [](QPainter& p) { p.fillRect(QRectF(0, 0, 200000, 3000), Qt::red); });
    ASSERT_FALSE(copy.image.isNull());
    EXPECT_LE(qint64(copy.image.width()) * copy.image.height(), kMaxSoftCopyPixels);
    EXPECT_GE(copy.target.width(), 200000); // still covers the whole text
    EXPECT_GE(copy.target.height(), 3000);
}

} // namespace
