#include "canvas/interaction/SelectionAlign.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/document/LayoutPlacement.h"
#include "canvas/document/ObjectGeometry.h"
#include "text/TextGeometry.h"

#include <algorithm>
#include <cmath>

namespace mosaiq {
namespace {

bool Horizontal(AlignMode mode) {
    return mode == AlignMode::Left || mode == AlignMode::Centre || mode == AlignMode::Right ||
           mode == AlignMode::DistributeHorizontally;
}

// Start, length and end of a box along the mode's axis.
double Start(const QRectF& r, bool horizontal) {
    return horizontal ? r.left() : r.top();
}
double Length(const QRectF& r, bool horizontal) {
    return horizontal ? r.width() : r.height();
}

// Where each box's start goes (same order as boxes).
std::vector<double> Targets(const std::vector<QRectF>& boxes, AlignMode mode) {
    const bool h = Horizontal(mode);
    QRectF all;
    for (const QRectF& b : boxes)
        all = all.united(b);
    std::vector<double> to;
    if (mode == AlignMode::DistributeHorizontally || mode == AlignMode::DistributeVertically) {
        std::vector<std::size_t> order(boxes.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        // Neighbours by their centres, ties kept in stacking order.
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return Start(boxes[a], h) + Length(boxes[a], h) / 2 <
                   Start(boxes[b], h) + Length(boxes[b], h) / 2;
        });
        const QRectF& first = boxes[order.front()];
        const QRectF& last = boxes[order.back()];
        double lengths = 0.0;
        for (const QRectF& b : boxes)
            lengths += Length(b, h);
        const double span = Start(last, h) + Length(last, h) - Start(first, h);
        const double gap = (span - lengths) / double(boxes.size() - 1);
        to.resize(boxes.size());
        double at = Start(first, h);
        for (std::size_t i : order) {
            to[i] = at;
            at += Length(boxes[i], h) + gap;
        }
        to[order.back()] = Start(last, h); // the outermost stay exactly where they are
        return to;
    }
    for (const QRectF& b : boxes) {
        switch (mode) {
        case AlignMode::Left:
            to.push_back(all.left());
            break;
        case AlignMode::Top:
            to.push_back(all.top());
            break;
        case AlignMode::Right:
            to.push_back(all.right() - b.width());
            break;
        case AlignMode::Bottom:
            to.push_back(all.bottom() - b.height());
            break;
        case AlignMode::Centre:
            to.push_back(all.center().x() - b.width() / 2);
            break;
        default: // Middle
            to.push_back(all.center().y() - b.height() / 2);
            break;
        }
    }
    return to;
}

} // namespace

QRectF ObjectBounds(const CanvasObject& object) {
    const QPoint p = object.Position();
    if (const TextRecord* text = object.Text())
        return TextObjectTransform(*text, 1.0f)
            .mapRect(QRectF(0, 0, text->textWidth, text->textHeight));
    const QSize unscaled = object.UnscaledSize();
    const QSize shown = DisplayedSize(unscaled.width(), unscaled.height(), object.Scale(), 1.0f);
    return ObjectTransform(shown, object.Angle(), p.x(), p.y(), 1.0f)
        .mapRect(QRectF(QPointF(0, 0), QSizeF(shown)));
}

std::vector<int> SelectedIndices(const CollageDocument& document) {
    std::vector<int> indices;
    for (std::size_t i = 0; i < document.objects.size(); ++i)
        if (document.objects[i].Selected())
            indices.push_back(int(i));
    return indices;
}

int AlignMinimum(AlignMode mode) {
    return mode == AlignMode::DistributeHorizontally || mode == AlignMode::DistributeVertically ? 3
                                                                                                : 2;
}

bool AlignSelection(CollageDocument& document, AlignMode mode) {
    // Photos of the layout stay in their cells.
    std::vector<int> indices;
    for (int i : SelectedIndices(document))
        if (!CellOfObject(document, document.objects[std::size_t(i)]))
            indices.push_back(i);
    if (int(indices.size()) < AlignMinimum(mode))
        return false;
    std::vector<QRectF> boxes;
    for (int i : indices)
        boxes.push_back(ObjectBounds(document.objects[std::size_t(i)]));
    const std::vector<double> to = Targets(boxes, mode);
    const bool h = Horizontal(mode);
    bool moved = false;
    for (std::size_t k = 0; k < indices.size(); ++k) {
        CanvasObject& object = document.objects[std::size_t(indices[k])];
        const int delta = int(std::lround(to[k] - Start(boxes[k], h)));
        if (delta == 0)
            continue;
        const QPoint p = object.Position();
        object.SetPosition(h ? QPoint(p.x() + delta, p.y()) : QPoint(p.x(), p.y() + delta));
        moved = true;
    }
    if (!moved)
        return false;
    document.RecordSnapshot();
    document.MarkModified();
    return true;
}

} // namespace mosaiq
