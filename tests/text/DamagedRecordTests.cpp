// Text records come from project files: whatever their bytes say, drawing and measuring them
// must neither crash nor allocate without bound.
#include "text/TextDraw.h"
#include "text/TextGeometry.h"

#include "TextTestSupport.h"

#include <QPainter>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

TEST(DamagedRecords, RandomBytesDrawWithoutHarm) {
    QRandomGenerator random(20261207);
    QImage image = Blank(200, 120);
    for (int i = 0; i < 120; ++i) {
        TextRecord r;
        auto* bytes = reinterpret_cast<unsigned char*>(&r);
        for (std::size_t b = 0; b < sizeof r; ++b)
            bytes[b] = static_cast<unsigned char>(random.bounded(256));
        // Keep some records plausible enough to reach the style recipes.
        if (i % 2 == 0) {
            r.font.lfHeight = int(random.bounded(200)) - 100;
            r.text[random.bounded(40)] = 0;
            r.style = int(random.bounded(12)) - 2;
            r.transparency = float(random.generateDouble());
        }
        const QSize size = MeasureText(r);
        EXPECT_GE(size.width(), 0);
        EXPECT_GE(size.height(), 0);
        TextDrawCache cache;
        QPainter p(&image);
        p.setTransform(TextObjectTransform(r, 1.0f));
        DrawTextObject(p, r, &cache);
        DrawTextObject(p, r);
        p.resetTransform();
        DrawTextPreview(p, r, QRect(0, 0, 160, 42));
    }
}

TEST(DamagedRecords, NonFiniteFieldsDrawNothing) {
    TextRecord r = MakeTextRecord(QStringLiteral("NaN"), 0);
    r.scale = std::numeric_limits<float>::quiet_NaN();
    r.angle = std::numeric_limits<float>::infinity();
    r.transparency = std::numeric_limits<float>::quiet_NaN(); // counts as opaque
    QImage image = Blank(200, 120);
    QPainter p(&image);
    p.setTransform(TextObjectTransform(r, 1.0f));
    DrawTextObject(p, r);
    p.end();
    int count = 0;
    PaintedBounds(image, &count);
    EXPECT_EQ(count, 0);
}

TEST(DamagedRecords, HugeFontOnLongTextStaysBounded) {
    TextRecord r = MakeTextRecord(QString(999, QLatin1Char('W')), 4, INT_MIN);
    EXPECT_GT(r.textWidth, 100000);
    QImage image = Blank(300, 300);
    QPainter p(&image);
    DrawTextObject(p, r);
}

} // namespace
