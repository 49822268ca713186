#include "shell/widgets/access/CStatusLine.h"

#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/access/CanvasAccessible.h"
#include "ui/widgets/access/AccessibleItems.h"

namespace mosaiq {

CStatusLine::CStatusLine(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("statusLine"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Shown, so assistive technology lists it, but without a pixel of its own.
    setGeometry(0, 0, 0, 0);
}

void CStatusLine::Show(const QString& text) {
    m_text = text;
    setAccessibleName(text);
    AnnounceName(this);
}

void CStatusLine::Follow(CCollageCanvas& canvas) {
    m_objects = int(canvas.Document().objects.size());
    connect(&canvas, &CCollageCanvas::historyChanged, this, [this, &canvas] { OnHistory(canvas); });
    connect(&canvas, &CCollageCanvas::selectionChanged, this,
            [this, &canvas] { OnSelection(canvas); });
    connect(&canvas.Document(), &CollageDocument::saved, this, [this] { Show(tr("Project saved")); });
}

void CStatusLine::OnHistory(CCollageCanvas& canvas) {
    const auto& objects = canvas.Document().objects;
    const int now = int(objects.size());
    const int before = m_objects;
    m_objects = now;
    if (now == before + 1)
        Show(tr("%1 added").arg(CanvasObjectName(objects.back())));
    else if (now > before)
        Show(tr("%1 objects added").arg(now - before));
    else if (now == before - 1)
        Show(tr("1 object deleted"));
    else if (now < before)
        Show(tr("%1 objects deleted").arg(before - now));
}

void CStatusLine::OnSelection(CCollageCanvas& canvas) {
    int count = 0;
    const CanvasObject* first = nullptr;
    for (const CanvasObject& o : canvas.Document().objects)
        if (o.Selected() && count++ == 0)
            first = &o;
    const QString text = count == 0   ? tr("Nothing selected")
                         : count == 1 ? tr("%1 selected").arg(CanvasObjectName(*first))
                                      : tr("%1 objects selected").arg(count);
    // A press that changes nothing says nothing again.
    if (text != m_text)
        Show(text);
}

void AnnounceStatus(QWidget* w, const QString& text) {
    if (!w)
        return;
    if (auto* line = w->window()->findChild<CStatusLine*>(QStringLiteral("statusLine")))
        line->Show(text);
}

} // namespace mosaiq
