#include "ui/widgets/access/UiAccessible.h"

#include "ui/ColorrefColour.h"
#include "ui/NamedColours.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/widgets/CColourPalette.h"
#include "ui/widgets/CColourPopup.h"
#include "ui/widgets/CComboDropDown.h"
#include "ui/widgets/CQorListBox.h"
#include "ui/widgets/CSkinDialog.h"
#include "ui/widgets/CVexColourPicker.h"
#include "ui/widgets/CVexComboBox.h"
#include "ui/widgets/CVexScrollBar.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <QLineEdit>

namespace mosaiq {
namespace {

QString ColourText(Colorref colour) {
    if (colour == kAutomaticColour)
        return QStringLiteral("Automatic");
    const int named = NamedColourIndex(colour);
    if (named >= 0)
        return QLatin1String(NamedColours()[size_t(named)].name);
    return ColorFromColorref(colour).name();
}

class ButtonAccessible : public QAccessibleWidget {
public:
    explicit ButtonAccessible(CBitmapButton* b) : QAccessibleWidget(b) {}
    CBitmapButton* Button() const { return static_cast<CBitmapButton*>(widget()); }

    QAccessible::Role role() const override {
        switch (Button()->GetAccessRole()) {
        case CBitmapButton::AccessRole::CheckBox: return QAccessible::CheckBox;
        case CBitmapButton::AccessRole::RadioButton: return QAccessible::RadioButton;
        case CBitmapButton::AccessRole::PageTab: return QAccessible::PageTab;
        default: return QAccessible::Button;
        }
    }
    QString text(QAccessible::Text t) const override {
        const QString name = ControlName(Button(), Button()->Caption());
        if (t == QAccessible::Name)
            return name;
        if (t == QAccessible::Description)
            return ControlDescription(Button(), name);
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = Button()->State() == CBitmapButton::kPressed;
        if (Button()->GetAccessRole() != CBitmapButton::AccessRole::PushButton) {
            s.checkable = true;
            s.checked = Button()->IsChecked();
        }
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            Button()->Click();
        else
            QAccessibleWidget::doAction(action);
    }
};

// Shared by the slider and the scroll bars: a value with a range and step actions.
class RangeAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    RangeAccessible(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}
    virtual int Current() const = 0;
    virtual int Min() const = 0;
    virtual int Max() const = 0;
    virtual void Step(int direction) = 0;
    virtual void SetCurrent(int value) = 0;

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override {
        const QString name = ControlName(widget());
        if (t == QAccessible::Name)
            return name;
        if (t == QAccessible::Description)
            return ControlDescription(widget(), name);
        if (t == QAccessible::Value)
            return QString::number(Current());
        return QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return Current(); }
    void setCurrentValue(const QVariant& value) override { SetCurrent(value.toInt()); }
    QVariant maximumValue() const override { return Max(); }
    QVariant minimumValue() const override { return Min(); }
    QVariant minimumStepSize() const override { return 1; }
    QStringList actionNames() const override {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == increaseAction())
            Step(1);
        else if (action == decreaseAction())
            Step(-1);
        else
            QAccessibleWidget::doAction(action);
    }
};

class SliderAccessible : public RangeAccessible {
public:
    explicit SliderAccessible(CBitmapSlider* s) : RangeAccessible(s, QAccessible::Slider) {}
    CBitmapSlider* Slider() const { return static_cast<CBitmapSlider*>(widget()); }
    int Current() const override { return Slider()->Position(); }
    int Min() const override { return Slider()->Minimum(); }
    int Max() const override { return Slider()->Maximum(); }
    void Step(int direction) override { Slider()->StepBy(direction); }
    void SetCurrent(int value) override { Slider()->StepBy(value - Slider()->Position()); }
};

class ScrollBarAccessible : public RangeAccessible {
public:
    explicit ScrollBarAccessible(CVexScrollBar* b) : RangeAccessible(b, QAccessible::ScrollBar) {}
    CVexScrollBar* Bar() const { return static_cast<CVexScrollBar*>(widget()); }
    int Current() const override { return Bar()->Position(); }
    int Min() const override { return 0; }
    int Max() const override { return Bar()->Range(); }
    void Step(int direction) override {
        Bar()->Step(direction > 0 ? ScrollCode::LineDown : ScrollCode::LineUp);
    }
    void SetCurrent(int value) override {
        Bar()->SetPosition(value);
        Bar()->Step(ScrollCode::ThumbDrag);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && ControlName(widget()).isEmpty())
            return Bar()->Orientation() == Qt::Vertical ? QStringLiteral("Vertical scroll bar")
                                                        : QStringLiteral("Horizontal scroll bar");
        return RangeAccessible::text(t);
    }
};

class ListBoxAccessible : public AccessibleItemView {
public:
    explicit ListBoxAccessible(CQorListBox* l)
        : AccessibleItemView(l, QAccessible::List, QAccessible::ListItem) {}
    CQorListBox* List() const { return static_cast<CQorListBox*>(widget()); }
    int ItemCount() const override { return List()->Count(); }
    QString ItemName(int item) const override { return List()->Items().at(item); }
    QRect ItemRect(int item) const override {
        const int h = List()->ItemHeight();
        return QRect(-List()->Offset().x(), item * h - List()->Offset().y(),
                     std::max(List()->width(), List()->ContentSize().width()), h);
    }
    bool ItemSelected(int item) const override { return List()->CurrentRow() == item; }
    int CurrentItem() const override { return List()->CurrentRow(); }
    void SelectItem(int item) override {
        List()->SetCurrentRow(item);
        Q_EMIT List()->rowClicked(item);
    }
    void PressItem(int item) override { Q_EMIT List()->rowActivated(item); }
    QString text(QAccessible::Text t) const override {
        // A list inside a combo box's drop-down is named after the combo box.
        if (t == QAccessible::Name && ControlName(widget()).isEmpty())
            if (auto* drop = qobject_cast<CComboDropDown*>(widget()->window()))
                if (QAccessibleInterface* owner = QAccessible::queryAccessibleInterface(
                        drop->parentWidget() ? drop->parentWidget() : nullptr))
                    return owner->text(QAccessible::Name);
        return AccessibleItemView::text(t);
    }
};

class ComboAccessible : public QAccessibleWidget {
public:
    explicit ComboAccessible(CVexComboBox* c) : QAccessibleWidget(c, QAccessible::ComboBox) {}
    CVexComboBox* Combo() const { return static_cast<CVexComboBox*>(widget()); }
    QString text(QAccessible::Text t) const override {
        const QString name = ControlName(Combo());
        if (t == QAccessible::Name)
            return name;
        if (t == QAccessible::Description)
            return ControlDescription(Combo(), name);
        if (t == QAccessible::Value)
            return Combo()->Text();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = Combo()->IsDroppedDown();
        s.collapsed = !s.expanded;
        s.editable = Combo()->ComboStyle() == CVexComboBox::Style::DropDown;
        s.hasPopup = true;
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction(), showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction() || action == showMenuAction())
            Combo()->ShowDropDown(!Combo()->IsDroppedDown());
        else
            QAccessibleWidget::doAction(action);
    }
};

class DropDownAccessible : public QAccessibleWidget {
public:
    explicit DropDownAccessible(CComboDropDown* d) : QAccessibleWidget(d, QAccessible::Window) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->parentWidget())
            if (QAccessibleInterface* owner =
                    QAccessible::queryAccessibleInterface(widget()->parentWidget()))
                return owner->text(QAccessible::Name);
        return QAccessibleWidget::text(t);
    }
};

class PickerAccessible : public QAccessibleWidget {
public:
    explicit PickerAccessible(CVexColourPicker* p)
        : QAccessibleWidget(p, QAccessible::ButtonDropDown) {}
    CVexColourPicker* Picker() const { return static_cast<CVexColourPicker*>(widget()); }
    QString text(QAccessible::Text t) const override {
        const QString name = ControlName(Picker());
        if (t == QAccessible::Name)
            return name;
        if (t == QAccessible::Description)
            return ControlDescription(Picker(), name);
        if (t == QAccessible::Value)
            return ColourText(Picker()->Colour());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.hasPopup = true;
        s.expanded = Picker()->IsPopupActive();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction(), showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction() || action == showMenuAction())
            Picker()->OpenPopup();
        else
            QAccessibleWidget::doAction(action);
    }
};

// The popup's 40 colour cells, then its Automatic and More Colours boxes where it has them.
class PopupAccessible : public AccessibleItemView {
public:
    explicit PopupAccessible(CColourPopup* p)
        : AccessibleItemView(p, QAccessible::List, QAccessible::ListItem) {}
    CColourPopup* Popup() const { return static_cast<CColourPopup*>(widget()); }
    static int PopupIndex(int item) {
        return item < kNamedColourCount ? item
               : item == kNamedColourCount ? kPopupAutomatic
                                           : kPopupMoreColours;
    }
    int ItemCount() const override { return kNamedColourCount + 2; }
    QString ItemName(int item) const override {
        if (item < kNamedColourCount)
            return QLatin1String(NamedColours()[size_t(item)].name);
        return item == kNamedColourCount ? QStringLiteral("Automatic")
                                         : QStringLiteral("More Colours...");
    }
    QRect ItemRect(int item) const override { return Popup()->Layout().ItemRect(PopupIndex(item)); }
    bool ItemSelected(int item) const override {
        return Popup()->SelectedIndex() == PopupIndex(item);
    }
    int CurrentItem() const override {
        const int hover = Popup()->HoverIndex();
        for (int i = 0; i < ItemCount(); ++i)
            if (PopupIndex(i) == hover)
                return i;
        return -1;
    }
    void SelectItem(int item) override { Popup()->MarkItem(PopupIndex(item)); }
    void PressItem(int item) override { Popup()->ChooseItem(PopupIndex(item)); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return QStringLiteral("Colours");
        return AccessibleItemView::text(t);
    }
};

class PaletteAccessible : public QAccessibleWidget {
public:
    explicit PaletteAccessible(CColourPalette* p)
        : QAccessibleWidget(p, QAccessible::ColorChooser) {}
    CColourPalette* Palette() const { return static_cast<CColourPalette*>(widget()); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            const QString name = ControlName(Palette());
            return name.isEmpty() ? QStringLiteral("Colour palette") : name;
        }
        if (t == QAccessible::Value)
            return ColourText(Palette()->Colour());
        return QAccessibleWidget::text(t);
    }
};

class SkinDialogAccessible : public QAccessibleWidget {
public:
    explicit SkinDialogAccessible(CSkinDialog* d) : QAccessibleWidget(d, QAccessible::Dialog) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return widget()->windowTitle();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* UiFactory(const QString&, QObject* object) {
    if (auto* b = qobject_cast<CBitmapButton*>(object))
        return new ButtonAccessible(b);
    if (auto* s = qobject_cast<CBitmapSlider*>(object))
        return new SliderAccessible(s);
    if (auto* bar = qobject_cast<CVexScrollBar*>(object))
        return new ScrollBarAccessible(bar);
    if (auto* l = qobject_cast<CQorListBox*>(object))
        return new ListBoxAccessible(l);
    if (auto* c = qobject_cast<CVexComboBox*>(object))
        return new ComboAccessible(c);
    if (auto* d = qobject_cast<CComboDropDown*>(object))
        return new DropDownAccessible(d);
    if (auto* p = qobject_cast<CVexColourPicker*>(object))
        return new PickerAccessible(p);
    if (auto* p = qobject_cast<CColourPopup*>(object))
        return new PopupAccessible(p);
    if (auto* p = qobject_cast<CColourPalette*>(object))
        return new PaletteAccessible(p);
    if (auto* d = qobject_cast<CSkinDialog*>(object))
        return new SkinDialogAccessible(d);
    return nullptr;
}

} // namespace

void InstallUiAccessibility() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(UiFactory);
}

} // namespace mosaiq
