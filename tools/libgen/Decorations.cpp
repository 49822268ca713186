// The six decoration families. Each shape is drawn in grey values: the canvas recolours a
// decoration by keeping every pixel's lightness and giving it the chosen colour's hue and
// saturation, so mid greys become the full colour, light greys its highlights and dark greys its
// shadows. Bodies therefore sit around grey 150, highlights near white and shadows near black.
#include "DrawKit.h"
#include "Libraries.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace mosaiq::libgen {
namespace {

constexpr int kSide = 150;
// The families are worked out at twice the size and averaged down, so that bands, grooves and
// threads get anti-aliased edges like the outline does.
constexpr int kSuper = 2;
constexpr int kWork = kSide * kSuper;
constexpr int kShapeCount = 10;

// Shape i of every family, fitted into box.
QPainterPath ShapePath(int index, const QRectF& box) {
    const QPointF c = box.center();
    const double r = box.width() / 2;
    QPainterPath path;
    switch (index) {
    case 0:
        return HeartPath(box.adjusted(0, r * 0.06, 0, -r * 0.02));
    case 1:
        return StarPath(c + QPointF(0, r * 0.06), r * 1.02, r * 0.45, 5);
    case 2:
        path.addEllipse(c, r * 0.94, r * 0.94);
        return path;
    case 3:
        path.addRoundedRect(box.adjusted(r * 0.08, r * 0.08, -r * 0.08, -r * 0.08), r * 0.3,
                            r * 0.3);
        return path;
    case 4:
        return PolygonPath(c, r, 4);
    case 5:
        return FlowerPath(c, r * 0.62, r * 0.36, 6);
    case 6:
        path.addEllipse(c, r * 0.95, r * 0.95);
        path.addEllipse(c, r * 0.52, r * 0.52);
        path.setFillRule(Qt::OddEvenFill);
        return path;
    case 7:
        return PolygonPath(c, r * 0.98, 6, 0);
    case 8:
        return CrescentPath(c + QPointF(-r * 0.08, r * 0.04), r * 0.9, r * 0.5);
    default:
        return ArrowPath(box.adjusted(0, r * 0.2, 0, -r * 0.2));
    }
}

struct Layers {
    Field grey;
    Field alpha;
};

// Surface normal of a height field at (x, y), as its x and y components (z is implied).
void Normal(const Field& h, int x, int y, float& nx, float& ny) {
    const float dx = (h.Get(x + 1, y) - h.Get(x - 1, y)) * 0.5f;
    const float dy = (h.Get(x, y + 1) - h.Get(x, y - 1)) * 0.5f;
    const float len = std::sqrt(dx * dx + dy * dy + 1.0f);
    nx = -dx / len;
    ny = -dy / len;
}

// Chrome: a rounded metal body that mirrors a bright sky above a dark horizon and a lighter
// ground, so the bands bend with the surface.
Layers Chrome(const QPainterPath& shape) {
    const Field cov = Coverage(shape, kWork, kWork);
    const Field d = InsideDistance(cov);
    const float band = kWork * 0.13f;
    Field h(kWork, kWork);
    for (size_t i = 0; i < h.v.size(); ++i) {
        const float t = std::min(d.v[i] / band, 1.0f);
        h.v[i] = band * std::sqrt(1.0f - (1.0f - t) * (1.0f - t));
    }
    h = Blur(h, 2 * kSuper);
    const Field light = Shade(h, 1.0f);
    Field grey(kWork, kWork);
    for (int y = 0; y < kWork; ++y) {
        for (int x = 0; x < kWork; ++x) {
            float nx = 0;
            float ny = 0;
            Normal(h, x, y, nx, ny);
            const float u = float(y) / kWork - 0.55f * ny + 0.08f * nx;
            // Sky above the horizon at u = 0.52, ground below, blended over a narrow seam.
            const float sky = 242.0f - 70.0f * float(SmoothStep(0.0, 0.52, u));
            const float ground = 52.0f + 150.0f * float(SmoothStep(0.52, 1.05, u));
            const float seam = float(SmoothStep(0.505, 0.535, u));
            float env = sky + (ground - sky) * seam;
            // A thin bright reflection line just below the horizon.
            env += 60.0f * float(std::exp(-std::pow((u - 0.6f) / 0.02f, 2.0f)));
            const float highlight = std::max(0.0f, light.At(x, y) - 0.15f) * 160.0f;
            float g = env + highlight;
            if (d.At(x, y) < 1.5f * kSuper)
                g *= 0.7f;
            grey.At(x, y) = std::clamp(g, 20.0f, 252.0f);
        }
    }
    return {grey, cov};
}

// Cast relief: a raised rim, a carved groove inside it and a recessed centre panel, with a
// fine cast grain.
Layers Cast(const QPainterPath& shape) {
    const Field cov = Coverage(shape, kWork, kWork);
    const Field d = InsideDistance(cov);
    const float w = kWork * 0.06f;
    Field h(kWork, kWork);
    Field groove(kWork, kWork);
    for (size_t i = 0; i < h.v.size(); ++i) {
        const float di = d.v[i];
        const float g = std::exp(-std::pow((di - 2.1f * w) / (0.45f * w), 2.0f));
        groove.v[i] = g;
        h.v[i] = w * (float(SmoothStep(0, w, di)) - 0.8f * g -
                      0.45f * float(SmoothStep(3.0 * w, 3.7 * w, di)));
    }
    h = Blur(h, 2 * kSuper);
    const Field light = Shade(h, 1.4f);
    Field grey(kWork, kWork);
    for (int y = 0; y < kWork; ++y) {
        for (int x = 0; x < kWork; ++x) {
            const float grain = float(ValueNoise(x, y, 2.5 * kSuper, 71) - 0.5) * 18.0f;
            const float g = 150.0f + 170.0f * light.At(x, y) - 34.0f * groove.At(x, y) + grain;
            grey.At(x, y) = std::clamp(g, 24.0f, 245.0f);
        }
    }
    return {grey, cov};
}

// Emboss: a flat raised top with a bevelled edge catching the light.
Layers Emboss(const QPainterPath& shape) {
    const Field cov = Coverage(shape, kWork, kWork);
    const Field d = InsideDistance(cov);
    const float bevel = kWork * 0.085f;
    Field h(kWork, kWork);
    for (size_t i = 0; i < h.v.size(); ++i)
        h.v[i] = bevel * float(SmoothStep(0, bevel, d.v[i]));
    h = Blur(h, 2 * kSuper);
    const Field light = Shade(h, 1.3f);
    Field grey(kWork, kWork);
    for (size_t i = 0; i < grey.v.size(); ++i)
        grey.v[i] = std::clamp(156.0f + 190.0f * light.v[i], 30.0f, 250.0f);
    return {grey, cov};
}

// Cloth: a padded woven patch, threads going over and under, with a stitched seam inside the
// edge.
Layers Cloth(const QPainterPath& shape) {
    const Field cov = Coverage(shape, kWork, kWork);
    const Field d = InsideDistance(cov);
    const float pad = kWork * 0.12f;
    Field h(kWork, kWork);
    for (size_t i = 0; i < h.v.size(); ++i)
        h.v[i] = pad * 0.7f * float(SmoothStep(0, pad, d.v[i]));
    h = Blur(h, 2 * kSuper);
    const Field light = Shade(h, 1.0f);
    constexpr int kThread = 5 * kSuper;
    const float seam = kWork * 0.07f;
    const QPointF centre = shape.boundingRect().center();
    Field grey(kWork, kWork);
    for (int y = 0; y < kWork; ++y) {
        for (int x = 0; x < kWork; ++x) {
            const bool horizontalOnTop = ((x / kThread) + (y / kThread)) % 2 == 0;
            const float across = float(horizontalOnTop ? (y % kThread) : (x % kThread));
            const float profile = std::sin(float(M_PI) * (across + 0.5f) / kThread);
            const float fibre = float(HashNoise(x / kSuper, y / kSuper, 5) - 0.5) * 10.0f;
            float g = 150.0f * (0.74f + 0.34f * profile) + 120.0f * light.At(x, y) + fibre;
            const float di = d.At(x, y);
            if (std::abs(di - seam) < 1.3f * kSuper) {
                const double a = std::atan2(y - centre.y(), x - centre.x());
                const double along = a * kSide * 0.5 / 7.0;
                if (along - std::floor(along) < 0.55)
                    g = 238.0f;
            }
            grey.At(x, y) = std::clamp(g, 30.0f, 245.0f);
        }
    }
    return {grey, cov};
}

// Glow: a luminous body, white-hot at its heart, inside a soft halo of the colour.
Layers Glow(const QPainterPath& shape) {
    const Field cov = Coverage(shape, kWork, kWork);
    const Field d = InsideDistance(cov);
    const Field halo = Blur(cov, 6 * kSuper);
    Field grey(kWork, kWork);
    Field alpha(kWork, kWork);
    for (size_t i = 0; i < grey.v.size(); ++i) {
        const float c = cov.v[i];
        const float haloAlpha = std::min(1.0f, halo.v[i] * 1.7f) * 0.85f;
        const float a = c + (1.0f - c) * haloAlpha;
        const float inside = 168.0f + 72.0f * float(SmoothStep(0, kWork * 0.2, d.v[i]));
        alpha.v[i] = a;
        grey.v[i] = a > 0 ? (c * inside + (1.0f - c) * haloAlpha * 148.0f) / a : 0.0f;
    }
    return {grey, alpha};
}

// Neon: a glass tube along the outline, white at its core, with a glow around it.
Layers Neon(const QPainterPath& shape) {
    const Field cov = Coverage(shape, kWork, kWork);
    const Field in = InsideDistance(cov);
    const Field out = OutsideDistance(cov);
    const float radius = kWork * 0.04f;
    Field tube(kWork, kWork);
    Field tubeGrey(kWork, kWork);
    for (size_t i = 0; i < tube.v.size(); ++i) {
        const float signedDistance = cov.v[i] >= 0.5f ? in.v[i] : -out.v[i];
        const float off = std::abs(signedDistance - (radius + 1.0f * kSuper));
        tube.v[i] = std::clamp((radius - off) / kSuper + 0.5f, 0.0f, 1.0f);
        tubeGrey.v[i] = 150.0f + 100.0f * (1.0f - float(SmoothStep(0.1, 1.0, off / radius)));
    }
    const Field glow = Blur(tube, 5 * kSuper);
    Field grey(kWork, kWork);
    Field alpha(kWork, kWork);
    for (size_t i = 0; i < grey.v.size(); ++i) {
        const float t = tube.v[i];
        const float glowAlpha = std::min(1.0f, glow.v[i] * 1.9f) * 0.8f;
        const float a = t + (1.0f - t) * glowAlpha;
        alpha.v[i] = a;
        grey.v[i] = a > 0 ? (t * tubeGrey.v[i] + (1.0f - t) * glowAlpha * 142.0f) / a : 0.0f;
    }
    return {grey, alpha};
}

} // namespace

QString DecorationFileName(DecorationFamily family) {
    switch (family) {
    case DecorationFamily::Chrome:
        return QStringLiteral("chrome_p.cfg");
    case DecorationFamily::Cast:
        return QStringLiteral("ca_p.cfg");
    case DecorationFamily::Emboss:
        return QStringLiteral("emboss_p.cfg");
    case DecorationFamily::Cloth:
        return QStringLiteral("cloth_p.cfg");
    case DecorationFamily::Glow:
        return QStringLiteral("glow_p.cfg");
    case DecorationFamily::Neon:
        return QStringLiteral("neon_p.cfg");
    }
    return {};
}

std::vector<QImage> DrawDecorations(DecorationFamily family) {
    // Halos need room around the shape; solid families fill more of the square.
    const bool haloed = family == DecorationFamily::Glow || family == DecorationFamily::Neon;
    const double margin = haloed ? 17.0 : 5.0;
    const QRectF box(margin * kSuper, margin * kSuper, kWork - 2 * margin * kSuper,
                     kWork - 2 * margin * kSuper);
    std::vector<QImage> out;
    for (int i = 0; i < kShapeCount; ++i) {
        const QPainterPath shape = ShapePath(i, box);
        Layers layers;
        switch (family) {
        case DecorationFamily::Chrome:
            layers = Chrome(shape);
            break;
        case DecorationFamily::Cast:
            layers = Cast(shape);
            break;
        case DecorationFamily::Emboss:
            layers = Emboss(shape);
            break;
        case DecorationFamily::Cloth:
            layers = Cloth(shape);
            break;
        case DecorationFamily::Glow:
            layers = Glow(shape);
            break;
        case DecorationFamily::Neon:
            layers = Neon(shape);
            break;
        }
        out.push_back(GreyImage(layers.grey, layers.alpha, kSuper));
    }
    return out;
}

} // namespace mosaiq::libgen
