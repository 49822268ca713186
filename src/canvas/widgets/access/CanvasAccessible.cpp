#include "canvas/widgets/access/CanvasAccessible.h"

#include "canvas/document/CanvasObject.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "core/text/FixedText.h"
#include "library/items/DecorationTypes.h"
#include "imaging/widgets/access/ImagingAccessible.h"
#include "library/widgets/access/LibraryAccessible.h"
#include "text/widgets/access/TextAccessible.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace mosaiq {
namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("CCollageCanvas", text);
}

// A library item's name from its source id (file = id / 1000, entry = id % 1000).
QString LibraryItemName(int sourceId) {
    const int type = sourceId / 1000;
    const QString number = QString::number(sourceId % 1000 + 1);
    if (type == 0)
        return Tr("Clipart %1").arg(number);
    const int selector = type == kImportedDecorationType ? kImportedSelector : type - 1;
    return Tr("Decoration %1 %2").arg(DecorationSelectorName(selector), number);
}

class CanvasAccessibleView : public AccessibleItemView {
public:
    explicit CanvasAccessibleView(CCollageCanvas* c)
        : AccessibleItemView(c, QAccessible::Canvas, QAccessible::Graphic) {}
    CCollageCanvas* Canvas() const { return static_cast<CCollageCanvas*>(widget()); }
    const CollageDocument& Doc() const { return Canvas()->Document(); }

    int ItemCount() const override { return int(Doc().objects.size()); }
    QString ItemName(int item) const override {
        return CanvasObjectName(Doc().objects[size_t(item)]);
    }
    QRect ItemRect(int item) const override {
        Canvas()->EnsureRegions();
        return Canvas()->ObjectClientRect(item);
    }
    bool ItemSelected(int item) const override { return Doc().objects[size_t(item)].Selected(); }
    int CurrentItem() const override {
        for (size_t i = 0; i < Doc().objects.size(); ++i)
            if (Doc().objects[i].Selected())
                return int(i);
        return -1;
    }
    void SelectItem(int item) override { Canvas()->SelectObject(item); }
    void PressItem(int) override {} // selecting is what a click on an object does
    QStringList ItemActions(int) const override {
        return {pressAction(), showMenuAction()};
    }
    void DoItemAction(int item, const QString& action) override {
        if (action == pressAction()) {
            SelectItem(item);
        } else if (action == showMenuAction()) {
            SelectItem(item);
            const QRect r = ItemRect(item).intersected(Canvas()->rect());
            Q_EMIT Canvas()->contextMenuRequested(
                Canvas()->mapToGlobal(r.isEmpty() ? Canvas()->rect().center() : r.center()));
        }
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && ControlName(widget()).isEmpty())
            return Tr("Collage");
        if (t == QAccessible::Description && ControlName(widget()).isEmpty())
            return Tr("%1 x %2 pixels, %3 objects").arg(Doc().width).arg(Doc().height).arg(ItemCount());
        return AccessibleItemView::text(t);
    }
};

QAccessibleInterface* CanvasFactory(const QString&, QObject* object) {
    if (auto* c = qobject_cast<CCollageCanvas*>(object))
        return new CanvasAccessibleView(c);
    return nullptr;
}

} // namespace

QString CanvasObjectName(const CanvasObject& object) {
    if (const PhotoRecord* photo = object.Photo())
        return Tr("Photo %1").arg(QFileInfo(ReadFixedText(photo->path)).fileName());
    if (const TextRecord* text = object.Text()) {
        QString words = ReadFixedText(text->text).simplified();
        if (words.size() > 80)
            words = words.left(80) + QChar(0x2026);
        return Tr("Text %1").arg(words);
    }
    if (const ClipartRecord* clipart = object.Clipart())
        return clipart->pasted ? Tr("Picture %1").arg(clipart->sourceId + 1)
                               : LibraryItemName(clipart->sourceId);
    if (const StampRecord* stamp = object.Stamp())
        return Tr("Brush %1").arg(stamp->brushIndex + 1);
    return Tr("Object");
}

void InstallCanvasAccessibility() {
    InstallImagingAccessibility();
    InstallTextAccessibility();
    InstallLibraryAccessibility();
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(CanvasFactory);
}

} // namespace mosaiq
