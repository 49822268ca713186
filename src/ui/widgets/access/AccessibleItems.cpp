#include "ui/widgets/access/AccessibleItems.h"

#include <QLabel>
#include <QWidget>

#include <limits>

namespace mosaiq {

QString PlainCaption(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain.trimmed();
}

QString LabelBeside(const QWidget* w) {
    const QWidget* parent = w ? w->parentWidget() : nullptr;
    if (!parent)
        return QString();
    const QList<QLabel*> labels = parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    for (const QLabel* label : labels)
        if (label->buddy() == w && !label->text().isEmpty())
            return PlainCaption(label->text());
    const QRect g = w->geometry();
    const QLabel* best = nullptr;
    int bestDistance = std::numeric_limits<int>::max();
    for (const QLabel* label : labels) {
        if (label->isHidden() || label->text().isEmpty())
            continue;
        const QRect l = label->geometry();
        const bool sameRow = l.bottom() >= g.top() && l.top() <= g.bottom() && l.right() <= g.left();
        const bool above = l.bottom() <= g.top() && g.top() - l.bottom() <= 24 &&
                           l.right() >= g.left() && l.left() <= g.right();
        int distance = std::numeric_limits<int>::max();
        if (sameRow)
            distance = g.left() - l.right();
        else if (above)
            distance = 1000 + g.top() - l.bottom(); // a label on the row wins over one above
        if (distance < bestDistance) {
            bestDistance = distance;
            best = label;
        }
    }
    return best ? PlainCaption(best->text()) : QString();
}

QString ControlName(const QWidget* w, const QString& caption) {
    if (!w)
        return QString();
    if (!w->accessibleName().isEmpty())
        return w->accessibleName();
    if (const QString plain = PlainCaption(caption); !plain.isEmpty())
        return plain;
    if (!w->toolTip().isEmpty())
        return w->toolTip();
    return LabelBeside(w);
}

QString ControlDescription(const QWidget* w, const QString& name) {
    if (!w)
        return QString();
    if (!w->accessibleDescription().isEmpty())
        return w->accessibleDescription();
    return w->toolTip() != name ? w->toolTip() : QString();
}

namespace {
AnnouncementWatcher g_watcher = nullptr;
} // namespace

void SetAnnouncementWatcher(AnnouncementWatcher watcher) {
    g_watcher = watcher;
}

void Announce(QAccessibleEvent& event) {
    if (g_watcher)
        g_watcher(&event);
    QAccessible::updateAccessibility(&event);
}

void AnnounceState(QObject* control, QAccessible::State changed) {
    QAccessibleStateChangeEvent event(control, changed);
    Announce(event);
}

void AnnounceValue(QObject* control, const QVariant& value) {
    QAccessibleValueChangeEvent event(control, value);
    Announce(event);
}

void AnnounceName(QObject* control) {
    QAccessibleEvent event(control, QAccessible::NameChanged);
    Announce(event);
}

void AnnounceItem(QWidget* view, int item, QAccessible::Event type) {
    if (!view || item < 0)
        return;
    QAccessibleEvent event(view, type);
    event.setChild(item);
    Announce(event);
}

namespace {

// One item of a view. It reaches the view through its widget, so it stays safe when the view's
// interface is gone, and is invalid once the item no longer exists.
class ItemInterface : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ItemInterface(QWidget* view, int item) : m_view(view), m_item(item) {}

    AccessibleItemView* View() const {
        if (!m_view)
            return nullptr;
        return dynamic_cast<AccessibleItemView*>(QAccessible::queryAccessibleInterface(m_view));
    }
    bool isValid() const override {
        const AccessibleItemView* view = View();
        return view && m_item < view->ItemCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return View(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        const AccessibleItemView* view = View();
        if (!view || !isValid())
            return QString();
        if (t == QAccessible::Name)
            return view->ItemName(m_item);
        if (t == QAccessible::Description)
            return view->ItemDescription(m_item);
        return QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const AccessibleItemView* view = View();
        if (!view || !isValid())
            return QRect();
        const QRect local = view->ItemRect(m_item).intersected(m_view->rect());
        return local.isEmpty() ? QRect() : QRect(m_view->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override {
        const AccessibleItemView* view = View();
        return view && isValid() ? view->ItemRole(m_item) : QAccessible::ListItem;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        const AccessibleItemView* view = View();
        if (!view || !isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = view->ItemSelected(m_item);
        s.focused = m_view->hasFocus() && view->CurrentItem() == m_item;
        s.active = view->CurrentItem() == m_item;
        s.disabled = !m_view->isEnabled();
        const QRect local = view->ItemRect(m_item);
        s.offscreen = !m_view->isVisible() || !m_view->rect().intersects(local);
        s.invisible = !m_view->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                 : nullptr;
    }
    QStringList actionNames() const override {
        const AccessibleItemView* view = View();
        return view && isValid() ? view->ItemActions(m_item) : QStringList();
    }
    void doAction(const QString& action) override {
        if (AccessibleItemView* view = View(); view && isValid())
            view->DoItemAction(m_item, action);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QWidget> m_view;
    int m_item;
};

} // namespace

AccessibleItemView::AccessibleItemView(QWidget* w, QAccessible::Role role, QAccessible::Role itemRole)
    : QAccessibleWidget(w, role), m_role(role), m_itemRole(itemRole) {}

AccessibleItemView::~AccessibleItemView() {
    for (QAccessible::Id id : m_items)
        QAccessible::deleteAccessibleInterface(id);
}

QStringList AccessibleItemView::ItemActions(int) const {
    return {pressAction(), setFocusAction()};
}

void AccessibleItemView::DoItemAction(int item, const QString& action) {
    if (action == pressAction()) {
        SelectItem(item);
        PressItem(item);
    } else if (action == setFocusAction()) {
        widget()->setFocus(Qt::OtherFocusReason);
        SelectItem(item);
    }
}

QString AccessibleItemView::text(QAccessible::Text t) const {
    if (t == QAccessible::Name)
        return ControlName(widget());
    if (t == QAccessible::Description)
        return ControlDescription(widget(), ControlName(widget()));
    return QAccessibleWidget::text(t);
}

int AccessibleItemView::childCount() const {
    return ItemCount() + QAccessibleWidget::childCount();
}

QAccessibleInterface* AccessibleItemView::Item(int item) const {
    if (item < 0 || item >= ItemCount())
        return nullptr;
    while (int(m_items.size()) <= item) {
        auto* iface = new ItemInterface(widget(), int(m_items.size()));
        m_items.push_back(QAccessible::registerAccessibleInterface(iface));
    }
    return QAccessible::accessibleInterface(m_items[size_t(item)]);
}

QAccessibleInterface* AccessibleItemView::child(int index) const {
    const int items = ItemCount();
    if (index < items)
        return Item(index);
    return QAccessibleWidget::child(index - items);
}

int AccessibleItemView::indexOfChild(const QAccessibleInterface* child) const {
    if (!child)
        return -1;
    const int items = ItemCount();
    for (int i = 0; i < items && i < int(m_items.size()); ++i)
        if (QAccessible::accessibleInterface(m_items[size_t(i)]) == child)
            return i;
    const int widgetIndex = QAccessibleWidget::indexOfChild(child);
    return widgetIndex < 0 ? -1 : items + widgetIndex;
}

QAccessibleInterface* AccessibleItemView::childAt(int x, int y) const {
    const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
    if (QAccessibleInterface* w = QAccessibleWidget::childAt(x, y))
        return w;
    for (int i = ItemCount() - 1; i >= 0; --i) // topmost first
        if (ItemRect(i).contains(local))
            return Item(i);
    return nullptr;
}

QAccessibleInterface* AccessibleItemView::focusChild() const {
    const int current = CurrentItem();
    if (widget()->hasFocus() && current >= 0 && current < ItemCount())
        return Item(current);
    return QAccessibleWidget::focusChild();
}

} // namespace mosaiq
