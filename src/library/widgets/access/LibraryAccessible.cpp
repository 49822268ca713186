#include "library/widgets/access/LibraryAccessible.h"

#include "library/widgets/CLibraryPanel.h"
#include "library/widgets/photos/CPhotoBrowser.h"
#include "library/widgets/photos/CScanProgressWindow.h"
#include "ui/widgets/access/AccessibleItems.h"
#include "ui/widgets/access/UiAccessible.h"

namespace mosaiq {
namespace {

class LibraryPanelAccessible : public AccessibleItemView {
public:
    explicit LibraryPanelAccessible(CLibraryPanel* p)
        : AccessibleItemView(p, QAccessible::List, QAccessible::ListItem) {}
    CLibraryPanel* Panel() const { return static_cast<CLibraryPanel*>(widget()); }
    int ItemCount() const override { return Panel()->Count(); }
    QString ItemName(int item) const override { return Panel()->ItemName(item); }
    QRect ItemRect(int item) const override { return Panel()->Grid().ItemRect(item); }
    bool ItemSelected(int item) const override { return Panel()->SelectedIndex() == item; }
    int CurrentItem() const override { return Panel()->SelectedIndex(); }
    void SelectItem(int item) override {
        Panel()->Select(item);
        Panel()->ShowItem(item);
        Q_EMIT Panel()->selectionMade(Panel()->Kind(), Panel()->SelectedCode());
    }
    void PressItem(int item) override { Panel()->Choose(item); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && ControlName(widget()).isEmpty()) {
            if (Panel()->ShowsBrushes())
                return CLibraryPanel::tr("Brushes");
            switch (Panel()->Kind()) {
            case CLibraryPanel::kFrameKind: return CLibraryPanel::tr("Frames");
            case CLibraryPanel::kMaskKind: return CLibraryPanel::tr("Masks");
            case CLibraryPanel::kClipartKind: return CLibraryPanel::tr("Cliparts");
            default: return CLibraryPanel::tr("Decorations");
            }
        }
        return AccessibleItemView::text(t);
    }
};

class PhotoBrowserAccessible : public AccessibleItemView {
public:
    explicit PhotoBrowserAccessible(CPhotoBrowser* b)
        : AccessibleItemView(b, QAccessible::List, QAccessible::ListItem) {}
    CPhotoBrowser* Browser() const { return static_cast<CPhotoBrowser*>(widget()); }
    int ItemCount() const override { return Browser()->Selection().VisibleCount(); }
    QString ItemName(int item) const override { return Browser()->FileNameAt(item); }
    QRect ItemRect(int item) const override { return Browser()->Grid().Cell(item); }
    bool ItemSelected(int item) const override {
        return Browser()->Selection().IsSelected(Browser()->Selection().RecordAt(item));
    }
    int CurrentItem() const override {
        return Browser()->Selection().PositionOf(Browser()->Anchor());
    }
    void SelectItem(int item) override { Browser()->SelectPosition(item); }
    void PressItem(int) override { Q_EMIT Browser()->addRequested(); }
    QAccessible::State state() const override {
        QAccessible::State s = AccessibleItemView::state();
        s.multiSelectable = true;
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && ControlName(widget()).isEmpty())
            return CPhotoBrowser::tr("Photo library");
        return AccessibleItemView::text(t);
    }
};

class ScanProgressAccessible : public QAccessibleWidget {
public:
    explicit ScanProgressAccessible(CScanProgressWindow* w)
        : QAccessibleWidget(w, QAccessible::Dialog) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return CScanProgressWindow::tr("Importing photos");
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* LibraryFactory(const QString&, QObject* object) {
    if (auto* p = qobject_cast<CLibraryPanel*>(object))
        return new LibraryPanelAccessible(p);
    if (auto* b = qobject_cast<CPhotoBrowser*>(object))
        return new PhotoBrowserAccessible(b);
    if (auto* w = qobject_cast<CScanProgressWindow*>(object))
        return new ScanProgressAccessible(w);
    return nullptr;
}

} // namespace

void InstallLibraryAccessibility() {
    InstallUiAccessibility();
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(LibraryFactory);
}

} // namespace mosaiq
