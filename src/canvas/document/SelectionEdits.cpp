#include "canvas/document/SelectionEdits.h"

#include "canvas/document/LayoutPlacement.h"

#include "core/text/FixedText.h"
#include "canvas/document/CollageDocument.h"
#include "text/TextDraw.h"

#include <algorithm>
#include <cstring>

namespace mosaiq {
namespace {

CanvasObject* FirstSelectedText(CollageDocument& doc) {
    for (CanvasObject& o : doc.objects)
        if (o.Selected() && o.Kind() == ObjectKind::Text)
            return &o;
    return nullptr;
}

void Remeasure(CollageDocument& doc, CanvasObject& object) {
    TextRecord& r = *object.Text();
    const QSize box = MeasureText(r);
    r.textWidth = box.width();
    r.textHeight = box.height();
    object.DropCaches();
    doc.RebuildRegion(object);
}

} // namespace

bool SetSelectedText(CollageDocument& doc, const QString& text) {
    WriteFixedText(doc.textTemplate.text, text);
    CanvasObject* object = FirstSelectedText(doc);
    if (!object)
        return false;
    TextRecord& r = *object->Text();
    if (std::memcmp(r.text, doc.textTemplate.text, sizeof r.text) == 0)
        return false;
    std::copy(std::begin(doc.textTemplate.text), std::end(doc.textTemplate.text),
              std::begin(r.text));
    Remeasure(doc, *object);
    doc.NoteBurstEdit();
    doc.MarkModified();
    return true;
}

bool ApplyTemplateToSelectedText(CollageDocument& doc) {
    CanvasObject* object = FirstSelectedText(doc);
    if (!object)
        return false;
    TextRecord& r = *object->Text();
    const TextTemplate& t = doc.textTemplate;
    const bool newFace =
        std::memcmp(r.font.lfFaceName, t.font.lfFaceName, sizeof r.font.lfFaceName);
    const bool same = !newFace && r.style == t.style && r.firstColour == t.firstColour &&
                      r.secondColour == t.secondColour && r.transparency == t.transparency;
    if (same)
        return false;
    std::copy(std::begin(t.font.lfFaceName), std::end(t.font.lfFaceName),
              std::begin(r.font.lfFaceName));
    r.font.lfWidth = 0;
    r.style = t.style;
    r.firstColour = t.firstColour;
    r.secondColour = t.secondColour;
    r.transparency = t.transparency;
    if (newFace)
        Remeasure(doc, *object);
    else
        object->DropCaches();
    doc.MarkModified();
    return true;
}

bool NudgeSelection(CollageDocument& doc, int dx, int dy) {
    bool any = false;
    for (CanvasObject& o : doc.objects) {
        // A photo of the layout stays in its cell.
        if (!o.Selected() || CellOfObject(doc, o))
            continue;
        o.SetPosition(o.Position() + QPoint(dx, dy));
        any = true;
    }
    if (any) {
        doc.NoteBurstEdit();
        doc.MarkModified();
    }
    return any;
}

int SelectAllObjects(CollageDocument& doc) {
    for (CanvasObject& o : doc.objects)
        o.SetSelected(true);
    Q_EMIT doc.changed();
    return int(doc.objects.size());
}

void CommitSelectionEdit(CollageDocument& doc) {
    // The state now ends the burst (a pending one included): one step.
    doc.NoteBurstEdit();
    doc.CommitBurst();
    doc.MarkModified();
}

} // namespace mosaiq
