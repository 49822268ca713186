#pragma once

// What every floor's accessibility shares: how a control is named, how a change is announced to
// assistive technology, and a view whose drawn items (list rows, thumbnails, canvas objects) are
// exposed as children of their own, each with a name, a rectangle, a selected state and actions.
//
// A control's name is, in order: the accessible name its owner gave it, its caption (mnemonic
// marks removed), its tooltip, the text of the label beside it. Its description is the tooltip
// when that says more than the name.

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QString>

#include <vector>

namespace mosaiq {

// The caption without its mnemonic marks ("&File" -> "File", "&&" -> "&").
QString PlainCaption(const QString& caption);
// The text of the label that names w: a QLabel whose buddy is w, else the nearest label on w's
// row ending left of it, else the nearest label right above it; empty when there is none.
QString LabelBeside(const QWidget* w);
// The name by the order above, caption given by the family.
QString ControlName(const QWidget* w, const QString& caption = QString());
// The tooltip when it is more than the name; else the owner's accessible description.
QString ControlDescription(const QWidget* w, const QString& name);

// Announcements; they reach assistive technology only while one listens, and the watcher (when
// set) always: a log or a test sees what a screen reader would be told.
using AnnouncementWatcher = void (*)(QAccessibleEvent* event);
void SetAnnouncementWatcher(AnnouncementWatcher watcher);
void Announce(QAccessibleEvent& event);
void AnnounceState(QObject* control, QAccessible::State changed);
void AnnounceValue(QObject* control, const QVariant& value);
void AnnounceName(QObject* control);
// An item of an AccessibleItemView took the focus and was selected (type Focus or Selection).
void AnnounceItem(QWidget* view, int item, QAccessible::Event type);

// A widget whose items are children ahead of its child widgets. Items are numbered 0..count-1
// and child i of the view is item i; child widgets follow.
class AccessibleItemView : public QAccessibleWidget {
public:
    AccessibleItemView(QWidget* w, QAccessible::Role role, QAccessible::Role itemRole);
    ~AccessibleItemView() override;

    // --- the items, in the view's own terms
    virtual int ItemCount() const = 0;
    virtual QString ItemName(int item) const = 0;
    virtual QString ItemDescription(int) const { return QString(); }
    // The item's rectangle in the view's client pixels.
    virtual QRect ItemRect(int item) const = 0;
    virtual bool ItemSelected(int item) const = 0;
    // The item the keyboard is on.
    virtual int CurrentItem() const = 0;
    virtual QAccessible::Role ItemRole(int) const { return m_itemRole; }
    // "Press": what a double click on the item does.
    virtual void PressItem(int item) = 0;
    // Makes the item the only selected and current one, as a click does.
    virtual void SelectItem(int item) = 0;
    virtual QStringList ItemActions(int item) const;
    virtual void DoItemAction(int item, const QString& action);

    // --- QAccessibleInterface
    QAccessible::Role role() const override { return m_role; }
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // The interface of item i (created and registered on first use).
    QAccessibleInterface* Item(int item) const;

private:
    QAccessible::Role m_role;
    QAccessible::Role m_itemRole;
    mutable std::vector<QAccessible::Id> m_items;
};

} // namespace mosaiq
