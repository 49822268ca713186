#include "canvas/document/CanvasSelection.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/interaction/SelectionAlign.h"

namespace mosaiq {

bool ToggleSelected(CollageDocument& document, int index) {
    CanvasObject& object = document.objects[std::size_t(index)];
    object.SetSelected(!object.Selected());
    return object.Selected();
}

int SelectInBand(CollageDocument& document, const QRectF& band, bool add) {
    int inside = 0;
    const QRectF area = band.normalized();
    for (CanvasObject& object : document.objects) {
        const QRectF box = ObjectBounds(object);
        const bool in = !box.isEmpty() && area.contains(box);
        inside += in ? 1 : 0;
        if (in)
            object.SetSelected(true);
        else if (!add)
            object.SetSelected(false);
    }
    return inside;
}

int SelectedCount(const CollageDocument& document) {
    int count = 0;
    for (const CanvasObject& object : document.objects)
        count += object.Selected() ? 1 : 0;
    return count;
}

} // namespace mosaiq
