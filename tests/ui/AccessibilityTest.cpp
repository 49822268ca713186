// The control toolkit as assistive technology sees it: each family's role, name, states, value
// and actions through QAccessible::queryAccessibleInterface, that "press" does what a click does,
// the keys of the families that gained them, the events they send and the skin's focus mark.
#include "ui/NamedColours.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/widgets/CColourPalette.h"
#include "ui/widgets/CColourPopup.h"
#include "ui/widgets/CQorListBox.h"
#include "ui/widgets/CSkinDialog.h"
#include "ui/widgets/CVexColourPicker.h"
#include "ui/widgets/CVexComboBox.h"
#include "ui/widgets/CVexScrollBar.h"
#include "ui/widgets/DialogProvider.h"
#include "ui/widgets/SkinPainting.h"
#include "ui/widgets/access/UiAccessible.h"

#include "ui/widgets/access/AccessibleItems.h"

#include <QAccessible>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace mosaiq {
namespace {

// Every accessibility event sent while a test runs.
struct EventLog {
    struct Entry {
        QAccessible::Event type;
        QObject* object;
        int child;
        QAccessible::State changed;
    };
    static std::vector<Entry>& Entries() {
        static std::vector<Entry> entries;
        return entries;
    }
    static void Record(QAccessibleEvent* event) {
        QAccessible::State changed;
        if (event->type() == QAccessible::StateChanged)
            changed = static_cast<QAccessibleStateChangeEvent*>(event)->changedStates();
        Entries().push_back({event->type(), event->object(), event->child(), changed});
    }
    EventLog() {
        Entries().clear();
        SetAnnouncementWatcher(&EventLog::Record);
    }
    ~EventLog() {
        SetAnnouncementWatcher(nullptr);
    }
    int Count(QAccessible::Event type, QObject* object, int child = -1) const {
        int n = 0;
        for (const Entry& e : Entries())
            n += e.type == type && e.object == object && e.child == child;
        return n;
    }
};

class UiAccessibility : public ::testing::Test {
protected:
    void SetUp() override {
        InstallUiAccessibility();
        window.setGeometry(50, 50, 400, 300);
    }
    void Show() {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    static QAccessibleInterface* Iface(QObject* o) { return QAccessible::queryAccessibleInterface(o); }
    static QStringList Actions(QAccessibleInterface* iface) {
        return iface->actionInterface() ? iface->actionInterface()->actionNames() : QStringList();
    }
    QWidget window;
};

// Role and name of each family, from the caption, the tooltip, the label beside or the name the
// owner gave.
TEST_F(UiAccessibility, EveryFamilyHasItsRoleAndName) {
    struct Case {
        const char* what;
        std::function<QWidget*(QWidget*)> make;
        QAccessible::Role role;
        QString name;
    };
    const std::vector<Case> cases = {
        {"captioned button", [](QWidget* p) {
             auto* b = new CBitmapButton(1, p);
             b->SetCaption(QStringLiteral("&Apply"));
             return b;
         }, QAccessible::Button, QStringLiteral("Apply")},
        {"icon-only button named by its tooltip", [](QWidget* p) {
             auto* b = new CBitmapButton(2, p);
             b->setToolTip(QStringLiteral("Undo"));
             return b;
         }, QAccessible::Button, QStringLiteral("Undo")},
        {"page tab", [](QWidget* p) {
             auto* b = new CBitmapButton(3, p);
             b->SetCaption(QStringLiteral("Mask"));
             b->SetAccessRole(CBitmapButton::AccessRole::PageTab);
             return b;
         }, QAccessible::PageTab, QStringLiteral("Mask")},
        {"slider named by the label beside it", [](QWidget* p) {
             auto* label = new QLabel(QStringLiteral("Brightness"), p);
             label->setGeometry(0, 100, 60, 16);
             auto* s = new CBitmapSlider(4, p);
             s->setGeometry(70, 100, 100, 16);
             return s;
         }, QAccessible::Slider, QStringLiteral("Brightness")},
        {"scroll bar", [](QWidget* p) { return new CVScrollBar(p); }, QAccessible::ScrollBar,
         QStringLiteral("Vertical scroll bar")},
        {"list box named by its buddy label", [](QWidget* p) {
             auto* label = new QLabel(QStringLiteral("&Fonts"), p);
             auto* l = new CQorListBox(p);
             label->setBuddy(l);
             return l;
         }, QAccessible::List, QStringLiteral("Fonts")},
        {"combo box named by its owner", [](QWidget* p) {
             auto* c = new CVexComboBox(CVexComboBox::Style::DropDownList, p);
             c->setAccessibleName(QStringLiteral("Zoom"));
             return c;
         }, QAccessible::ComboBox, QStringLiteral("Zoom")},
        {"colour picker", [](QWidget* p) {
             auto* c = new CVexColourPicker(p);
             c->setToolTip(QStringLiteral("Text Color"));
             return c;
         }, QAccessible::ButtonDropDown, QStringLiteral("Text Color")},
        {"palette", [](QWidget* p) { return new CColourPalette(p); }, QAccessible::ColorChooser,
         QStringLiteral("Colour palette")},
    };
    for (const Case& c : cases) {
        QWidget* w = c.make(&window);
        QAccessibleInterface* iface = Iface(w);
        ASSERT_NE(iface, nullptr) << c.what;
        EXPECT_EQ(iface->role(), c.role) << c.what;
        EXPECT_EQ(iface->text(QAccessible::Name), c.name) << c.what;
    }
    CSkinDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Batch Converter"));
    EXPECT_EQ(Iface(&dialog)->role(), QAccessible::Dialog);
    EXPECT_EQ(Iface(&dialog)->text(QAccessible::Name), QStringLiteral("Batch Converter"));
    EXPECT_EQ(Iface(dialog.CloseButton())->text(QAccessible::Name), QStringLiteral("Close"));
}

TEST_F(UiAccessibility, ButtonPressDoesWhatAClickDoesAndShowsItsStates) {
    auto* button = new CBitmapButton(10014, &window);
    button->SetCaption(QStringLiteral("Apply"));
    button->setToolTip(QStringLiteral("Apply the frame to the selected photo"));
    button->setGeometry(10, 10, 80, 20);
    Show();
    QAccessibleInterface* iface = Iface(button);
    EXPECT_EQ(iface->text(QAccessible::Description),
              QStringLiteral("Apply the frame to the selected photo"));
    ASSERT_TRUE(Actions(iface).contains(QAccessibleActionInterface::pressAction()));
    QSignalSpy commands(button, &CBitmapButton::commandIssued);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 10014);

    EXPECT_TRUE(iface->state().focusable);
    EXPECT_FALSE(iface->state().checkable);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(iface->state().pressed);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_FALSE(iface->state().pressed);

    button->Enable(false);
    EXPECT_TRUE(iface->state().disabled);
    EXPECT_EQ(commands.count(), 2) << "the click issued the command too";
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(commands.count(), 2) << "a disabled button ignores press";

    button->Enable(true);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(commands.count(), 4);

    EventLog log;
    button->SetAccessRole(CBitmapButton::AccessRole::PageTab);
    button->SetChecked(true);
    EXPECT_TRUE(iface->state().checkable);
    EXPECT_TRUE(iface->state().checked);
    EXPECT_EQ(log.Count(QAccessible::StateChanged, button), 1);
    button->SetChecked(true);
    EXPECT_EQ(log.Count(QAccessible::StateChanged, button), 1) << "no change, no event";
}

TEST_F(UiAccessibility, SliderValueActionsAndKeys) {
    auto* slider = new CBitmapSlider(10019, &window);
    slider->SetRange(0, 200);
    slider->SetPosition(100);
    slider->setGeometry(10, 10, 200, 16);
    slider->setAccessibleName(QStringLiteral("Brush size"));
    Show();
    QAccessibleInterface* iface = Iface(slider);
    QAccessibleValueInterface* value = iface->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
    EXPECT_EQ(value->maximumValue().toInt(), 200);
    EXPECT_EQ(value->currentValue().toInt(), 100);
    EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("100"));

    QSignalSpy moved(slider, &CBitmapSlider::positionChanged);
    EventLog log;
    iface->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    iface->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    iface->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    value->setCurrentValue(150);
    ASSERT_EQ(moved.count(), 4);
    EXPECT_EQ(moved.at(3).at(1).toInt(), 150);
    EXPECT_EQ(log.Count(QAccessible::ValueChanged, slider), 4);

    struct Key {
        Qt::Key key;
        int expected;
    };
    slider->setFocus();
    for (const Key& k : {Key{Qt::Key_Right, 151}, Key{Qt::Key_Left, 150}, Key{Qt::Key_Up, 151},
                         Key{Qt::Key_PageDown, 131}, Key{Qt::Key_PageUp, 151},
                         Key{Qt::Key_End, 200}, Key{Qt::Key_Right, 200}, Key{Qt::Key_Home, 0},
                         Key{Qt::Key_Down, 0}}) {
        QTest::keyClick(slider, k.key);
        EXPECT_EQ(slider->Position(), k.expected) << k.key;
    }
    // The two keys at the ends moved nothing and told nobody.
    EXPECT_EQ(moved.count(), 4 + 7);
}

TEST_F(UiAccessibility, ScrollBarStepsAsItsArrowsDo) {
    auto* bar = new CVScrollBar(&window);
    bar->setGeometry(0, 0, 17, 200);
    Show();
    bar->SetRange(300);
    bar->SetPosition(40);
    QAccessibleInterface* iface = Iface(bar);
    EXPECT_EQ(iface->valueInterface()->maximumValue().toInt(), 300);
    EXPECT_EQ(iface->valueInterface()->currentValue().toInt(), 40);
    QSignalSpy scrolled(bar, &CVexScrollBar::scrolled);
    iface->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    iface->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    ASSERT_EQ(scrolled.count(), 2);
    EXPECT_EQ(scrolled.at(0).at(0).toInt(), int(ScrollCode::LineDown));
    EXPECT_EQ(scrolled.at(1).at(0).toInt(), int(ScrollCode::LineUp));
}

TEST_F(UiAccessibility, ListItemsAreChildrenAndPressActivatesAsADoubleClick) {
    auto* list = new CQorListBox(&window);
    list->setGeometry(10, 10, 120, 36); // two rows fit, the third is out of view
    list->SetItems({QStringLiteral("Arial"), QStringLiteral("Courier"), QStringLiteral("Times")});
    list->setAccessibleName(QStringLiteral("Fonts"));
    Show();
    QAccessibleInterface* iface = Iface(list);
    ASSERT_EQ(iface->childCount(), 3);
    QAccessibleInterface* times = iface->child(2);
    EXPECT_EQ(times->role(), QAccessible::ListItem);
    EXPECT_EQ(times->text(QAccessible::Name), QStringLiteral("Times"));
    EXPECT_EQ(times->parent(), iface);
    EXPECT_EQ(iface->indexOfChild(times), 2);
    EXPECT_TRUE(times->state().offscreen);
    EXPECT_FALSE(iface->child(0)->state().offscreen);
    EXPECT_EQ(iface->child(0)->rect().topLeft(), list->mapToGlobal(QPoint(0, 0)));

    EventLog log;
    QSignalSpy activated(list, &CQorListBox::rowActivated);
    times->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(list->CurrentRow(), 2);
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.at(0).at(0).toInt(), 2);
    EXPECT_TRUE(times->state().selected);
    EXPECT_FALSE(iface->child(0)->state().selected);
    EXPECT_EQ(log.Count(QAccessible::Selection, list, 2), 1);

    // A shorter list leaves the old third item invalid rather than pointing at nothing.
    list->SetItems({QStringLiteral("Arial")});
    EXPECT_FALSE(times->isValid());
    EXPECT_EQ(iface->childCount(), 1);
}

TEST_F(UiAccessibility, ComboBoxValueExpandedStateAndShowMenu) {
    auto* combo = new CVexComboBox(CVexComboBox::Style::DropDownList, &window);
    combo->setGeometry(10, 10, 100, 20);
    for (const char* z : {"50%", "100%", "200%"})
        combo->AddString(QLatin1String(z));
    combo->SetCurSel(1);
    Show();
    QAccessibleInterface* iface = Iface(combo);
    EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("100%"));
    EXPECT_TRUE(iface->state().collapsed);
    EXPECT_TRUE(Actions(iface).contains(QAccessibleActionInterface::showMenuAction()));
    EventLog log;
    iface->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(combo->IsDroppedDown());
    EXPECT_TRUE(iface->state().expanded);
    EXPECT_EQ(log.Count(QAccessible::StateChanged, combo), 1);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(combo->IsDroppedDown());
    combo->SetCurSel(2);
    EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("200%"));
    EXPECT_EQ(log.Count(QAccessible::ValueChanged, combo), 1);
}

TEST_F(UiAccessibility, ColourPickerOpensItsPopupWhoseCellsAreNamedItems) {
    ScriptedDialogProvider dialogs;
    SetDialogProvider(&dialogs);
    auto* picker = new CVexColourPicker(&window);
    picker->setGeometry(10, 10, 90, 20);
    picker->setAccessibleName(QStringLiteral("Text colour"));
    Show();
    QSignalSpy ended(picker, &CVexColourPicker::selectionEnded);
    QAccessibleInterface* iface = Iface(picker);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    CColourPopup* popup = picker->Popup();
    ASSERT_NE(popup, nullptr);
    QAccessibleInterface* list = Iface(popup);
    ASSERT_EQ(list->childCount(), kNamedColourCount + 2);
    QAccessibleInterface* cell = list->child(3);
    EXPECT_EQ(cell->text(QAccessible::Name), QLatin1String(NamedColours()[3].name));
    EXPECT_EQ(cell->rect().size(), popup->Layout().ItemRect(3).size());
    cell->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(ended.count(), 1);
    EXPECT_EQ(picker->Colour(), NamedColours()[3].colour);
    EXPECT_EQ(iface->text(QAccessible::Value), QLatin1String(NamedColours()[3].name));
    SetDialogProvider(nullptr);
}

// The skin's focus mark is drawn by every family that takes the focus, and only with it.
TEST_F(UiAccessibility, FocusMarkFollowsTheFocus) {
    auto* button = new CBitmapButton(1, &window);
    button->setGeometry(10, 10, 60, 22);
    auto* slider = new CBitmapSlider(2, &window);
    slider->setGeometry(10, 50, 120, 16);
    auto* other = new QWidget(&window);
    other->setFocusPolicy(Qt::StrongFocus);
    Show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto marked = [](QWidget* w) {
        const QImage image = w->grab().toImage();
        const QRgb accent = FocusMarkColour().rgb();
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, 1) & 0xffffff) == (accent & 0xffffff))
                return true;
        return false;
    };
    for (QWidget* w : {static_cast<QWidget*>(button), static_cast<QWidget*>(slider)}) {
        EXPECT_EQ(w->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
        EXPECT_EQ(w->focusPolicy() & Qt::ClickFocus, 0) << "a click leaves the focus where it was";
        other->setFocus();
        EXPECT_FALSE(marked(w));
        w->setFocus();
        EXPECT_TRUE(marked(w));
    }
}

} // namespace
} // namespace mosaiq
