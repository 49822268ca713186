// Brush tips: white on transparent. The stamp takes its colour from the user, so a tip carries
// its whole shape in the alpha channel.
#include "DrawKit.h"
#include "Libraries.h"

#include <QtMath>

#include <cmath>
#include <functional>

namespace mosaiq::libgen {
namespace {

QImage Tip(int w, int h, const std::function<void(QPainter&)>& paint) {
    QImage canvas = NewCanvas(w, h);
    QPainter p(&canvas);
    PreparePainter(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    paint(p);
    p.end();
    return Finished(canvas);
}

QImage RoundHard() {
    return Tip(32, 32, [](QPainter& p) { p.drawEllipse(QPointF(16, 16), 14.5, 14.5); });
}

QImage RoundSoft() {
    return Tip(64, 64, [](QPainter& p) {
        QRadialGradient g(QPointF(32, 32), 31);
        g.setColorAt(0.0, QColor(255, 255, 255, 255));
        g.setColorAt(0.12, QColor(255, 255, 255, 255));
        g.setColorAt(0.4, QColor(255, 255, 255, 200));
        g.setColorAt(0.7, QColor(255, 255, 255, 70));
        g.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setBrush(g);
        p.drawEllipse(QPointF(32, 32), 31.5, 31.5);
    });
}

QImage Star() {
    return Tip(48, 48, [](QPainter& p) { p.drawPath(StarPath(QPointF(24, 25.5), 22.5, 9.5, 5)); });
}

QImage Heart() {
    return Tip(48, 48, [](QPainter& p) { p.drawPath(HeartPath(QRectF(3, 5, 42, 39))); });
}

QImage LeafTip() {
    return Tip(48, 64, [](QPainter& p) {
        const QPainterPath leaf = LeafPath(QPointF(24, 60), QPointF(24, 4), 17);
        p.drawPath(leaf);
        // The vein is a thin gap in the leaf.
        p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        p.setPen(QPen(QColor(0, 0, 0, 170), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(24, 54), QPointF(24, 12));
    });
}

QImage Sparkle() {
    return Tip(64, 64, [](QPainter& p) {
        QRadialGradient g(QPointF(32, 32), 20);
        g.setColorAt(0.0, QColor(255, 255, 255, 200));
        g.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setBrush(g);
        p.drawEllipse(QPointF(32, 32), 20, 20);
        p.setBrush(Qt::white);
        p.drawPath(StarPath(QPointF(32, 32), 30, 4.5, 4, -90));
        p.drawPath(StarPath(QPointF(32, 32), 15, 3, 4, -45));
    });
}

QImage DotCluster() {
    return Tip(64, 64, [](QPainter& p) {
        for (int i = 0; i < 16; ++i) {
            const double a = HashNoise(i, 1, 17) * 2 * M_PI;
            const double r = std::sqrt(HashNoise(i, 2, 17)) * 24.0;
            const double size = 2.0 + HashNoise(i, 3, 17) * 4.0;
            p.drawEllipse(QPointF(32 + r * std::cos(a), 32 + r * std::sin(a)), size, size);
        }
    });
}

QImage SnowflakeTip() {
    return Tip(64, 64, [](QPainter& p) { p.drawPath(SnowflakePath(QPointF(32, 32), 29, 3.6)); });
}

QImage Grass() {
    return Tip(64, 96, [](QPainter& p) {
        for (int i = 0; i < 9; ++i) {
            const double baseX = 8 + i * 6.0;
            const double lean = (HashNoise(i, 1, 29) - 0.5) * 34.0;
            const double height = 50 + HashNoise(i, 2, 29) * 42.0;
            QPainterPath blade;
            blade.moveTo(baseX - 3, 95);
            blade.quadTo(baseX - 1, 95 - height * 0.6, baseX + lean, 95 - height);
            blade.quadTo(baseX + 2, 95 - height * 0.55, baseX + 3, 95);
            blade.closeSubpath();
            p.drawPath(blade);
        }
    });
}

QImage Confetti() {
    return Tip(64, 64, [](QPainter& p) {
        for (int i = 0; i < 14; ++i) {
            const QPointF at(8 + HashNoise(i, 1, 41) * 48, 8 + HashNoise(i, 2, 41) * 48);
            p.save();
            p.translate(at);
            p.rotate(HashNoise(i, 3, 41) * 180);
            if (i % 3 == 0)
                p.drawEllipse(QPointF(0, 0), 3.2, 3.2);
            else if (i % 3 == 1)
                p.drawRect(QRectF(-5, -2.2, 10, 4.4));
            else
                p.drawPath(StarPath(QPointF(0, 0), 5, 2.2, 5));
            p.restore();
        }
    });
}

QImage Chalk() {
    return Tip(40, 40, [](QPainter& p) {
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const double r = std::hypot(x - 19.5, y - 19.5);
                if (r > 18.5)
                    continue;
                const double keep = ValueNoise(x, y, 3, 53) * 0.6 + HashNoise(x, y, 54) * 0.4;
                const double edge = SmoothStep(18.5, 12.0, r);
                const int a = int(255 * edge * SmoothStep(0.35, 0.7, keep));
                p.fillRect(QRect(x, y, 1, 1), QColor(255, 255, 255, a));
            }
        }
    });
}

QImage Bubble() {
    return Tip(48, 48, [](QPainter& p) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 3));
        p.drawEllipse(QPointF(24, 24), 20, 20);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 90));
        p.drawEllipse(QPointF(24, 24), 18.5, 18.5);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(17, 16), 4.5, 3);
    });
}

} // namespace

std::vector<QImage> DrawBrushes() {
    return {RoundHard(),  RoundSoft(),    Star(),  Heart(),    LeafTip(), Sparkle(),
            DotCluster(), SnowflakeTip(), Grass(), Confetti(), Chalk(),   Bubble()};
}

} // namespace mosaiq::libgen
