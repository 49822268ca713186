// Decorative frames. Each picture is transparent where the photo shows; its window gives that
// opening as fractions of the picture, and the photo is drawn into it.
#include "DrawKit.h"
#include "Libraries.h"

#include <QtMath>

#include <algorithm>
#include <cmath>
#include <functional>

namespace mosaiq::libgen {
namespace {

constexpr int kWide = 560;
constexpr int kTall = 420;

FrameArt Make(const QImage& canvas, const QRectF& window) {
    FrameArt art;
    art.picture = Finished(canvas);
    const double w = canvas.width();
    const double h = canvas.height();
    art.window = {float(window.left() / w), float(window.top() / h), float(window.right() / w),
                  float(window.bottom() / h)};
    const int thumbHeight = int(std::lround(h * kFrameThumbnailWidth / w));
    art.thumbnail = art.picture
                        .scaled(kFrameThumbnailWidth, thumbHeight, Qt::IgnoreAspectRatio,
                                Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_ARGB32);
    return art;
}

// A band of width b around the edge of a w x h picture, with a rectangular opening.
QPainterPath Band(int w, int h, double b) {
    QPainterPath band;
    band.addRect(0, 0, w, h);
    band.addRect(QRectF(b, b, w - 2 * b, h - 2 * b));
    band.setFillRule(Qt::OddEvenFill);
    return band;
}

// A soft shadow falling from the frame onto the photo along the inside of the opening.
void InnerShadow(QPainter& p, const QRectF& window, double depth, int alpha) {
    p.save();
    p.setClipRect(window);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < int(depth); ++i) {
        const double t = 1.0 - double(i) / depth;
        p.setPen(QPen(QColor(0, 0, 0, int(alpha * t * t)), 1.0));
        p.drawRect(window.adjusted(i + 0.5, i + 0.5, -i - 0.5, -i - 0.5));
    }
    p.restore();
}

// Paints every pixel of the picture for which colour returns a non-transparent colour.
void PaintPixels(QImage& canvas, const std::function<QColor(int, int)>& colour) {
    for (int y = 0; y < canvas.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(canvas.scanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            const QColor c = colour(x, y);
            if (c.alpha() > 0)
                row[x] = qPremultiply(c.rgba());
        }
    }
}

// Wood grain running along u, with rings bent by noise.
QColor WoodAt(double u, double v, std::uint32_t seed) {
    const double bend = ValueNoise(u, v * 4, 60, seed) * 9 + ValueNoise(u, v, 14, seed + 1) * 2;
    const double ring = std::sin((v + bend) * 1.1) * 0.5 + 0.5;
    const double streak = ValueNoise(u * 0.08, v * 1.5, 1.0, seed + 2);
    const double t = 0.55 * ring + 0.45 * streak;
    return Mix(QColor(150, 92, 48), QColor(96, 54, 26), t);
}

FrameArt Wood() {
    QImage canvas = NewCanvas(kWide, kTall);
    const double b = 46;
    const QRectF window(b, b, kWide - 2 * b, kTall - 2 * b);
    PaintPixels(canvas, [&](int x, int y) -> QColor {
        const int dl = x;
        const int dr = kWide - 1 - x;
        const int dt = y;
        const int db = kTall - 1 - y;
        const int edge = std::min({dl, dr, dt, db});
        if (edge >= b)
            return QColor(0, 0, 0, 0);
        // Mitred corners: the nearest edge decides which piece a pixel belongs to.
        const bool horizontal = std::min(dt, db) <= std::min(dl, dr);
        QColor c = horizontal ? WoodAt(x, y, 3) : WoodAt(y, x, 9);
        // A rounded moulding: lighter on the crest, darker towards both edges.
        const double t = edge / b;
        const double crest = std::sin(t * M_PI);
        const bool lit = horizontal ? dt < db : dl < dr;
        c = crest > 0.5 ? Lighter(c, (crest - 0.5) * (lit ? 0.35 : 0.15))
                        : Darker(c, (0.5 - crest) * (lit ? 0.4 : 0.7));
        return c;
    });
    QPainter p(&canvas);
    PreparePainter(p);
    p.setPen(QPen(QColor(60, 32, 14), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(0, 0), QPointF(b, b));
    p.drawLine(QPointF(kWide, 0), QPointF(kWide - b, b));
    p.drawLine(QPointF(0, kTall), QPointF(b, kTall - b));
    p.drawLine(QPointF(kWide, kTall), QPointF(kWide - b, kTall - b));
    p.drawRect(window);
    p.drawRect(QRectF(0.75, 0.75, kWide - 1.5, kTall - 1.5));
    InnerShadow(p, window, 9, 110);
    p.end();
    return Make(canvas, window);
}

QColor Gold(double light) {
    light = std::clamp(light, 0.0, 1.0);
    if (light < 0.5)
        return Mix(QColor(92, 58, 10), QColor(206, 154, 46), light * 2);
    return Mix(QColor(206, 154, 46), QColor(255, 242, 178), (light - 0.5) * 2);
}

FrameArt Gilded() {
    QImage canvas = NewCanvas(kWide, kTall);
    const double b = 52;
    const QRectF window(b, b, kWide - 2 * b, kTall - 2 * b);
    PaintPixels(canvas, [&](int x, int y) -> QColor {
        const int dl = x;
        const int dr = kWide - 1 - x;
        const int dt = y;
        const int db = kTall - 1 - y;
        const int edge = std::min({dl, dr, dt, db});
        if (edge >= b)
            return QColor(0, 0, 0, 0);
        const bool litSide = std::min(dt, dl) == edge;
        const double t = edge / b;
        // Profile: outer roll, cove, raised inner lip.
        double slope = 0;
        if (t < 0.28)
            slope = std::cos(t / 0.28 * M_PI);
        else if (t < 0.78)
            slope = -std::cos((t - 0.28) / 0.5 * M_PI) * 0.6;
        else
            slope = std::cos((t - 0.78) / 0.22 * M_PI);
        double light = 0.55 + (litSide ? 0.38 : -0.3) * slope;
        light += (ValueNoise(x, y, 3, 77) - 0.5) * 0.08;
        return Gold(light);
    });
    QPainter p(&canvas);
    PreparePainter(p);
    // A row of beads on the outer roll.
    const double beadAt = b * 0.5;
    auto bead = [&p](QPointF c) {
        QRadialGradient g(c + QPointF(-1.2, -1.2), 4.2);
        g.setColorAt(0, Gold(1.0));
        g.setColorAt(0.6, Gold(0.6));
        g.setColorAt(1, Gold(0.2));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, 3.6, 3.6);
    };
    for (double x = beadAt; x <= kWide - beadAt; x += 9.5) {
        bead(QPointF(x, beadAt));
        bead(QPointF(x, kTall - beadAt));
    }
    for (double y = beadAt + 9.5; y < kTall - beadAt; y += 9.5) {
        bead(QPointF(beadAt, y));
        bead(QPointF(kWide - beadAt, y));
    }
    // Corner ornaments.
    for (QPointF corner :
         {QPointF(b * 0.5, b * 0.5), QPointF(kWide - b * 0.5, b * 0.5),
          QPointF(b * 0.5, kTall - b * 0.5), QPointF(kWide - b * 0.5, kTall - b * 0.5)}) {
        const QPainterPath rosette = FlowerPath(corner, 13, 9, 8);
        QRadialGradient g(corner + QPointF(-5, -5), 30);
        g.setColorAt(0, Gold(1.0));
        g.setColorAt(1, Gold(0.3));
        p.setPen(QPen(Gold(0.1), 1.2));
        p.setBrush(g);
        p.drawPath(rosette);
        QPainterPath centre;
        centre.addEllipse(corner, 6, 6);
        p.setBrush(Gold(0.85));
        p.drawPath(centre);
    }
    p.setPen(QPen(Gold(0.15), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(window);
    InnerShadow(p, window, 8, 100);
    p.end();
    return Make(canvas, window);
}

FrameArt Polaroid() {
    const int w = 440;
    const int h = 520;
    QImage canvas = NewCanvas(w, h);
    QPainter p(&canvas);
    PreparePainter(p);
    const QRectF card(8, 6, w - 18, h - 16);
    for (int i = 8; i >= 1; --i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 10));
        p.drawRoundedRect(card.adjusted(-i * 0.5 + 3, -i * 0.5 + 4, i * 0.5 + 3, i * 0.5 + 4), 4,
                          4);
    }
    p.setBrush(QColor(250, 250, 246));
    p.drawRoundedRect(card, 3, 3);
    const QRectF window(card.left() + 26, card.top() + 26, card.width() - 52, card.width() - 52);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(window, Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    InnerShadow(p, window, 5, 70);
    p.setPen(QPen(QColor(220, 220, 214), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(window.adjusted(-0.5, -0.5, 0.5, 0.5));
    p.end();
    // A faint paper grain on the card.
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(canvas.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (qAlpha(row[x]) < 255 || !card.contains(x, y))
                continue;
            const int d = int((HashNoise(x, y, 11) - 0.5) * 6);
            row[x] =
                qRgb(std::clamp(qRed(row[x]) + d, 0, 255), std::clamp(qGreen(row[x]) + d, 0, 255),
                     std::clamp(qBlue(row[x]) + d, 0, 255));
        }
    }
    return Make(canvas, window);
}

FrameArt FilmStrip() {
    QImage canvas = NewCanvas(kWide, kTall);
    QPainter p(&canvas);
    PreparePainter(p);
    const double band = 58;
    const double side = 14;
    const QRectF window(side, band, kWide - 2 * side, kTall - 2 * band);
    QPainterPath film;
    film.addRect(0, 0, kWide, kTall);
    QPainterPath holes;
    holes.addRect(window);
    for (double x = 12; x + 22 <= kWide - 6; x += 36) {
        holes.addRoundedRect(QRectF(x, 18, 22, 24), 4, 4);
        holes.addRoundedRect(QRectF(x, kTall - 42, 22, 24), 4, 4);
    }
    film = film.subtracted(holes);
    QLinearGradient g(0, 0, 0, kTall);
    g.setColorAt(0, QColor(38, 36, 34));
    g.setColorAt(0.5, QColor(22, 21, 20));
    g.setColorAt(1, QColor(38, 36, 34));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(film);
    // Edge markings printed on the film.
    p.setBrush(QColor(224, 140, 40));
    for (double x = 40; x < kWide - 40; x += 144) {
        p.drawRect(QRectF(x, 6, 26, 5));
        p.drawRect(QRectF(x + 70, kTall - 11, 14, 5));
        p.drawPath(StarPath(QPointF(x + 100, kTall - 8.5), 4, 1.8, 4, 0));
    }
    p.setPen(QPen(QColor(70, 68, 64), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(window.adjusted(-0.5, -0.5, 0.5, 0.5));
    p.end();
    return Make(canvas, window);
}

FrameArt RoundedWhite() {
    QImage canvas = NewCanvas(kWide, kTall);
    QPainter p(&canvas);
    PreparePainter(p);
    const double b = 30;
    const QRectF window(b, b, kWide - 2 * b, kTall - 2 * b);
    QPainterPath border;
    border.addRoundedRect(QRectF(1, 1, kWide - 2, kTall - 2), 18, 18);
    QPainterPath opening;
    opening.addRoundedRect(window, 36, 36);
    border = border.subtracted(opening);
    QLinearGradient g(0, 0, kWide, kTall);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(1, QColor(238, 238, 240));
    p.setPen(QPen(QColor(200, 200, 206), 1.5));
    p.setBrush(g);
    p.drawPath(border);
    p.setClipPath(opening);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 7; ++i) {
        p.setPen(QPen(QColor(0, 0, 0, 50 - i * 7), 1.0));
        QPainterPath ring;
        ring.addRoundedRect(window.adjusted(i + 0.5, i + 0.5, -i - 0.5, -i - 0.5), 36 - i, 36 - i);
        p.drawPath(ring);
    }
    p.end();
    return Make(canvas, window);
}

FrameArt TornPaper() {
    QImage canvas = NewCanvas(kWide, kTall);
    QPainter p(&canvas);
    PreparePainter(p);
    const double b = 44;
    // A ragged outline around rect r, tearing inwards by up to depth pixels.
    auto ragged = [](const QRectF& r, double depth, std::uint32_t seed) {
        QPainterPath path;
        const double step = 7;
        int i = 0;
        auto jag = [&](double t) { return (HashNoise(i++, int(t), seed) * 0.7 + 0.3) * depth; };
        path.moveTo(r.topLeft());
        for (double x = r.left(); x < r.right(); x += step)
            path.lineTo(x, r.top() + jag(x));
        for (double y = r.top(); y < r.bottom(); y += step)
            path.lineTo(r.right() - jag(y), y);
        for (double x = r.right(); x > r.left(); x -= step)
            path.lineTo(x, r.bottom() - jag(x));
        for (double y = r.bottom(); y > r.top(); y -= step)
            path.lineTo(r.left() + jag(y), y);
        path.closeSubpath();
        return path;
    };
    const QPainterPath outer = ragged(QRectF(2, 2, kWide - 4, kTall - 4), 6, 5);
    const QRectF hole(b, b, kWide - 2 * b, kTall - 2 * b);
    // The opening tears outwards from the hole's rectangle.
    const QPainterPath inner = ragged(hole.adjusted(-10, -10, 10, 10), 10, 6);
    const QPainterPath paper = outer.subtracted(inner);
    DropShadow(p, paper, 2, 3, 50);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(247, 240, 222));
    p.drawPath(paper);
    // The torn fibres: a whiter rim along the opening.
    p.setClipPath(paper);
    p.setPen(QPen(QColor(255, 255, 252), 5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(inner);
    p.setPen(QPen(QColor(200, 190, 170), 1));
    p.drawPath(inner);
    p.end();
    // Paper grain.
    for (int y = 0; y < kTall; ++y) {
        auto* row = reinterpret_cast<QRgb*>(canvas.scanLine(y));
        for (int x = 0; x < kWide; ++x) {
            if (qAlpha(row[x]) < 255)
                continue;
            const int d = int((ValueNoise(x, y, 5, 12) - 0.5) * 14);
            row[x] =
                qRgb(std::clamp(qRed(row[x]) + d, 0, 255), std::clamp(qGreen(row[x]) + d, 0, 255),
                     std::clamp(qBlue(row[x]) + d - 2, 0, 255));
        }
    }
    return Make(canvas, inner.boundingRect());
}

void Blossom(QPainter& p, QPointF c, double r, const QColor& colour, double turn) {
    FillGlossy(p, FlowerPath(c, r * 0.55, r * 0.5, 5, turn), colour, 1.5, false);
    QPainterPath heart;
    heart.addEllipse(c, r * 0.28, r * 0.28);
    FillGlossy(p, heart, QColor(250, 210, 70), 1, false);
}

FrameArt FloralCorners() {
    QImage canvas = NewCanvas(kWide, kTall);
    QPainter p(&canvas);
    PreparePainter(p);
    const double b = 16;
    const QRectF window(b, b, kWide - 2 * b, kTall - 2 * b);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(252, 248, 240));
    p.drawPath(Band(kWide, kTall, b));
    p.setPen(QPen(QColor(200, 160, 170), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(5.5, 5.5, kWide - 11, kTall - 11));
    InnerShadow(p, window, 5, 60);
    const QColor leaf(96, 160, 86);
    for (int corner = 0; corner < 4; ++corner) {
        p.save();
        p.translate(corner % 2 ? kWide : 0, corner / 2 ? kTall : 0);
        p.scale(corner % 2 ? -1 : 1, corner / 2 ? -1 : 1);
        FillGlossy(p, LeafPath(QPointF(30, 30), QPointF(150, 40), 16), leaf, 1.2, false);
        FillGlossy(p, LeafPath(QPointF(30, 30), QPointF(42, 130), 15), leaf, 1.2, false);
        FillGlossy(p, LeafPath(QPointF(40, 40), QPointF(110, 96), 13), Lighter(leaf, 0.15), 1.2,
                   false);
        Blossom(p, QPointF(40, 38), 30, QColor(244, 130, 160), 0);
        Blossom(p, QPointF(92, 26), 19, QColor(250, 180, 200), 20);
        Blossom(p, QPointF(26, 90), 19, QColor(250, 180, 200), 40);
        Blossom(p, QPointF(82, 76), 13, QColor(255, 236, 240), 10);
        p.restore();
    }
    p.end();
    return Make(canvas, window);
}

FrameArt Stitched() {
    QImage canvas = NewCanvas(kWide, kTall);
    const double b = 40;
    const QRectF window(b, b, kWide - 2 * b, kTall - 2 * b);
    PaintPixels(canvas, [&](int x, int y) -> QColor {
        const int edge = std::min({x, y, kWide - 1 - x, kTall - 1 - y});
        if (edge >= b)
            return QColor(0, 0, 0, 0);
        // Denim twill: diagonal ribs with a fibre noise.
        const double rib = std::sin((x + y) * 1.25) * 0.5 + 0.5;
        const double fibre = HashNoise(x, y, 31);
        const double t = 0.55 * rib + 0.3 * fibre + 0.15 * ValueNoise(x, y, 20, 32);
        QColor c = Mix(QColor(70, 104, 150), QColor(42, 66, 104), t);
        const double roll = SmoothStep(0, 6, edge) * SmoothStep(0, 6, b - edge);
        return Darker(c, (1 - roll) * 0.35);
    });
    QPainter p(&canvas);
    PreparePainter(p);
    QPen stitch(QColor(236, 176, 70), 2.2, Qt::CustomDashLine, Qt::RoundCap);
    stitch.setDashPattern({3.0, 2.2});
    p.setPen(stitch);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(9, 9, kWide - 18, kTall - 18));
    p.drawRect(window.adjusted(-9, -9, 9, 9));
    InnerShadow(p, window, 7, 90);
    p.end();
    return Make(canvas, window);
}

FrameArt DoubleLine() {
    QImage canvas = NewCanvas(kWide, kTall);
    QPainter p(&canvas);
    PreparePainter(p);
    const double b = 48;
    const QRectF window(b, b, kWide - 2 * b, kTall - 2 * b);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(246, 242, 232));
    p.drawPath(Band(kWide, kTall, b));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 40, 46), 3));
    p.drawRect(QRectF(1.5, 1.5, kWide - 3, kTall - 3));
    p.setPen(QPen(QColor(40, 40, 46), 1.5));
    p.drawRect(QRectF(12, 12, kWide - 24, kTall - 24));
    p.drawRect(window.adjusted(-12, -12, 12, 12));
    p.setPen(QPen(QColor(190, 150, 70), 1.5));
    p.drawRect(window.adjusted(-6, -6, 6, 6));
    // The bevelled cut of the mat.
    p.setPen(QPen(QColor(255, 255, 255), 2));
    p.drawLine(window.bottomLeft() + QPointF(-1, 1), window.bottomRight() + QPointF(1, 1));
    p.drawLine(window.topRight() + QPointF(1, -1), window.bottomRight() + QPointF(1, 1));
    p.setPen(QPen(QColor(196, 190, 176), 2));
    p.drawLine(window.topLeft() + QPointF(-1, -1), window.topRight() + QPointF(1, -1));
    p.drawLine(window.topLeft() + QPointF(-1, -1), window.bottomLeft() + QPointF(-1, 1));
    p.end();
    return Make(canvas, window);
}

FrameArt Vintage() {
    QImage canvas = NewCanvas(kWide, kTall);
    QPainter p(&canvas);
    PreparePainter(p);
    const double b = 50;
    const QRectF window(b, b, kWide - 2 * b, kTall - 2 * b);
    // A scalloped card.
    QPainterPath card;
    card.addRect(QRectF(8, 8, kWide - 16, kTall - 16));
    for (double x = 8; x <= kWide - 8; x += 16) {
        card.addEllipse(QPointF(x, 8), 8, 8);
        card.addEllipse(QPointF(x, kTall - 8), 8, 8);
    }
    for (double y = 8; y <= kTall - 8; y += 16) {
        card.addEllipse(QPointF(8, y), 8, 8);
        card.addEllipse(QPointF(kWide - 8, y), 8, 8);
    }
    card = card.simplified();
    QPainterPath opening;
    const double cut = 16;
    opening.moveTo(window.left() + cut, window.top());
    opening.lineTo(window.right() - cut, window.top());
    opening.lineTo(window.right(), window.top() + cut);
    opening.lineTo(window.right(), window.bottom() - cut);
    opening.lineTo(window.right() - cut, window.bottom());
    opening.lineTo(window.left() + cut, window.bottom());
    opening.lineTo(window.left(), window.bottom() - cut);
    opening.lineTo(window.left(), window.top() + cut);
    opening.closeSubpath();
    const QPainterPath mat = card.subtracted(opening);
    QRadialGradient g(QPointF(kWide / 2.0, kTall / 2.0), kWide * 0.62);
    g.setColorAt(0.6, QColor(236, 220, 188));
    g.setColorAt(1.0, QColor(196, 164, 118));
    p.setPen(QPen(QColor(120, 86, 52), 1.5));
    p.setBrush(g);
    p.drawPath(mat);
    // Flourishes in the corners.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(100, 66, 36), 2, Qt::SolidLine, Qt::RoundCap));
    for (int corner = 0; corner < 4; ++corner) {
        p.save();
        p.translate(corner % 2 ? kWide : 0, corner / 2 ? kTall : 0);
        p.scale(corner % 2 ? -1 : 1, corner / 2 ? -1 : 1);
        QPainterPath curl;
        curl.moveTo(24, 110);
        curl.cubicTo(24, 50, 40, 24, 110, 24);
        curl.moveTo(34, 76);
        curl.cubicTo(34, 44, 44, 34, 76, 34);
        curl.moveTo(24, 110);
        curl.cubicTo(24, 126, 40, 126, 40, 114);
        curl.cubicTo(40, 106, 30, 106, 32, 114);
        curl.moveTo(110, 24);
        curl.cubicTo(126, 24, 126, 40, 114, 40);
        curl.cubicTo(106, 40, 106, 30, 114, 32);
        p.drawPath(curl);
        p.setBrush(QColor(100, 66, 36));
        p.drawPath(FlowerPath(QPointF(30, 30), 4, 3.4, 4, 45));
        p.setBrush(Qt::NoBrush);
        p.restore();
    }
    p.setPen(QPen(QColor(120, 86, 52), 1.2));
    p.drawPath(opening);
    p.setClipPath(opening);
    p.setPen(Qt::NoPen);
    QRadialGradient vignette(window.center(), window.width() * 0.62);
    vignette.setColorAt(0.72, QColor(60, 40, 20, 0));
    vignette.setColorAt(1.0, QColor(60, 40, 20, 110));
    p.setBrush(vignette);
    p.drawRect(window);
    p.end();
    return Make(canvas, window);
}

FrameArt Hearts() {
    QImage canvas = NewCanvas(kWide, kTall);
    QPainter p(&canvas);
    PreparePainter(p);
    const double b = 44;
    const QRectF window(b, b, kWide - 2 * b, kTall - 2 * b);
    QPainterPath border;
    border.addRoundedRect(QRectF(0, 0, kWide, kTall), 20, 20);
    QPainterPath opening;
    opening.addRoundedRect(window, 24, 24);
    border = border.subtracted(opening);
    p.setPen(QPen(QColor(214, 80, 130), 2));
    p.setBrush(QColor(250, 160, 196));
    p.drawPath(border);
    p.setClipPath(border);
    int i = 0;
    auto heartAt = [&](QPointF c) {
        const double s = (i % 2 ? 15 : 20);
        const QColor colour = i % 3 == 0 ? QColor(255, 255, 255) : QColor(226, 48, 90);
        FillGlossy(p, HeartPath(QRectF(c.x() - s / 2, c.y() - s / 2, s, s * 0.92)), colour, 1,
                   false);
        ++i;
    };
    for (double x = 24; x < kWide; x += 34) {
        heartAt(QPointF(x, 22));
        heartAt(QPointF(x + 17, kTall - 22));
    }
    for (double y = 56; y < kTall - 40; y += 34) {
        heartAt(QPointF(22, y));
        heartAt(QPointF(kWide - 22, y + 17));
    }
    p.setClipping(false);
    p.setPen(QPen(QColor(255, 255, 255), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(opening);
    p.end();
    return Make(canvas, window);
}

FrameArt Snowy() {
    QImage canvas = NewCanvas(kWide, kTall);
    const double b = 46;
    const QRectF window(b, b, kWide - 2 * b, kTall - 2 * b);
    PaintPixels(canvas, [&](int x, int y) -> QColor {
        const int edge = std::min({x, y, kWide - 1 - x, kTall - 1 - y});
        if (edge >= b)
            return QColor(0, 0, 0, 0);
        const double t = double(y) / kTall;
        return Mix(QColor(40, 90, 160), QColor(24, 54, 110), t);
    });
    QPainter p(&canvas);
    PreparePainter(p);
    p.setClipPath(Band(kWide, kTall, b));
    int i = 0;
    auto flake = [&](QPointF c) {
        const double r = 9 + HashNoise(i, 0, 91) * 9;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 200 + (i % 3) * 25));
        p.drawPath(SnowflakePath(c, r, r * 0.2));
        ++i;
    };
    for (double x = 26; x < kWide; x += 46) {
        flake(QPointF(x, 23 + (i % 2) * 4));
        flake(QPointF(x + 20, kTall - 23 - (i % 2) * 4));
    }
    for (double y = 70; y < kTall - 50; y += 46) {
        flake(QPointF(23, y));
        flake(QPointF(kWide - 23, y + 20));
    }
    p.setClipping(false);
    // Snow lying on the lower edge of the opening.
    QPainterPath drift;
    drift.moveTo(window.left(), window.bottom());
    for (double x = window.left(); x <= window.right(); x += 40)
        drift.quadTo(x + 20, window.bottom() - 10 - HashNoise(int(x), 1, 92) * 6, x + 40,
                     window.bottom());
    drift.lineTo(window.right(), window.bottom() + 12);
    drift.lineTo(window.left(), window.bottom() + 12);
    drift.closeSubpath();
    p.setPen(QPen(QColor(190, 210, 235), 1.2));
    p.setBrush(QColor(250, 252, 255));
    p.drawPath(drift);
    p.setPen(QPen(QColor(220, 232, 250), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(window.adjusted(-1, -1, 1, 1));
    p.end();
    return Make(canvas, window);
}

} // namespace

std::vector<FrameArt> DrawFrames() {
    return {Wood(),          Gilded(),   Polaroid(),   FilmStrip(), RoundedWhite(), TornPaper(),
            FloralCorners(), Stitched(), DoubleLine(), Vintage(),   Hearts(),       Snowy()};
}

} // namespace mosaiq::libgen
