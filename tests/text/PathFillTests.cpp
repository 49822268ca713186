#include "text/PathFill.h"

#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

// A row of many small overlapping rings and curves, like the outline of a long text.
QPainterPath LongRow(int count) {
    QPainterPath path;
    for (int i = 0; i < count; ++i) {
        path.addEllipse(QPointF(6 + i * 4.3, 12), 4.5, 7);
        path.addRect(QRectF(4 + i * 4.3, 8, 2.2, 9));
    }
    return path;
}

TEST(FillPathInStrips, GivesTheSamePixelsAsOneFill) {
    const QPainterPath path = LongRow(900);
    for (Qt::FillRule rule : {Qt::OddEvenFill, Qt::WindingFill}) {
        QPainterPath p = path;
        p.setFillRule(rule);
        for (const QTransform& t : {QTransform(), QTransform::fromScale(0.37, 0.37),
                                    QTransform::fromTranslate(0.5, 3.25), QTransform().rotate(3)}) {
            auto render = [&](bool strips) {
                QImage image(1400, 60, QImage::Format_ARGB32_Premultiplied);
                image.fill(QColor(30, 90, 40));
                QPainter painter(&image);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setTransform(t);
                const QColor colour(240, 200, 10, 150);
                if (strips)
                    FillPathInStrips(painter, p, colour);
                else
                    painter.fillPath(p, colour);
                return image;
            };
            EXPECT_EQ(render(true), render(false)) << int(rule);
        }
    }
}

TEST(FillPathInStrips, KeepsTheCallersClipAndState) {
    const QPainterPath path = LongRow(900);
    QImage image(1400, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setClipRect(QRect(100, 0, 50, 60));
    painter.translate(2, 0);
    FillPathInStrips(painter, path, QColor(Qt::red));
    EXPECT_TRUE(painter.hasClipping());
    EXPECT_EQ(painter.worldTransform(), QTransform::fromTranslate(2, 0));
    painter.end();
    int inside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool clipped = x < 100 || x >= 150;
            if (clipped)
                ASSERT_EQ(qAlpha(image.pixel(x, y)), 0) << x << "," << y;
            else
                inside += qAlpha(image.pixel(x, y)) > 0;
        }
    EXPECT_GT(inside, 200);
}

} // namespace
