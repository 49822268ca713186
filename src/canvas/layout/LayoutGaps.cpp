#include "canvas/layout/LayoutGaps.h"

#include <algorithm>
#include <cmath>

namespace mosaiq {
namespace {

// Edges closer than this are one edge (cells come from floating-point layouts).
constexpr double kEdgeTolerance = 0.01;

// A cell's extent along and across the gap's direction.
struct Axis {
    bool vertical;
    double Near(const QRectF& r) const { return vertical ? r.left() : r.top(); }
    double Far(const QRectF& r) const { return vertical ? r.right() : r.bottom(); }
    double SpanStart(const QRectF& r) const { return vertical ? r.top() : r.left(); }
    double SpanEnd(const QRectF& r) const { return vertical ? r.bottom() : r.right(); }
    double Across(QPointF p) const { return vertical ? p.x() : p.y(); }
    double Along(QPointF p) const { return vertical ? p.y() : p.x(); }
};

std::optional<LayoutGap> GapOnAxis(const CollageLayout& layout, QPointF point, double reach,
                                   Axis axis) {
    const double across = axis.Across(point);
    const double along = axis.Along(point);
    const double widest = layout.spacing + reach;
    // The nearest cell ending before the point and the nearest starting after it, both spanning
    // the point's position along the gap.
    int before = -1, after = -1;
    for (size_t i = 0; i < layout.cells.size(); ++i) {
        const QRectF& c = layout.cells[i];
        if (along < axis.SpanStart(c) || along >= axis.SpanEnd(c))
            continue;
        if (axis.Far(c) <= across + reach / 2 &&
            (before < 0 || axis.Far(c) > axis.Far(layout.cells[size_t(before)])))
            before = int(i);
        if (axis.Near(c) >= across - reach / 2 &&
            (after < 0 || axis.Near(c) < axis.Near(layout.cells[size_t(after)])))
            after = int(i);
    }
    if (before < 0 || after < 0 || before == after)
        return std::nullopt;
    const double low = axis.Far(layout.cells[size_t(before)]);
    const double high = axis.Near(layout.cells[size_t(after)]);
    if (high - low > widest + kEdgeTolerance || high < low - kEdgeTolerance ||
        across < low - reach || across > high + reach)
        return std::nullopt;
    // Grow the run along the gap: cells on either side with the same facing edge that continue
    // it across the spacing between them.
    LayoutGap gap;
    gap.vertical = axis.vertical;
    gap.before.push_back(before);
    gap.after.push_back(after);
    double start = std::min(axis.SpanStart(layout.cells[size_t(before)]),
                            axis.SpanStart(layout.cells[size_t(after)]));
    double end = std::max(axis.SpanEnd(layout.cells[size_t(before)]),
                          axis.SpanEnd(layout.cells[size_t(after)]));
    const double join = layout.spacing + 1.0;
    for (bool grew = true; grew;) {
        grew = false;
        for (size_t i = 0; i < layout.cells.size(); ++i) {
            const QRectF& c = layout.cells[i];
            const int cell = int(i);
            if (std::find(gap.before.begin(), gap.before.end(), cell) != gap.before.end() ||
                std::find(gap.after.begin(), gap.after.end(), cell) != gap.after.end())
                continue;
            if (axis.SpanEnd(c) < start - join || axis.SpanStart(c) > end + join)
                continue;
            if (std::abs(axis.Far(c) - low) < kEdgeTolerance) {
                gap.before.push_back(cell);
            } else if (std::abs(axis.Near(c) - high) < kEdgeTolerance) {
                gap.after.push_back(cell);
            } else {
                continue;
            }
            start = std::min(start, axis.SpanStart(c));
            end = std::max(end, axis.SpanEnd(c));
            grew = true;
        }
    }
    return gap;
}

} // namespace

std::optional<LayoutGap> GapAt(const CollageLayout& layout, QPointF point, double reach) {
    // Inside a cell there is no gap.
    for (const QRectF& c : layout.cells)
        if (c.adjusted(reach / 2, reach / 2, -reach / 2, -reach / 2).contains(point))
            return std::nullopt;
    if (std::optional<LayoutGap> gap = GapOnAxis(layout, point, reach, Axis{true}))
        return gap;
    return GapOnAxis(layout, point, reach, Axis{false});
}

double MoveGap(const std::vector<QRectF>& start, const LayoutGap& gap, double delta,
               double minSide, std::vector<QRectF>& cells) {
    const Axis axis{gap.vertical};
    // How far the edges may go each way: a cell keeps minSide (one already smaller keeps its
    // size as the bound).
    double lowest = -1.0e9, highest = 1.0e9;
    for (int i : gap.before) {
        const QRectF& c = start[size_t(i)];
        const double size = axis.Far(c) - axis.Near(c);
        lowest = std::max(lowest, std::min(0.0, minSide - size));
    }
    for (int i : gap.after) {
        const QRectF& c = start[size_t(i)];
        const double size = axis.Far(c) - axis.Near(c);
        highest = std::min(highest, std::max(0.0, size - minSide));
    }
    const double applied = std::isfinite(delta) ? std::clamp(delta, lowest, highest) : 0.0;
    cells = start;
    for (int i : gap.before) {
        QRectF& c = cells[size_t(i)];
        if (gap.vertical)
            c.setRight(c.right() + applied);
        else
            c.setBottom(c.bottom() + applied);
    }
    for (int i : gap.after) {
        QRectF& c = cells[size_t(i)];
        if (gap.vertical)
            c.setLeft(c.left() + applied);
        else
            c.setTop(c.top() + applied);
    }
    return applied;
}

} // namespace mosaiq
