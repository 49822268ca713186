#include "ui/ColorrefColour.h"
#include "text/HatchBrush.h"
#include "ui/ColorrefColour.h"
#include "text/TextDraw.h"
#include "text/TextGeometry.h"

#include "TextTestSupport.h"
#include "common/TestSupport.h"
#include "ui/ColorrefColour.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

// Channel distance between a drawn pixel and an expected straight colour.
int Distance(QRgb drawn, const QColor& expected) {
    const QColor c = QColor::fromRgba(qUnpremultiply(drawn));
    return std::max({std::abs(c.red() - expected.red()), std::abs(c.green() - expected.green()),
                     std::abs(c.blue() - expected.blue()), std::abs(c.alpha() - expected.alpha())});
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t),
                            float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

// The column through the middle of the stem of a single "I", and the rows where it is solid.
struct Stem {
    int x = -1, top = -1, bottom = -1;
};
Stem FindStem(const QImage& image) {
    Stem stem;
    const int y = image.height() / 2;
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (qAlpha(image.pixel(x, y)) == 255) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    if (first < 0)
        return stem;
    stem.x = (first + last) / 2;
    for (int yy = 0; yy < image.height(); ++yy) {
        if (qAlpha(image.pixel(stem.x, yy)) == 255) {
            if (stem.top < 0)
                stem.top = yy;
            stem.bottom = yy;
        }
    }
    return stem;
}

class EveryStyle : public ::testing::TestWithParam<int> {};

TEST_P(EveryStyle, DrawsInsideItsBox) {
    const TextRecord r = MakeTextRecord(QStringLiteral("Style Ag"), GetParam());
    const int margin = 24;
    const QImage image = RenderRecord(r, margin);
    int count = 0;
    const QRect painted = PaintedBounds(image, &count);
    const QRect box(margin, margin, r.textWidth, r.textHeight);
    // Soft copies reach past the glyphs by their blur and offset, never far past the box.
    EXPECT_TRUE(box.adjusted(-16, -16, 16, 16).contains(painted))
        << SaveFailureImage(image, QStringLiteral("style-bounds-%1").arg(GetParam())).toStdString();
    EXPECT_GT(count, r.textWidth * r.textHeight / 10);
    EXPECT_TRUE(box.intersects(painted));
}

TEST_P(EveryStyle, CacheGivesTheSameImage) {
    TextRecord r = MakeTextRecord(QStringLiteral("Cache"), GetParam());
    r.transparency = 0.25f;
    TextDrawCache cache;
    const QImage fresh = RenderRecord(r);
    EXPECT_EQ(RenderRecord(r, 24, &cache), fresh);
    EXPECT_FALSE(cache.IsEmpty());
    EXPECT_EQ(RenderRecord(r, 24, &cache), fresh); // drawn from the cache
    // A changed record is drawn anew, not from the stale cache.
    r.firstColour = MakeColorref(0, 200, 0);
    r.secondColour = MakeColorref(250, 250, 0);
    EXPECT_EQ(RenderRecord(r, 24, &cache), RenderRecord(r));
}

TEST_P(EveryStyle, CachedDrawingMatchesDirectDrawingUnderAnyTransform) {
    TextRecord r = MakeTextRecord(QStringLiteral("Layer"), GetParam());
    r.transparency = 0.3f;
    TextDrawCache cache;
    const QTransform transforms[] = {
        QTransform::fromTranslate(10, 7),
        QTransform::fromTranslate(37, 12), // moved by whole pixels: the same layer
        QTransform::fromTranslate(10.5, 7.25),
        QTransform::fromScale(1.5, 1.5) * QTransform::fromTranslate(4, 3),
        QTransform().rotate(20) * QTransform::fromTranslate(30, 2),
    };
    for (const QTransform& transform : transforms) {
        auto render = [&](TextDrawCache* c) {
            QImage image(360, 160, QImage::Format_ARGB32_Premultiplied);
            image.fill(QColor(90, 160, 70));
            QPainter p(&image);
            p.setTransform(transform);
            DrawTextObject(p, r, c);
            return image;
        };
        const QImage direct = render(nullptr);
        const QImage cached = render(&cache);
        int worst = 0;
        for (int y = 0; y < direct.height(); ++y)
            for (int x = 0; x < direct.width(); ++x) {
                const QRgb a = direct.pixel(x, y), b = cached.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            }
        EXPECT_LE(worst, 2)
            << SaveFailureImage(cached, QStringLiteral("cached-%1").arg(GetParam())).toStdString();
    }
}

TEST_P(EveryStyle, LeavesThePainterAsItWas) {
    const TextRecord r = MakeTextRecord(QStringLiteral("State"), GetParam());
    QImage image = Blank(300, 100);
    QPainter p(&image);
    p.translate(3, 4);
    p.setPen(QPen(Qt::red, 3));
    p.setBrush(Qt::green);
    DrawTextObject(p, r);
    EXPECT_EQ(p.worldTransform(), QTransform::fromTranslate(3, 4));
    EXPECT_EQ(p.pen(), QPen(Qt::red, 3));
    EXPECT_EQ(p.brush(), QBrush(Qt::green));
    EXPECT_FALSE(p.testRenderHint(QPainter::Antialiasing));
}

TEST_P(EveryStyle, TurnedAndZoomedStaysInItsHitRegion) {
    TextRecord r = MakeTextRecord(QStringLiteral("Turn"), GetParam());
    r.x = 60;
    r.y = 50;
    r.angle = 30;
    r.scale = 1.5f;
    QImage image = Blank(600, 400);
    QPainter p(&image);
    p.setTransform(TextObjectTransform(r, 1.25f));
    DrawTextObject(p, r);
    p.end();
    int count = 0;
    const QRect painted = PaintedBounds(image, &count);
    const QRect region = TextHitRegion(r, 1.25f).boundingRect().toAlignedRect();
    EXPECT_GT(count, 500);
    EXPECT_TRUE(region.adjusted(-40, -40, 40, 40).contains(painted));
}

INSTANTIATE_TEST_SUITE_P(Styles, EveryStyle, ::testing::Values(0, 1, 2, 3, 4, 5, 6, 7, 9, -1));

TEST(TextOpacity, TransparencyToAlpha) {
    EXPECT_EQ(TextOpacity(0.0f), 255);
    EXPECT_EQ(TextOpacity(1.0f), 0);
    EXPECT_EQ(TextOpacity(0.5f), 127);
    EXPECT_EQ(TextOpacity(0.1f), 229);
    EXPECT_EQ(TextOpacity(-3.0f), 255);
    EXPECT_EQ(TextOpacity(7.0f), 0);
    EXPECT_EQ(TextOpacity(std::nanf("")), 255);
}

TEST(TextColours, FlatHatchFillCarriesColourAndAlpha) {
    // Style 3 with both colours equal is a flat fill of that colour at the drawing alpha.
    TextRecord r = MakeTextRecord(QStringLiteral("HI"), 3, 96);
    r.firstColour = r.secondColour = MakeColorref(10, 120, 240);
    for (float transparency : {0.0f, 0.5f}) {
        r.transparency = transparency;
        const QImage image = RenderRecord(r);
        const QColor expected(10, 120, 240, TextOpacity(transparency));
        int solid = 0, over = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb px = image.pixel(x, y);
                over += qAlpha(px) > expected.alpha();
                if (qAlpha(px) == expected.alpha()) {
                    ++solid;
                    EXPECT_LE(Distance(px, expected), 2) << x << "," << y;
                }
            }
        EXPECT_GT(solid, 1000) << transparency;
        EXPECT_EQ(over, 0) << transparency;
    }
}

TEST(TextColours, InvisibleTextDrawsOnlyTheOpaqueGreyOutline) {
    for (int style = 0; style < 8; ++style) {
        TextRecord r = MakeTextRecord(QStringLiteral("Gone"), style);
        r.transparency = 1.0f;
        const QImage image = RenderRecord(r);
        int count = 0;
        PaintedBounds(image, &count);
        if (style != 2) {
            EXPECT_EQ(count, 0) << style;
            continue;
        }
        // Style 2 outlines its glyphs in opaque grey whatever the transparency.
        EXPECT_GT(count, 100);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb px = image.pixel(x, y);
                if (qAlpha(px) >= 64) { // fainter edge pixels lose precision when unpremultiplied
                    ASSERT_LE(Distance(px, QColor(168, 168, 168, qAlpha(px))), 3);
                }
            }
        }
    }
}

TEST(TextColours, StyleZeroRunsFromFirstToSecondColourDownTheBox) {
    const TextRecord r = MakeTextRecord(QStringLiteral("I"), 0, 96);
    const int margin = 24;
    const QImage image = RenderRecord(r, margin);
    const Stem stem = FindStem(image);
    ASSERT_GE(stem.x, 0);
    const QColor c1 = ColorFromColorref(r.firstColour), c2 = ColorFromColorref(r.secondColour);
    for (int y = stem.top + 2; y < stem.bottom - 2; y += 5) {
        const double t = (y + 0.5 - margin) / r.textHeight;
        EXPECT_LE(Distance(image.pixel(stem.x, y), Mix(c1, c2, t)), 6) << "y " << y;
    }
}

TEST(TextColours, StyleOneBlendsToTheSecondColourAtSixtyPercent) {
    const TextRecord r = MakeTextRecord(QStringLiteral("I"), 1, 96);
    const int margin = 24;
    const QImage image = RenderRecord(r, margin);
    const Stem stem = FindStem(image);
    ASSERT_GE(stem.x, 0);
    const QColor c1 = ColorFromColorref(r.firstColour), c2 = ColorFromColorref(r.secondColour);
    for (int y = stem.top + 2; y < stem.bottom - 2; y += 5) {
        const double t = (y + 0.5 - margin) / r.textHeight;
        const double f = t < 0.6 ? t / 0.6 : (1 - t) / 0.4;
        EXPECT_LE(Distance(image.pixel(stem.x, y), Mix(c1, c2, f)), 8) << "y " << y;
    }
}

TEST(TextColours, UnknownStylesDrawTheOpaqueBrownToCreamGradient) {
    for (int style : {8, 9, -1, 1000}) {
        TextRecord r = MakeTextRecord(QStringLiteral("I"), style, 96);
        r.transparency = 0.9f; // neither the colours nor the opacity are used
        const int margin = 24;
        const QImage image = RenderRecord(r, margin);
        const Stem stem = FindStem(image);
        ASSERT_GE(stem.x, 0) << style;
        for (int y = stem.top + 2; y < stem.bottom - 2; y += 7) {
            const double t = (y + 0.5 - margin) / r.textHeight;
            EXPECT_LE(Distance(image.pixel(stem.x, y),
                               Mix(QColor(0xD2, 0x69, 0x1E), QColor(0xFA, 0xEB, 0xD7), t)),
                      6)
                << "style " << style << " y " << y;
        }
    }
}

TEST(TextFaces, MissingFaceStillDraws) {
    for (const QString& face : {QStringLiteral("No Such Face 123"), QString()}) {
        const TextRecord r = MakeTextRecord(QStringLiteral("Text"), 3, 48, face);
        ASSERT_GT(r.textWidth, 0);
        int count = 0;
        PaintedBounds(RenderRecord(r), &count);
        EXPECT_GT(count, 200) << face.toStdString();
    }
}

TEST(TextLength, LongTextsAreDrawnWhole) {
    // Drawn ink grows by the same advance for every character: none is cut at 259 or later.
    for (int style : {0, 3, 7}) {
        auto inkWidth = [style](int n) {
            return PaintedBounds(
                       RenderRecord(MakeTextRecord(QString(n, QLatin1Char('H')), style, 16), 4))
                .width();
        };
        const double advance = (inkWidth(259) - inkWidth(1)) / 258.0;
        EXPECT_GT(advance, 5.0);
        EXPECT_NEAR(inkWidth(600) - inkWidth(259), 341 * advance, 3) << style;
        EXPECT_NEAR(inkWidth(999) - inkWidth(600), 399 * advance, 3) << style;
    }
}

TEST(TextPreview, PathsAreLargerThanOnTheCanvas) {
    const TextRecord r = MakeTextRecord(QStringLiteral("Text"), 3, 42);
    int canvas = 0, preview = 0;
    PaintedBounds(RenderRecord(r), &canvas);
    QImage image = Blank(300, 120);
    {
        QPainter p(&image);
        DrawTextPreview(p, r, QRect(20, 20, 160, 42));
    }
    const QRect painted = PaintedBounds(image, &preview);
    // 18/20 against 15/20 of the height: about (6/5)^2 the area.
    EXPECT_NEAR(double(preview) / canvas, 1.44, 0.2);
    EXPECT_TRUE(QRect(20, 20, r.textWidth, r.textHeight).contains(painted));
}

TEST(TextPreview, ShadowMovesRightOnlyInThePreview) {
    // Style 0 at full transparency of the sharp pass cannot be split off, so compare the two
    // variants' painted areas: the canvas shadow reaches 3 px lower.
    const TextRecord r = MakeTextRecord(QStringLiteral("_"), 0, 96);
    TextDrawRequest canvas = RequestForRecord(r, TextVariant::Canvas);
    TextDrawRequest preview = RequestForRecord(r, TextVariant::Preview);
    auto bottom = [](const TextDrawRequest& request) {
        QImage image = Blank(request.box.width() + 40, request.box.height() + 40);
        QPainter p(&image);
        p.translate(20, 20);
        DrawTextRequest(p, request);
        p.end();
        return PaintedBounds(image).bottom();
    };
    EXPECT_NEAR(bottom(canvas) - bottom(preview), 3, 1);
}

TEST(TextPreview, TurnsAboutTheCentreOfTheMeasuredBox) {
    TextRecord r = MakeTextRecord(QStringLiteral("Turn"), 3, 42);
    r.angle = 90;
    QImage image = Blank(400, 400);
    {
        QPainter p(&image);
        DrawTextPreview(p, r, QRect(100, 100, 160, 42));
    }
    const QRect painted = PaintedBounds(image);
    const QPointF centre(100 + r.textWidth / 2.0, 100 + r.textHeight / 2.0);
    EXPECT_NEAR(painted.center().x(), centre.x(), 10);
    EXPECT_NEAR(painted.center().y(), centre.y(), 10);
    EXPECT_GT(painted.height(), painted.width()); // standing on end
}

} // namespace
