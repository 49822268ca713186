#include "canvas/document/LayoutPlacement.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/document/ObjectGeometry.h"

#include <algorithm>
#include <cmath>

namespace mosaiq {
namespace {

int RoundEdge(double v) {
    if (!std::isfinite(v))
        return 0;
    return int(std::lround(std::clamp(v, -1.0e9, 1.0e9)));
}

} // namespace

const QRectF* CellOfObject(const CollageDocument& document, const CanvasObject& object) {
    const int cell = object.layoutCell;
    if (cell < 0 || cell >= document.layout.CellCount() || !object.Photo())
        return nullptr;
    return &document.layout.cells[size_t(cell)];
}

QRect ExactCellRect(const QRectF& cell, double scale) {
    const int left = RoundEdge(cell.left() * scale);
    const int top = RoundEdge(cell.top() * scale);
    const int right = RoundEdge(cell.right() * scale);
    const int bottom = RoundEdge(cell.bottom() * scale);
    return QRect(left, top, std::clamp(right - left, 0, kMaxDisplayedSide),
                 std::clamp(bottom - top, 0, kMaxDisplayedSide));
}

ObjectPlacement PlacementOf(const CollageDocument& document, int index, float zoom) {
    const CanvasObject& object = document.objects[size_t(index)];
    ObjectPlacement placement;
    if (const QRectF* cell = CellOfObject(document, object)) {
        QRect rect = ExactCellRect(*cell, double(zoom));
        const LayoutGesture& gesture = document.layoutGesture;
        if (gesture.draggedCell == object.layoutCell)
            rect.translate(RoundEdge(gesture.dragOffset.x() * double(zoom)),
                           RoundEdge(gesture.dragOffset.y() * double(zoom)));
        placement.inLayout = true;
        placement.cellRect = rect;
        placement.displayed = rect.size();
        placement.transform = QTransform::fromTranslate(rect.left(), rect.top());
        return placement;
    }
    const QSize unscaled = object.UnscaledSize();
    placement.displayed = DisplayedSize(unscaled.width(), unscaled.height(), object.Scale(), zoom);
    const QPoint p = object.Position();
    placement.transform = ObjectTransform(placement.displayed, object.Angle(), p.x(), p.y(), zoom);
    return placement;
}

} // namespace mosaiq
