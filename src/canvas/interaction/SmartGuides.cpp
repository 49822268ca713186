#include "canvas/interaction/SmartGuides.h"

#include <cmath>

namespace mosaiq {
namespace {

// One axis of a box: start, centre and end.
struct Span {
    double start;
    double end;
    double Centre() const { return (start + end) / 2.0; }
    double Length() const { return end - start; }
};

Span Along(const QRectF& r, bool x) {
    return x ? Span{r.left(), r.right()} : Span{r.top(), r.bottom()};
}

Span Across(const QRectF& r, bool x) {
    return Along(r, !x);
}

bool Overlap(Span a, Span b) {
    return a.start < b.end && b.start < a.end;
}

// The best snap found on one axis so far.
struct AxisSnap {
    double delta = 0.0;
    double distance = 0.0;
    std::vector<QLineF> guides;
};

class AxisSearch {
public:
    AxisSearch(const QRectF& moving, bool x, double tolerance)
        : m_moving(moving), m_x(x), m_tolerance(tolerance) {}

    // An alignment line at position: the moving box's start, centre or end may land on it;
    // across is the extent the guide line spans besides the moving box.
    void Line(double position, Span across) {
        const Span m = Along(m_moving, m_x);
        for (double edge : {m.start, m.Centre(), m.end})
            Offer(position - edge, {Guide(position, across)});
    }

    // The moving box's start landing exactly at start (equal spacing); gaps are drawn as lines
    // across the gaps at the middle of the row.
    void Start(double start, const std::vector<Span>& gaps, double row) {
        std::vector<QLineF> lines;
        const double delta = start - Along(m_moving, m_x).start;
        for (Span g : gaps) {
            // The moving box's own gap moves with it.
            lines.push_back(m_x ? QLineF(g.start, row, g.end, row)
                                : QLineF(row, g.start, row, g.end));
        }
        Offer(delta, std::move(lines));
    }

    // The nearest snap offered; null when none came within the tolerance.
    const AxisSnap* Best() const { return m_found ? &m_best : nullptr; }

private:
    QLineF Guide(double position, Span across) const {
        const Span m = Across(m_moving, m_x);
        const double from = std::min(m.start, across.start);
        const double to = std::max(m.end, across.end);
        return m_x ? QLineF(position, from, position, to) : QLineF(from, position, to, position);
    }

    void Offer(double delta, std::vector<QLineF> guides) {
        const double distance = std::abs(delta);
        if (distance > m_tolerance || (m_found && distance >= m_best.distance))
            return;
        m_found = true;
        m_best = AxisSnap{delta, distance, std::move(guides)};
    }

    QRectF m_moving;
    bool m_x;
    double m_tolerance;
    bool m_found = false;
    AxisSnap m_best;
};

// Equal spacing: for two others a, b in the moving box's row with a before b, the positions that
// repeat their gap after b, before a, or put the moving box halfway between them.
void OfferEqualGaps(AxisSearch& search, const QRectF& moving, const std::vector<QRectF>& others,
                    bool x) {
    const Span m = Along(moving, x);
    const Span mAcross = Across(moving, x);
    std::vector<Span> row;
    for (const QRectF& o : others)
        if (Overlap(Across(o, x), mAcross))
            row.push_back(Along(o, x));
    const double middle = mAcross.Centre();
    for (const Span& a : row) {
        for (const Span& b : row) {
            const double gap = b.start - a.end;
            if (gap <= 0.0)
                continue; // b not after a
            // After b: a, gap, b, gap, moving.
            const double after = b.end + gap;
            search.Start(after, {{a.end, b.start}, {b.end, after}}, middle);
            // Before a: moving, gap, a, gap, b.
            const double before = a.start - gap - m.Length();
            search.Start(before, {{before + m.Length(), a.start}, {a.end, b.start}}, middle);
            // Between a and b, with equal gaps on both sides.
            const double free = gap - m.Length();
            if (free > 0.0) {
                const double between = a.end + free / 2.0;
                search.Start(between, {{a.end, between}, {between + m.Length(), b.start}}, middle);
            }
        }
    }
}

} // namespace

SnapResult SnapMovingBox(const QRectF& moving, const std::vector<QRectF>& others, QSizeF canvas,
                         double tolerance) {
    SnapResult result;
    for (bool x : {true, false}) {
        AxisSearch search(moving, x, tolerance);
        const Span whole = x ? Span{0.0, canvas.height()} : Span{0.0, canvas.width()};
        const double extent = x ? canvas.width() : canvas.height();
        for (double line : {0.0, extent / 2.0, extent})
            search.Line(line, whole);
        for (const QRectF& o : others) {
            const Span along = Along(o, x);
            for (double line : {along.start, along.Centre(), along.end})
                search.Line(line, Across(o, x));
        }
        OfferEqualGaps(search, moving, others, x);
        if (const AxisSnap* best = search.Best()) {
            (x ? result.offset.rx() : result.offset.ry()) = best->delta;
            result.guides.insert(result.guides.end(), best->guides.begin(), best->guides.end());
        }
    }
    return result;
}

} // namespace mosaiq
