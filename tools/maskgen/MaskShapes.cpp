#include "MaskShapes.h"

#include <QPainter>
#include <QPainterPath>
#include <QUuid>

#include <cmath>
#include <cstdint>

namespace maskgen {
namespace {

constexpr double kPi = 3.14159265358979323846;

// A small deterministic generator (the same numbers on every machine and every run), used for
// the irregular edges.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : m_state(seed) {}
    // A number in [0, 1).
    double Next() {
        m_state = m_state * 1664525u + 1013904223u;
        return double(m_state >> 8) / double(1u << 24);
    }
    double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }

private:
    std::uint32_t m_state;
};

// A white canvas with a black anti-aliased brush and no pen.
struct Canvas {
    QImage image;
    QPainter painter;
    Canvas(int w, int h) : image(w, h, QImage::Format_RGB32) {
        image.fill(Qt::white);
        painter.begin(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
    }
    QImage Finish() {
        painter.end();
        return image;
    }
};

QImage FillPath(int w, int h, const QPainterPath& path) {
    Canvas c(w, h);
    c.painter.drawPath(path);
    return c.Finish();
}

QPolygonF RegularPolygon(QPointF centre, double rx, double ry, int corners, double startDeg) {
    QPolygonF poly;
    for (int i = 0; i < corners; ++i) {
        const double a = (startDeg + 360.0 * i / corners) * kPi / 180.0;
        poly << QPointF(centre.x() + rx * std::cos(a), centre.y() + ry * std::sin(a));
    }
    return poly;
}

QPolygonF Star(QPointF centre, double outer, double inner, int points) {
    QPolygonF poly;
    for (int i = 0; i < points * 2; ++i) {
        const double r = i % 2 ? inner : outer;
        const double a = (-90.0 + 180.0 * i / points) * kPi / 180.0;
        poly << QPointF(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
    }
    return poly;
}

// A polygon filled and outlined with a round-joined pen, which rounds its corners.
QImage RoundedPolygon(int w, int h, const QPolygonF& poly, double rounding) {
    Canvas c(w, h);
    c.painter.setPen(QPen(Qt::black, rounding, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    c.painter.drawPolygon(poly);
    return c.Finish();
}

// Three box blurs of radius r (close to a Gaussian); outside the picture counts as white, so
// shapes fade out towards the border.
void SoftenGrey(QImage& grey, int r) {
    const int w = grey.width();
    const int h = grey.height();
    std::vector<int> line;
    auto blurLine = [&](auto get, auto set, int n) {
        line.assign(size_t(n), 0);
        for (int i = 0; i < n; ++i)
            line[size_t(i)] = get(i);
        int sum = 0;
        for (int i = -r; i <= r; ++i)
            sum += (i < 0 || i >= n) ? 255 : line[size_t(i)];
        for (int i = 0; i < n; ++i) {
            set(i, (sum + r) / (2 * r + 1));
            const int out = i - r;
            const int in = i + r + 1;
            sum -= (out < 0) ? 255 : line[size_t(out)];
            sum += (in >= n) ? 255 : line[size_t(in)];
        }
    };
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            uchar* row = grey.scanLine(y);
            blurLine([row](int i) { return int(row[i]); },
                     [row](int i, int v) { row[i] = uchar(v); }, w);
        }
        for (int x = 0; x < w; ++x) {
            blurLine([&grey, x](int i) { return int(grey.constScanLine(i)[x]); },
                     [&grey, x](int i, int v) { grey.scanLine(i)[x] = uchar(v); }, h);
        }
    }
}

QImage Soft(QImage drawn, int radius) {
    QImage grey = drawn.convertToFormat(QImage::Format_Grayscale8);
    SoftenGrey(grey, radius);
    return grey;
}

// --- the shapes ---------------------------------------------------------------------------------

QImage Circle(int w, int h) {
    QPainterPath p;
    p.addEllipse(QRectF(0, 0, w, h).adjusted(8, 8, -8, -8));
    return FillPath(w, h, p);
}

QImage Ellipse(int w, int h) {
    return Circle(w, h);
}

QImage RoundedRect(int w, int h) {
    QPainterPath p;
    p.addRoundedRect(QRectF(0, 0, w, h).adjusted(8, 8, -8, -8), 72, 72);
    return FillPath(w, h, p);
}

QImage Heart(int w, int h) {
    QPainterPath p;
    const double x0 = w * 0.5;
    p.moveTo(x0, h * 0.26);
    p.cubicTo(w * 0.42, h * 0.06, w * 0.02, h * 0.04, w * 0.03, h * 0.34);
    p.cubicTo(w * 0.04, h * 0.58, w * 0.30, h * 0.72, x0, h * 0.97);
    p.cubicTo(w * 0.70, h * 0.72, w * 0.96, h * 0.58, w * 0.97, h * 0.34);
    p.cubicTo(w * 0.98, h * 0.04, w * 0.58, h * 0.06, x0, h * 0.26);
    return FillPath(w, h, p);
}

QImage Star5(int w, int h) {
    const double outer = std::min(w, h) * 0.5 - 14;
    return RoundedPolygon(w, h, Star(QPointF(w / 2.0, h * 0.53), outer, outer * 0.44, 5), 18);
}

QImage Star6(int w, int h) {
    const double outer = std::min(w, h) * 0.5 - 14;
    return RoundedPolygon(w, h, Star(QPointF(w / 2.0, h / 2.0), outer, outer * 0.58, 6), 18);
}

QImage Diamond(int w, int h) {
    return RoundedPolygon(
        w, h, RegularPolygon(QPointF(w / 2.0, h / 2.0), w / 2.0 - 16, h / 2.0 - 16, 4, -90), 20);
}

QImage Hexagon(int w, int h) {
    return RoundedPolygon(
        w, h, RegularPolygon(QPointF(w / 2.0, h / 2.0), w / 2.0 - 14, h / 2.0 - 14, 6, 0), 16);
}

QImage Octagon(int w, int h) {
    return RoundedPolygon(
        w, h, RegularPolygon(QPointF(w / 2.0, h / 2.0), w / 2.0 - 14, h / 2.0 - 14, 8, 22.5), 16);
}

QImage Cloud(int w, int h) {
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    p.addRoundedRect(QRectF(w * 0.10, h * 0.45, w * 0.80, h * 0.42), h * 0.21, h * 0.21);
    const struct {
        double x, y, r;
    } puffs[] = {{0.22, 0.58, 0.20},
                 {0.38, 0.40, 0.25},
                 {0.60, 0.34, 0.30},
                 {0.78, 0.54, 0.21},
                 {0.50, 0.62, 0.22}};
    for (const auto& c : puffs)
        p.addEllipse(QPointF(w * c.x, h * c.y), h * c.r * 1.05, h * c.r);
    return FillPath(w, h, p.simplified());
}

QImage SoftOval(int w, int h) {
    Canvas c(w, h);
    c.painter.drawEllipse(QRectF(0, 0, w, h).adjusted(w * 0.13, h * 0.13, -w * 0.13, -h * 0.13));
    return Soft(c.Finish(), 26);
}

QImage SoftRect(int w, int h) {
    Canvas c(w, h);
    c.painter.drawRect(QRectF(0, 0, w, h).adjusted(w * 0.1, w * 0.1, -w * 0.1, -w * 0.1));
    return Soft(c.Finish(), 20);
}

// Walks the border of an inset rectangle with a wobble of up to depth pixels, steps apart.
QPolygonF RoughRect(QRectF r, double depth, double step, Lcg& rng) {
    QPolygonF poly;
    const QPointF corners[] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    for (int side = 0; side < 4; ++side) {
        const QPointF a = corners[side];
        const QPointF b = corners[(side + 1) % 4];
        const QPointF d = b - a;
        const double length = std::hypot(d.x(), d.y());
        const QPointF inward(-d.y() / length, d.x() / length);
        const int n = int(length / step);
        double slow = 0;
        for (int i = 0; i < n; ++i) {
            // A slow drift for the tear's course and a small jitter for its fibres.
            slow = 0.9 * slow + 0.1 * rng.Range(-1, 1);
            const double off = depth * (0.5 + 2.5 * slow) + rng.Range(-3, 3);
            poly << a + d * (double(i) / n) + inward * off;
        }
    }
    return poly;
}

QImage TornPaper(int w, int h) {
    Lcg rng(20240607u);
    Canvas c(w, h);
    c.painter.drawPolygon(RoughRect(QRectF(0, 0, w, h).adjusted(6, 6, -6, -6), 26, 4, rng));
    return c.Finish();
}

QImage BrushedEdges(int w, int h) {
    Lcg rng(7331u);
    Canvas c(w, h);
    // Horizontal strokes of a dry brush: each row starts and ends a little differently.
    const double band = 9;
    for (double y = h * 0.08; y < h * 0.92; y += band * 0.6) {
        const double x0 = w * 0.06 + rng.Range(0, w * 0.07);
        const double x1 = w * 0.94 - rng.Range(0, w * 0.07);
        const double thick = rng.Range(band * 0.8, band * 1.6);
        c.painter.setPen(QPen(Qt::black, thick, Qt::SolidLine, Qt::RoundCap));
        c.painter.drawLine(QPointF(x0, y), QPointF(x1, y + rng.Range(-3, 3)));
    }
    // A solid core so the photo is whole inside.
    c.painter.setPen(Qt::NoPen);
    c.painter.drawRect(QRectF(w * 0.14, h * 0.12, w * 0.72, h * 0.76));
    return c.Finish();
}

QImage FilmFrame(int w, int h) {
    QPainterPath strip;
    strip.addRoundedRect(QRectF(0, 0, w, h).adjusted(6, 6, -6, -6), 14, 14);
    QPainterPath holes;
    const double holeW = 26, holeH = 34, pitch = 52, margin = h * 0.16;
    for (double x = 30; x + holeW < w - 20; x += pitch) {
        holes.addRoundedRect(QRectF(x, (margin - holeH) / 2 + 4, holeW, holeH), 6, 6);
        holes.addRoundedRect(QRectF(x, h - (margin + holeH) / 2 - 4, holeW, holeH), 6, 6);
    }
    // Thin gaps separate the picture window from the perforated edges.
    QPainterPath gaps;
    gaps.addRect(QRectF(6, margin, w - 12, 8));
    gaps.addRect(QRectF(6, h - margin - 8, w - 12, 8));
    return FillPath(w, h, strip.subtracted(holes).subtracted(gaps));
}

QImage PuzzlePiece(int w, int h) {
    const QRectF body(w * 0.17, h * 0.17, w * 0.66, h * 0.66);
    const double r = w * 0.12;
    QPainterPath p;
    p.addRoundedRect(body, 10, 10);
    QPainterPath knobs;
    knobs.addEllipse(QPointF(body.center().x(), body.top() - r * 0.55), r, r);
    knobs.addEllipse(QPointF(body.right() + r * 0.55, body.center().y()), r, r);
    QPainterPath sockets;
    sockets.addEllipse(QPointF(body.left() + r * 0.45, body.center().y()), r, r);
    sockets.addEllipse(QPointF(body.center().x(), body.bottom() - r * 0.45), r, r);
    return FillPath(w, h, p.united(knobs).subtracted(sockets));
}

QImage Arch(int w, int h) {
    QPainterPath p;
    const QRectF r = QRectF(0, 0, w, h).adjusted(10, 10, -10, -10);
    p.moveTo(r.left(), r.bottom());
    p.lineTo(r.left(), r.top() + r.width() / 2);
    p.arcTo(QRectF(r.left(), r.top(), r.width(), r.width()), 180, -180);
    p.lineTo(r.right(), r.bottom());
    p.closeSubpath();
    return FillPath(w, h, p);
}

QImage SpeechBubble(int w, int h) {
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    p.addRoundedRect(QRectF(10, 10, w - 20, h * 0.76), 90, 90);
    QPolygonF tail;
    tail << QPointF(w * 0.22, h * 0.70) << QPointF(w * 0.40, h * 0.74)
         << QPointF(w * 0.12, h * 0.98);
    p.addPolygon(tail);
    return FillPath(w, h, p.simplified());
}

QImage Flower(int w, int h) {
    Canvas c(w, h);
    const QPointF centre(w / 2.0, h / 2.0);
    const double petal = std::min(w, h) * 0.25;
    for (int i = 0; i < 8; ++i) {
        c.painter.save();
        c.painter.translate(centre);
        c.painter.rotate(45.0 * i);
        c.painter.drawEllipse(QPointF(0, -petal), petal * 0.62, petal * 0.98);
        c.painter.restore();
    }
    c.painter.drawEllipse(centre, petal * 0.9, petal * 0.9);
    return c.Finish();
}

QImage Butterfly(int w, int h) {
    Canvas c(w, h);
    const QPointF centre(w / 2.0, h * 0.5);
    auto wing = [&](double angle, double rx, double ry, double dist) {
        c.painter.save();
        c.painter.translate(centre);
        c.painter.rotate(angle);
        c.painter.drawEllipse(QPointF(dist, 0), rx, ry);
        c.painter.restore();
    };
    for (int side : {-1, 1}) {
        const double mirror = side < 0 ? 180.0 : 0.0;
        wing(mirror - side * 32.0, w * 0.22, h * 0.25, w * 0.22);
        wing(mirror + side * 40.0, w * 0.15, h * 0.17, w * 0.17);
    }
    c.painter.drawRoundedRect(QRectF(w / 2.0 - 12, h * 0.22, 24, h * 0.58), 12, 12);
    c.painter.setPen(QPen(Qt::black, 6, Qt::SolidLine, Qt::RoundCap));
    c.painter.drawLine(QPointF(w / 2.0 - 4, h * 0.24), QPointF(w * 0.42, h * 0.06));
    c.painter.drawLine(QPointF(w / 2.0 + 4, h * 0.24), QPointF(w * 0.58, h * 0.06));
    return c.Finish();
}

QImage Stamp(int w, int h) {
    const QRectF r = QRectF(0, 0, w, h).adjusted(14, 14, -14, -14);
    QPainterPath p;
    p.addRect(r);
    QPainterPath bites;
    const double rad = 13;
    const int nx = int(r.width() / 38);
    const int ny = int(r.height() / 38);
    for (int i = 0; i <= nx; ++i) {
        const double x = r.left() + r.width() * i / nx;
        bites.addEllipse(QPointF(x, r.top()), rad, rad);
        bites.addEllipse(QPointF(x, r.bottom()), rad, rad);
    }
    for (int i = 1; i < ny; ++i) {
        const double y = r.top() + r.height() * i / ny;
        bites.addEllipse(QPointF(r.left(), y), rad, rad);
        bites.addEllipse(QPointF(r.right(), y), rad, rad);
    }
    return FillPath(w, h, p.subtracted(bites));
}

QImage Triangle(int w, int h) {
    QPolygonF poly;
    poly << QPointF(w / 2.0, 26) << QPointF(w - 22, h - 20) << QPointF(22, h - 20);
    return RoundedPolygon(w, h, poly, 30);
}

QImage WaveBorder(int w, int h) {
    QPolygonF poly;
    const double amp = 14;
    const double inset = 26;
    const int waves = 7;
    for (int x = 0; x <= w - 2 * int(inset); x += 2)
        poly << QPointF(inset + x, inset + amp * std::sin(2 * kPi * waves * x / (w - 2 * inset)));
    for (int y = 0; y <= h - 2 * int(inset); y += 2)
        poly << QPointF(w - inset + amp * std::sin(2 * kPi * 5 * y / (h - 2 * inset)), inset + y);
    for (int x = w - 2 * int(inset); x >= 0; x -= 2)
        poly << QPointF(inset + x,
                        h - inset + amp * std::sin(2 * kPi * waves * x / (w - 2 * inset)));
    for (int y = h - 2 * int(inset); y >= 0; y -= 2)
        poly << QPointF(inset + amp * std::sin(2 * kPi * 5 * y / (h - 2 * inset)), inset + y);
    Canvas c(w, h);
    c.painter.drawPolygon(poly);
    return c.Finish();
}

QImage Splash(int w, int h) {
    Lcg rng(4242u);
    Canvas c(w, h);
    const QPointF centre(w / 2.0, h / 2.0);
    const double base = std::min(w, h) * 0.33;
    // A blob whose radius swells into a dozen irregular spikes.
    double phase[4];
    for (double& p : phase)
        p = rng.Range(0, 2 * kPi);
    QPolygonF blob;
    for (int i = 0; i < 720; ++i) {
        const double a = 2 * kPi * i / 720;
        const double spikes = std::pow(std::max(0.0, std::sin(13 * a + phase[0])), 6.0);
        const double r =
            base * (1 + 0.06 * std::sin(3 * a + phase[1]) + 0.05 * std::sin(5 * a + phase[2]) +
                    0.22 * spikes * (0.6 + 0.4 * std::sin(7 * a + phase[3])));
        blob << centre + QPointF(r * std::cos(a), r * std::sin(a));
    }
    c.painter.drawPolygon(blob);
    for (int i = 0; i < 14; ++i) {
        const double a = rng.Range(0, 2 * kPi);
        const double d = base * rng.Range(1.25, 1.42);
        const double r = rng.Range(5, 17);
        c.painter.drawEllipse(centre + QPointF(d * std::cos(a), d * std::sin(a)), r, r);
    }
    return c.Finish();
}

QImage Ticket(int w, int h) {
    const QRectF r = QRectF(0, 0, w, h).adjusted(8, 8, -8, -8);
    QPainterPath p;
    p.addRect(r);
    QPainterPath bites;
    const double corner = 34, side = 30;
    for (const QPointF& pt : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
        bites.addEllipse(pt, corner, corner);
    bites.addEllipse(QPointF(r.left(), r.center().y()), side, side);
    bites.addEllipse(QPointF(r.right(), r.center().y()), side, side);
    // A perforated line across the stub.
    for (double y = r.top() + 40; y < r.bottom() - 30; y += 22)
        bites.addEllipse(QPointF(r.left() + r.width() * 0.74, y), 4, 4);
    return FillPath(w, h, p.subtracted(bites));
}

QImage Shield(int w, int h) {
    QPainterPath p;
    const double l = 14, r = w - 14, t = 14, b = h - 12;
    p.moveTo(w / 2.0, t);
    p.cubicTo(w * 0.68, t + 26, w * 0.84, t + 30, r, t + 20);
    p.cubicTo(r + 4, h * 0.45, w * 0.82, h * 0.78, w / 2.0, b);
    p.cubicTo(w * 0.18, h * 0.78, l - 4, h * 0.45, l, t + 20);
    p.cubicTo(w * 0.16, t + 30, w * 0.32, t + 26, w / 2.0, t);
    return FillPath(w, h, p);
}

QImage Bubbles(int w, int h) {
    Canvas c(w, h);
    const struct {
        double x, y, r;
    } bubbles[] = {{0.36, 0.46, 0.30}, {0.70, 0.38, 0.22}, {0.68, 0.76, 0.17},
                   {0.86, 0.66, 0.10}, {0.16, 0.80, 0.12}, {0.12, 0.20, 0.09},
                   {0.90, 0.16, 0.07}, {0.46, 0.86, 0.08}, {0.53, 0.14, 0.06}};
    for (const auto& b : bubbles)
        c.painter.drawEllipse(QPointF(w * b.x, h * b.y), h * b.r, h * b.r);
    return c.Finish();
}

QImage GiftTag(int w, int h) {
    QPolygonF poly;
    poly << QPointF(24, h / 2.0) << QPointF(w * 0.22, 22) << QPointF(w - 22, 22)
         << QPointF(w - 22, h - 22) << QPointF(w * 0.22, h - 22);
    QImage img = RoundedPolygon(w, h, poly, 28);
    QPainter painter(&img);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(w * 0.16, h / 2.0), 20, 20);
    painter.end();
    return img;
}

} // namespace

const std::vector<MaskShape>& BuiltinMaskShapes() {
    static const std::vector<MaskShape> kShapes = {
        {"circle", 600, 600, "{b2e49691-4ba8-464b-a090-20a2686fd02a}", Circle},
        {"ellipse", 720, 540, "{2dbbd9d2-f9cf-48f3-a3ce-fbf30e55c9fd}", Ellipse},
        {"rounded rectangle", 720, 540, "{3fba082a-209a-4967-8c0c-755da42b888f}", RoundedRect},
        {"heart", 640, 600, "{bfab1431-bc31-4c35-ab20-08367bb4c825}", Heart},
        {"five-point star", 640, 620, "{24e3e913-7157-4a0a-8cee-4290a10abe43}", Star5},
        {"six-point star", 620, 620, "{e86ca513-193f-4f6f-bc68-2dfc6d7eb585}", Star6},
        {"diamond", 540, 720, "{21480681-d5a7-4abc-a057-03a9c45373ba}", Diamond},
        {"hexagon", 640, 560, "{23698ba6-0713-4e3b-924d-b6b5d8c8f579}", Hexagon},
        {"octagon", 600, 600, "{6a028647-fa04-48a3-bc61-38b6c6d2744e}", Octagon},
        {"cloud", 760, 520, "{ef79c410-edc7-443f-8cb2-0ec129220c37}", Cloud},
        {"soft oval", 720, 540, "{bd645ed8-4718-47af-ba23-7d13b0572187}", SoftOval},
        {"soft rectangle", 720, 540, "{0769312c-09c0-4970-8177-47b62ae4c42b}", SoftRect},
        {"torn paper", 720, 540, "{f9aa574b-5287-4749-9edf-5bd48005ac06}", TornPaper},
        {"brushed edges", 720, 540, "{f5d12afe-bd53-4022-af50-caaef3d73e4d}", BrushedEdges},
        {"film frame", 800, 520, "{de009a64-f797-40e1-a7af-7293457f205a}", FilmFrame},
        {"puzzle piece", 600, 600, "{b472ff8e-53b5-4f2f-9100-f94852b5427f}", PuzzlePiece},
        {"arch", 540, 720, "{624e3c0d-5d11-4592-8465-a5624420c868}", Arch},
        {"speech bubble", 720, 560, "{484fbbfc-cb77-452e-9b71-80d6d95fe111}", SpeechBubble},
        {"flower", 640, 640, "{ec224520-4110-4243-b689-50142b32d9ff}", Flower},
        {"butterfly", 720, 560, "{a762edc6-0b55-4c7c-8857-fc0e719ee723}", Butterfly},
        {"stamp", 600, 720, "{85f36466-e002-43c3-acd5-1d9cb86db94c}", Stamp},
        {"triangle", 640, 560, "{48ff22f7-53c6-4f96-ae9e-3458b2246f55}", Triangle},
        {"wave border", 720, 540, "{4e2ee6d9-ab59-46a3-898c-e6f036f36e02}", WaveBorder},
        {"splash", 640, 640, "{18bd70ad-6cd1-4756-b629-e76e02b7a5c3}", Splash},
        {"ticket", 760, 380, "{33c26b25-3cd2-408f-8e3a-2a00bb5e6768}", Ticket},
        {"shield", 560, 680, "{ad253034-2fb1-4f44-8c70-7219fd8c2781}", Shield},
        {"bubbles", 720, 540, "{008bed23-6dce-478c-b15c-ef69a53416e6}", Bubbles},
        {"gift tag", 720, 400, "{892887e5-7681-4636-a647-639736ae6e8c}", GiftTag},
    };
    return kShapes;
}

QImage DrawMask(const MaskShape& shape) {
    return shape.draw(shape.width, shape.height).convertToFormat(QImage::Format_Grayscale8);
}

QByteArray KeyBytes(const MaskShape& shape) {
    const QUuid u(QString::fromLatin1(shape.key));
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b.append(char((u.data1 >> (8 * i)) & 0xFF));
    b.append(char(u.data2 & 0xFF)).append(char(u.data2 >> 8));
    b.append(char(u.data3 & 0xFF)).append(char(u.data3 >> 8));
    b.append(reinterpret_cast<const char*>(u.data4), 8);
    return b;
}

} // namespace maskgen
