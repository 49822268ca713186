#include "DrawKit.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace mosaiq::libgen {

QImage NewCanvas(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void PreparePainter(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QImage Finished(const QImage& canvas) {
    return canvas.convertToFormat(QImage::Format_ARGB32);
}

QPainterPath HeartPath(const QRectF& r) {
    const double x = r.x();
    const double y = r.y();
    const double w = r.width();
    const double h = r.height();
    QPainterPath path;
    path.moveTo(x + w * 0.5, y + h * 0.28);
    path.cubicTo(x + w * 0.5, y + h * 0.05, x + w * 0.92, y - h * 0.04, x + w * 0.99, y + h * 0.27);
    path.cubicTo(x + w * 1.05, y + h * 0.52, x + w * 0.72, y + h * 0.70, x + w * 0.5, y + h);
    path.cubicTo(x + w * 0.28, y + h * 0.70, x - w * 0.05, y + h * 0.52, x + w * 0.01,
                 y + h * 0.27);
    path.cubicTo(x + w * 0.08, y - h * 0.04, x + w * 0.5, y + h * 0.05, x + w * 0.5, y + h * 0.28);
    path.closeSubpath();
    return path;
}

QPainterPath StarPath(QPointF c, double outer, double inner, int points, double rotationDeg) {
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double a = qDegreesToRadians(rotationDeg + 180.0 * i / points);
        const double r = (i % 2 == 0) ? outer : inner;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

QPainterPath PolygonPath(QPointF c, double radius, int sides, double rotationDeg) {
    QPainterPath path;
    for (int i = 0; i < sides; ++i) {
        const double a = qDegreesToRadians(rotationDeg + 360.0 * i / sides);
        const QPointF pt(c.x() + radius * std::cos(a), c.y() + radius * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

QPainterPath FlowerPath(QPointF c, double r, double petalR, int petals, double rotationDeg) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (int i = 0; i < petals; ++i) {
        const double a = qDegreesToRadians(rotationDeg + 360.0 * i / petals);
        path.addEllipse(QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a)), petalR, petalR);
    }
    path.addEllipse(c, r, r);
    return path.simplified();
}

QPainterPath CrescentPath(QPointF c, double r, double cut) {
    QPainterPath outer;
    outer.addEllipse(c, r, r);
    QPainterPath bite;
    bite.addEllipse(QPointF(c.x() + cut, c.y() - cut * 0.35), r * 0.86, r * 0.86);
    return outer.subtracted(bite);
}

QPainterPath LeafPath(QPointF base, QPointF tip, double width) {
    const QPointF d = tip - base;
    const double len = std::hypot(d.x(), d.y());
    const QPointF n(-d.y() / len * width, d.x() / len * width);
    QPainterPath path;
    path.moveTo(base);
    path.cubicTo(base + d * 0.25 + n, base + d * 0.7 + n * 0.9, tip);
    path.cubicTo(base + d * 0.7 - n * 0.9, base + d * 0.25 - n, base);
    path.closeSubpath();
    return path;
}

QPainterPath ArrowPath(const QRectF& r) {
    const double x = r.x();
    const double y = r.y();
    const double w = r.width();
    const double h = r.height();
    QPainterPath path;
    path.moveTo(x, y + h * 0.32);
    path.lineTo(x + w * 0.56, y + h * 0.32);
    path.lineTo(x + w * 0.56, y);
    path.lineTo(x + w, y + h * 0.5);
    path.lineTo(x + w * 0.56, y + h);
    path.lineTo(x + w * 0.56, y + h * 0.68);
    path.lineTo(x, y + h * 0.68);
    path.closeSubpath();
    return path;
}

QPainterPath CloudPath(const QRectF& r) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const double w = r.width();
    const double h = r.height();
    const double x = r.x();
    const double y = r.y();
    path.addRoundedRect(QRectF(x + w * 0.08, y + h * 0.45, w * 0.84, h * 0.5), h * 0.25, h * 0.25);
    path.addEllipse(QRectF(x + w * 0.12, y + h * 0.30, w * 0.34, h * 0.5));
    path.addEllipse(QRectF(x + w * 0.32, y + h * 0.05, w * 0.40, h * 0.62));
    path.addEllipse(QRectF(x + w * 0.58, y + h * 0.25, w * 0.32, h * 0.5));
    return path.simplified();
}

QPainterPath DropPath(QPointF tip, double radius, double length, double angleDeg) {
    QPainterPath path;
    path.moveTo(0, 0);
    path.cubicTo(radius * 0.2, length * 0.35, radius * 1.05, length - radius * 1.4, radius * 1.0,
                 length - radius);
    path.arcTo(QRectF(-radius, length - 2 * radius, 2 * radius, 2 * radius), 0, -180);
    path.cubicTo(-radius * 1.05, length - radius * 1.4, -radius * 0.2, length * 0.35, 0, 0);
    path.closeSubpath();
    QTransform t;
    t.translate(tip.x(), tip.y());
    t.rotate(angleDeg);
    return t.map(path);
}

QPainterPath SnowflakePath(QPointF c, double radius, double lineWidth) {
    QPainterPath lines;
    for (int i = 0; i < 6; ++i) {
        const double a = qDegreesToRadians(60.0 * i - 90.0);
        const QPointF dir(std::cos(a), std::sin(a));
        lines.moveTo(c);
        lines.lineTo(c + dir * radius);
        for (double at : {0.45, 0.72}) {
            const QPointF from = c + dir * (radius * at);
            const double len = radius * (at < 0.5 ? 0.28 : 0.2);
            for (double side : {-1.0, 1.0}) {
                const double b = a + side * qDegreesToRadians(45.0);
                lines.moveTo(from);
                lines.lineTo(from + QPointF(std::cos(b), std::sin(b)) * len);
            }
        }
    }
    QPainterPathStroker stroker;
    stroker.setWidth(lineWidth);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    QPainterPath hub;
    hub.addEllipse(c, lineWidth * 1.3, lineWidth * 1.3);
    return stroker.createStroke(lines).united(hub).simplified();
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    auto lerp = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

QColor Lighter(const QColor& c, double t) {
    return Mix(c, QColor(255, 255, 255, c.alpha()), t);
}
QColor Darker(const QColor& c, double t) {
    return Mix(c, QColor(0, 0, 0, c.alpha()), t);
}

void FillGlossy(QPainter& p, const QPainterPath& path, const QColor& base, double outline,
                bool gloss) {
    const QRectF b = path.boundingRect();
    QRadialGradient g(b.left() + b.width() * 0.35, b.top() + b.height() * 0.3,
                      std::max(b.width(), b.height()) * 0.85);
    g.setColorAt(0.0, Lighter(base, 0.35));
    g.setColorAt(0.55, base);
    g.setColorAt(1.0, Darker(base, 0.3));
    p.save();
    p.setPen(outline > 0
                 ? QPen(Darker(base, 0.45), outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                 : QPen(Qt::NoPen));
    p.setBrush(g);
    p.drawPath(path);
    if (gloss) {
        p.setClipPath(path);
        QRectF shine(b.left() + b.width() * 0.18, b.top() + b.height() * 0.1, b.width() * 0.3,
                     b.height() * 0.2);
        QRadialGradient s(shine.center(), shine.width() * 0.6);
        s.setColorAt(0.0, QColor(255, 255, 255, 170));
        s.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(s);
        p.drawEllipse(shine);
    }
    p.restore();
}

void DropShadow(QPainter& p, const QPainterPath& path, double dx, double dy, int alpha) {
    p.save();
    p.setPen(Qt::NoPen);
    p.translate(dx, dy);
    for (int i = 3; i >= 1; --i) {
        p.setPen(
            QPen(QColor(0, 0, 0, alpha / 4), i * 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, alpha));
    p.drawPath(path);
    p.restore();
}

double HashNoise(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= std::uint32_t(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= std::uint32_t(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return double(h >> 8) / double(1u << 24);
}

double ValueNoise(double x, double y, double cell, std::uint32_t seed) {
    const double fx = x / cell;
    const double fy = y / cell;
    const int ix = int(std::floor(fx));
    const int iy = int(std::floor(fy));
    const double tx = SmoothStep(0, 1, fx - ix);
    const double ty = SmoothStep(0, 1, fy - iy);
    const double a = HashNoise(ix, iy, seed);
    const double b = HashNoise(ix + 1, iy, seed);
    const double c = HashNoise(ix, iy + 1, seed);
    const double d = HashNoise(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

double SmoothStep(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

float Field::Get(int x, int y) const {
    return At(std::clamp(x, 0, w - 1), std::clamp(y, 0, h - 1));
}

Field Coverage(const QPainterPath& path, int w, int h) {
    QImage mask(w, h, QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(path);
    }
    Field f(w, h);
    for (int y = 0; y < h; ++y) {
        const uchar* row = mask.constScanLine(y);
        for (int x = 0; x < w; ++x)
            f.At(x, y) = row[x] / 255.0f;
    }
    return f;
}

namespace {

// Squared distance transform of one line: the lower envelope of the parabolas rooted at every
// sample (far samples carry a large finite value, so no infinities enter the arithmetic).
void DistanceLine(const std::vector<float>& f, std::vector<float>& d, std::vector<int>& v,
                  std::vector<float>& z) {
    const int n = int(f.size());
    const float big = 1e20f;
    int k = 0;
    v[0] = 0;
    z[0] = -big;
    z[1] = big;
    auto cross = [&f](int q, int p) {
        return ((f[size_t(q)] + float(q) * float(q)) - (f[size_t(p)] + float(p) * float(p))) /
               (2.0f * float(q - p));
    };
    for (int q = 1; q < n; ++q) {
        float s = cross(q, v[size_t(k)]);
        while (k > 0 && s <= z[size_t(k)]) {
            --k;
            s = cross(q, v[size_t(k)]);
        }
        ++k;
        v[size_t(k)] = q;
        z[size_t(k)] = s;
        z[size_t(k) + 1] = big;
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[size_t(k) + 1] < float(q))
            ++k;
        const int p = v[size_t(k)];
        d[size_t(q)] = float(q - p) * float(q - p) + f[size_t(p)];
    }
}

// Distance of every pixel to the nearest pixel where target(coverage) holds.
template <typename Pred> Field DistanceTo(const Field& coverage, Pred target) {
    const float far = 1e9f;
    const int w = coverage.w;
    const int h = coverage.h;
    Field sq(w, h);
    for (size_t i = 0; i < sq.v.size(); ++i)
        sq.v[i] = target(coverage.v[i]) ? 0.0f : far;
    const int n = std::max(w, h);
    std::vector<float> f, d, z(size_t(n) + 1);
    std::vector<int> v(static_cast<size_t>(n));
    for (int x = 0; x < w; ++x) {
        f.resize(size_t(h));
        d.resize(size_t(h));
        for (int y = 0; y < h; ++y)
            f[size_t(y)] = sq.At(x, y);
        DistanceLine(f, d, v, z);
        for (int y = 0; y < h; ++y)
            sq.At(x, y) = d[size_t(y)];
    }
    for (int y = 0; y < h; ++y) {
        f.resize(size_t(w));
        d.resize(size_t(w));
        for (int x = 0; x < w; ++x)
            f[size_t(x)] = sq.At(x, y);
        DistanceLine(f, d, v, z);
        for (int x = 0; x < w; ++x)
            sq.At(x, y) = d[size_t(x)];
    }
    for (float& value : sq.v)
        value = value >= far * 0.5f ? float(w + h) : std::sqrt(value);
    return sq;
}

} // namespace

Field InsideDistance(const Field& coverage) {
    return DistanceTo(coverage, [](float c) { return c < 0.5f; });
}

Field OutsideDistance(const Field& coverage) {
    return DistanceTo(coverage, [](float c) { return c >= 0.5f; });
}

Field Blur(const Field& f, int radius) {
    if (radius <= 0)
        return f;
    Field a = f;
    Field b(f.w, f.h);
    const float norm = 1.0f / float(2 * radius + 1);
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < f.h; ++y) {
            for (int x = 0; x < f.w; ++x) {
                float s = 0;
                for (int k = -radius; k <= radius; ++k)
                    s += (x + k >= 0 && x + k < f.w) ? a.At(x + k, y) : 0.0f;
                b.At(x, y) = s * norm;
            }
        }
        for (int y = 0; y < f.h; ++y) {
            for (int x = 0; x < f.w; ++x) {
                float s = 0;
                for (int k = -radius; k <= radius; ++k)
                    s += (y + k >= 0 && y + k < f.h) ? b.At(x, y + k) : 0.0f;
                a.At(x, y) = s * norm;
            }
        }
    }
    return a;
}

Field Shade(const Field& height, float strength) {
    // Light from the top left, somewhat above the surface.
    const float lx = -0.5f;
    const float ly = -0.6f;
    const float lz = 0.62f;
    const float flat = lz / std::sqrt(lx * lx + ly * ly + lz * lz);
    Field out(height.w, height.h);
    for (int y = 0; y < height.h; ++y) {
        for (int x = 0; x < height.w; ++x) {
            const float dx = (height.Get(x + 1, y) - height.Get(x - 1, y)) * 0.5f * strength;
            const float dy = (height.Get(x, y + 1) - height.Get(x, y - 1)) * 0.5f * strength;
            const float nx = -dx;
            const float ny = -dy;
            const float len = std::sqrt(nx * nx + ny * ny + 1.0f);
            const float lambert =
                (nx * lx + ny * ly + lz) / (len * std::sqrt(lx * lx + ly * ly + lz * lz));
            out.At(x, y) = lambert - flat;
        }
    }
    return out;
}

QImage GreyImage(const Field& grey, const Field& alpha, int factor) {
    const int w = grey.w / factor;
    const int h = grey.h / factor;
    const float cells = float(factor * factor);
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            float sumAlpha = 0;
            float sumGrey = 0;
            for (int j = 0; j < factor; ++j) {
                for (int i = 0; i < factor; ++i) {
                    const float a = alpha.At(x * factor + i, y * factor + j);
                    sumAlpha += a;
                    sumGrey += a * grey.At(x * factor + i, y * factor + j);
                }
            }
            const int a = std::clamp(int(std::lround(sumAlpha / cells * 255.0f)), 0, 255);
            const int g = a == 0 ? 0 : std::clamp(int(std::lround(sumGrey / sumAlpha)), 0, 255);
            row[x] = qRgba(g, g, g, a);
        }
    }
    return image;
}

} // namespace mosaiq::libgen
