#pragma once

// Drawing helpers shared by the starter-library generators: transparent canvases, the outlines
// the libraries are made of, glossy fills, deterministic noise and float fields for the shaded
// decoration families. Everything here is deterministic: the same build draws the same pixels.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdint>
#include <vector>

namespace mosaiq::libgen {

// A transparent premultiplied canvas of w x h pixels.
QImage NewCanvas(int w, int h);
// Turns on anti-aliasing and smooth transforms for every drawing of the generators.
void PreparePainter(QPainter& p);
// The finished item in straight-alpha ARGB32, the layout the libraries store.
QImage Finished(const QImage& canvas);

// Outlines, all in pixel coordinates.
QPainterPath HeartPath(const QRectF& r);
QPainterPath StarPath(QPointF centre, double outer, double inner, int points,
                      double rotationDeg = -90.0);
QPainterPath PolygonPath(QPointF centre, double radius, int sides, double rotationDeg = -90.0);
// A flower of round petals around the centre (petal circles of radius petalR at distance r).
QPainterPath FlowerPath(QPointF centre, double r, double petalR, int petals,
                        double rotationDeg = -90.0);
QPainterPath CrescentPath(QPointF centre, double r, double cut);
QPainterPath LeafPath(QPointF base, QPointF tip, double width);
QPainterPath ArrowPath(const QRectF& r);
QPainterPath CloudPath(const QRectF& r);
QPainterPath DropPath(QPointF tip, double radius, double length, double angleDeg);
// A six-armed snowflake with side branches, as a filled outline (lines of the given width).
QPainterPath SnowflakePath(QPointF centre, double radius, double lineWidth);

QColor Mix(const QColor& a, const QColor& b, double t);
QColor Lighter(const QColor& c, double t); // towards white by t (0..1)
QColor Darker(const QColor& c, double t);  // towards black by t (0..1)

// Fills path with a soft light-from-top-left gradient of base, a darker outline of the given
// width (0 for none) and a small gloss highlight when gloss is set.
void FillGlossy(QPainter& p, const QPainterPath& path, const QColor& base, double outline = 2.0,
                bool gloss = true);
// A soft shadow of path, offset by (dx, dy), painted below what is drawn next.
void DropShadow(QPainter& p, const QPainterPath& path, double dx, double dy, int alpha = 60);

// Integer hash noise: the same (x, y, seed) always gives the same value in [0, 1).
double HashNoise(int x, int y, std::uint32_t seed);
// Smooth value noise in [0, 1) on a lattice of the given cell size.
double ValueNoise(double x, double y, double cell, std::uint32_t seed);

// A float field of w x h values (row-major), the working surface of the shaded families.
struct Field {
    int w = 0;
    int h = 0;
    std::vector<float> v;

    Field() = default;
    Field(int width, int height, float fill = 0.0f)
        : w(width), h(height), v(size_t(width) * size_t(height), fill) {}
    float& At(int x, int y) { return v[size_t(y) * size_t(w) + size_t(x)]; }
    float At(int x, int y) const { return v[size_t(y) * size_t(w) + size_t(x)]; }
    // Clamped read, for neighbour differences at the border.
    float Get(int x, int y) const;
};

// Anti-aliased coverage (0..1) of path (with its own fill rule) on a w x h grid.
Field Coverage(const QPainterPath& path, int w, int h);
// Euclidean distance of every pixel to the nearest pixel outside the shape (coverage < 0.5);
// 0 outside. The inside distance the bevels are shaped from.
Field InsideDistance(const Field& coverage);
// Distance of every pixel to the nearest pixel inside the shape; 0 inside.
Field OutsideDistance(const Field& coverage);
// Approximate Gaussian blur (three box passes) of the given radius.
Field Blur(const Field& f, int radius);
// Lambert shading of a height field under a light from the top left: 0 where the surface is
// flat, positive where it faces the light, negative where it turns away.
Field Shade(const Field& height, float strength);
// Grey values (0..255) and alpha (0..1) into a straight-alpha ARGB32 item, averaging blocks of
// factor x factor values into one pixel (the grey weighted by alpha).
QImage GreyImage(const Field& grey, const Field& alpha, int factor = 1);

double SmoothStep(double e0, double e1, double x);

} // namespace mosaiq::libgen
