#pragma once

// Automatic layouts of photos on the canvas. Pure geometry in canvas pixels: the caller hands
// over the canvas size, spacing, margin and each photo's displayed aspect ratio (width / height of
// its box as shown: upright, cropped and framed), and gets back one rectangle per photo. Nothing
// here touches a document; canvas/PhotoArrange applies a layout to the photo records.

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <vector>

namespace mosaiq {

enum class LayoutFamily {
    Rows, // justified rows: every row as wide as the usable width, heights vary
    Grid, // equal cells, rows x columns chosen for the canvas's shape and the count
    Tree, // recursive split of the canvas (a slicing tree), exact aspects, uniform gaps
};

// The family's name as the command line and settings write it ("rows", "grid", "tree"), and
// back; false for an unknown name.
QString LayoutFamilyName(LayoutFamily family);
bool LayoutFamilyFromName(const QString& name, LayoutFamily* family);

struct LayoutRequest {
    QSizeF canvas;         // canvas pixels
    double spacing = 12.0; // at least this much between two photos
    double margin = 12.0;  // at least this much between a photo and the canvas's edge
    bool fill = false;     // cells cover the usable area; photos are cropped to their cells
    LayoutFamily family = LayoutFamily::Rows;
    // 0 keeps the given order; any other value gives another order (and for tree another split),
    // the same for the same value on every machine.
    std::uint64_t seed = 0;
    std::vector<double> aspects; // width / height of each photo's displayed box, in order
};

struct LayoutResult {
    bool ok = false;
    QString error;             // why no layout was made
    std::vector<QRectF> cells; // one per photo of the request, in the request's order
    std::vector<int> order;    // request indices in the order they were placed
    // Share of the canvas the cells cover (0..1).
    double coverage = 0.0;
    // Mean share of a photo's box cut away to make it fit its cell: 0 when every cell has its
    // photo's aspect (always, within rounding, without fill).
    double aspectError = 0.0;
};

// Lays the photos out. Without fill every cell has its photo's aspect, no two cells come
// closer than the spacing, none comes closer to the canvas's edge than the margin, and the
// layout is centred; with fill the cells cover the canvas minus the spacing and margin (grid:
// minus its empty cells). Fails when there are no photos, an aspect is not a positive number or
// the spacing and margin leave no room.
LayoutResult ComputePhotoLayout(const LayoutRequest& request);

// The order the seed gives to count photos (0: 0, 1, ..., count - 1).
std::vector<int> LayoutOrder(int count, std::uint64_t seed);

namespace layout_detail {

// A small generator with one output sequence on every platform (splitmix64).
class LayoutRandom {
public:
    explicit LayoutRandom(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next();
    // A value in [0, bound); bound > 0.
    int Below(int bound) { return int(Next() % std::uint64_t(bound)); }

private:
    std::uint64_t m_state;
};

// Up to this many photos the rows family tries every set of breaks and the tree family every
// shape and order of its photos.
inline constexpr int kFewPhotos = 8;

// The largest cell's area over the smallest's (infinite for an empty cell or none).
double SizeSpread(const std::vector<QRectF>& cells);

// What the searches of rows and tree maximise: the cells' area, lowered as the size spread grows
// past what photos of different shapes need (a layout of a few large photos and some tiny ones
// reads badly).
double BalancedArea(const std::vector<QRectF>& cells);

// The three families on the usable area (canvas minus margins, origin at the margin corner),
// photos taken in the given order; fill cells the result's rectangles in area coordinates.
LayoutResult RowsLayout(const LayoutRequest& request, const std::vector<double>& aspects);
LayoutResult GridLayout(const LayoutRequest& request, const std::vector<double>& aspects);
LayoutResult TreeLayout(const LayoutRequest& request, const std::vector<double>& aspects);

} // namespace layout_detail
} // namespace mosaiq
