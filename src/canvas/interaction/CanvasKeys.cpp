#include "canvas/interaction/CanvasKeys.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/document/LayoutPlacement.h"

#include <cmath>

namespace mosaiq {

namespace {
constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;
using A = CanvasKeyAction;
} // namespace

const std::vector<CanvasKeyBinding>& CanvasKeyTable() {
    static const std::vector<CanvasKeyBinding> table = {
        {Qt::Key_Delete, kNone, A::Delete},
        {Qt::Key_Escape, kNone, A::Escape},
        // One canvas pixel a press, ten with Shift.
        {Qt::Key_Left, kNone, A::Nudge, -1, 0},
        {Qt::Key_Right, kNone, A::Nudge, 1, 0},
        {Qt::Key_Up, kNone, A::Nudge, 0, -1},
        {Qt::Key_Down, kNone, A::Nudge, 0, 1},
        {Qt::Key_Left, kShift, A::Nudge, -10, 0},
        {Qt::Key_Right, kShift, A::Nudge, 10, 0},
        {Qt::Key_Up, kShift, A::Nudge, 0, -10},
        {Qt::Key_Down, kShift, A::Nudge, 0, 10},
        // Ctrl: larger with Right and Up, smaller with Left and Down.
        {Qt::Key_Right, kCtrl, A::Scale, 1},
        {Qt::Key_Up, kCtrl, A::Scale, 1},
        {Qt::Key_Left, kCtrl, A::Scale, -1},
        {Qt::Key_Down, kCtrl, A::Scale, -1},
        // Alt: clockwise with Right and Down, anticlockwise with Left and Up.
        {Qt::Key_Right, kAlt, A::Turn, 1},
        {Qt::Key_Down, kAlt, A::Turn, 1},
        {Qt::Key_Left, kAlt, A::Turn, -1},
        {Qt::Key_Up, kAlt, A::Turn, -1},
        {Qt::Key_Tab, kNone, A::SelectNext},
        {Qt::Key_Backtab, kShift, A::SelectPrevious},
        {Qt::Key_Backtab, kNone, A::SelectPrevious},
        {Qt::Key_Menu, kNone, A::ContextMenu},
        {Qt::Key_F10, kShift, A::ContextMenu},
        {Qt::Key_F6, kNone, A::LeaveCanvas},
    };
    return table;
}

std::optional<CanvasKeyBinding> FindCanvasKey(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers wanted =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    for (const CanvasKeyBinding& row : CanvasKeyTable())
        if (row.key == key && row.modifiers == wanted)
            return row;
    return std::nullopt;
}

bool ScaleSelection(CollageDocument& doc, int steps) {
    bool any = false;
    const float factor = std::pow(kKeyScaleStep, float(steps));
    for (CanvasObject& o : doc.objects) {
        // A photo of the layout keeps the size its cell gives it.
        if (!o.Selected() || CellOfObject(doc, o))
            continue;
        any = true;
        const QSize size = o.UnscaledSize();
        const float w = float(size.width());
        const float h = float(size.height());
        const float before = o.Scale();
        float scale = before * factor;
        if (w + h > 0.0f && (w + h) * scale < 16.0f)
            scale = 16.0f / (w + h);
        const QPoint p = o.Position();
        const float cx = float(p.x()) + w * before / 2.0f;
        const float cy = float(p.y()) + h * before / 2.0f;
        o.SetPosition(QPoint(int(std::lround(cx - w * scale / 2.0f)),
                             int(std::lround(cy - h * scale / 2.0f))));
        o.SetScale(scale);
    }
    if (any)
        doc.MarkModified();
    return any;
}

bool TurnSelection(CollageDocument& doc, int steps) {
    bool any = false;
    for (CanvasObject& o : doc.objects) {
        // A photo of the layout stays upright in its cell.
        if (!o.Selected() || CellOfObject(doc, o))
            continue;
        any = true;
        o.SetAngle(std::fmod(o.Angle() + float(steps) * kKeyTurnStep, 360.0f));
    }
    if (any)
        doc.MarkModified();
    return any;
}

int AdjacentObject(const CollageDocument& doc, int direction) {
    const int count = int(doc.objects.size());
    int first = -1;
    for (int i = 0; i < count; ++i)
        if (doc.objects[size_t(i)].Selected()) {
            first = i;
            break;
        }
    const int next = first < 0 ? (direction > 0 ? 0 : count - 1) : first + (direction > 0 ? 1 : -1);
    return next >= 0 && next < count ? next : -1;
}

bool SelectOnlyObject(CollageDocument& doc, int index) {
    const int count = int(doc.objects.size());
    if (index < 0 || index >= count)
        return false;
    for (int i = 0; i < count; ++i)
        doc.objects[size_t(i)].SetSelected(i == index);
    Q_EMIT doc.changed();
    return true;
}

} // namespace mosaiq
