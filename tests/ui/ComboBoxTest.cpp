// CVexComboBox: the item operations, keyboard stepping, the drop-down, type-ahead, the
// notifications and the two editable-style helpers.
#include "ui/widgets/CVexComboBox.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

// Records the notifications in the order they came.
struct Notes {
    explicit Notes(CVexComboBox& combo) {
        QObject::connect(&combo, &CVexComboBox::dropDown, [this] { log << "dropdown"; });
        QObject::connect(&combo, &CVexComboBox::closeUp, [this] { log << "closeup"; });
        QObject::connect(&combo, &CVexComboBox::selEndOk, [this] { log << "selendok"; });
        QObject::connect(&combo, &CVexComboBox::selEndCancel, [this] { log << "selendcancel"; });
        QObject::connect(&combo, &CVexComboBox::selChange, [this] { log << "selchange"; });
    }
    QStringList Take() { return std::exchange(log, {}); }
    QStringList log;
};

struct ComboFixture : ::testing::Test {
    void Fill(CVexComboBox& c) {
        for (const char* item : {"25%", "50%", "75%", "100%", "Banana", "cherry", "Apple"})
            c.AddString(QLatin1String(item));
        c.resize(100, 20);
        c.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&c));
        c.setFocus();
    }
    CVexComboBox combo{CVexComboBox::Style::DropDownList};
};

TEST_F(ComboFixture, ItemOperations) {
    Fill(combo);
    EXPECT_EQ(combo.GetCount(), 7);
    EXPECT_EQ(combo.GetCurSel(), -1);
    EXPECT_EQ(combo.SetCurSel(3), 3);
    EXPECT_EQ(combo.SetCurSel(7), -1);
    EXPECT_EQ(combo.GetCurSel(), 3);
    EXPECT_EQ(combo.GetLBText(4), QStringLiteral("Banana"));
    EXPECT_EQ(combo.GetLBTextLen(5), 6);
    EXPECT_EQ(combo.GetLBTextLen(9), -1);
    EXPECT_EQ(combo.SelectString(-1, QStringLiteral("CH")), 5); // ignoring case
    EXPECT_EQ(combo.SelectString(5, QStringLiteral("2")), 0);   // searches round the list
    EXPECT_EQ(combo.SelectString(-1, QStringLiteral("zz")), -1);
    EXPECT_EQ(combo.GetCurSel(), 0);
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(combo.GetCurSel(), -1);
}

TEST_F(ComboFixture, ArrowsStepSkippingUnselectableItems) {
    Fill(combo);
    combo.SetCurSel(0);
    combo.SetItemSelectable(1, false);
    Notes notes(combo);
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.GetCurSel(), 2);
    EXPECT_EQ(notes.Take(), QStringList({"selendok", "selchange"}));
    QTest::keyClick(&combo, Qt::Key_Up);
    EXPECT_EQ(combo.GetCurSel(), 0);
    QTest::keyClick(&combo, Qt::Key_Up); // already first: nothing changes, nothing is sent
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_EQ(notes.Take(), QStringList({"selendok", "selchange"}));
    combo.SetCurSel(6);
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.GetCurSel(), 6);
    EXPECT_TRUE(notes.Take().isEmpty());
}

TEST_F(ComboFixture, DropDownChooseAndCancel) {
    Fill(combo);
    combo.SetCurSel(1);
    Notes notes(combo);
    QTest::keyClick(&combo, Qt::Key_F4);
    ASSERT_TRUE(combo.IsDroppedDown());
    EXPECT_EQ(combo.DropDownSelection(), 1) << "opens showing the current item";
    QTest::keyClick(&combo, Qt::Key_Down);
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.DropDownSelection(), 3);
    EXPECT_EQ(combo.GetCurSel(), 1) << "moving in the list is not a choice yet";
    QTest::keyClick(&combo, Qt::Key_Return);
    EXPECT_FALSE(combo.IsDroppedDown());
    EXPECT_EQ(combo.GetCurSel(), 3);
    EXPECT_EQ(notes.Take(), QStringList({"dropdown", "selendok", "closeup", "selchange"}));

    QTest::keyClick(&combo, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(combo.IsDroppedDown());
    QTest::keyClick(&combo, Qt::Key_Up);
    QTest::keyClick(&combo, Qt::Key_Escape);
    EXPECT_FALSE(combo.IsDroppedDown());
    EXPECT_EQ(combo.GetCurSel(), 3);
    EXPECT_EQ(notes.Take(), QStringList({"dropdown", "selendcancel", "closeup"}));
}

TEST_F(ComboFixture, ClickOpensAndASecondClickCloses) {
    Fill(combo);
    Notes notes(combo);
    QTest::mouseClick(&combo, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(combo.IsDroppedDown());
    combo.ShowDropDown(false);
    EXPECT_FALSE(combo.IsDroppedDown());
    EXPECT_EQ(notes.Take(), QStringList({"dropdown", "selendcancel", "closeup"}));
}

TEST_F(ComboFixture, TypeAheadPicksFirstItemByLetterIgnoringCase) {
    Fill(combo);
    combo.ShowDropDown(true);
    QTest::keyClick(&combo, Qt::Key_C);
    EXPECT_EQ(combo.DropDownSelection(), 5);
    QTest::keyClick(&combo, Qt::Key_A, Qt::ShiftModifier);
    EXPECT_EQ(combo.DropDownSelection(), 6);
    QTest::keyClick(&combo, Qt::Key_Z); // no item: the selection stays
    EXPECT_EQ(combo.DropDownSelection(), 6);
    QTest::keyClick(&combo, Qt::Key_Enter);
    EXPECT_EQ(combo.GetCurSel(), 6);
}

TEST(ComboBoxEditable, ChoosingPutsTextIntoTheEditAllSelected) {
    CVexComboBox combo(CVexComboBox::Style::DropDown);
    for (const char* item : {"Arial", "Courier New", "Tahoma"})
        combo.AddString(QLatin1String(item));
    combo.resize(150, 20);
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    QLineEdit* edit = combo.Edit();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->geometry(), QRect(QPoint(4, 2), QPoint(150 - 22 - 3, 17)));
    combo.ShowDropDown(true);
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(combo.GetCurSel(), 0);
    EXPECT_EQ(edit->text(), QStringLiteral("Arial"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("Arial"));
}

TEST(ComboBoxEditable, AutoCompleteSelectsTheCompletedPart) {
    CVexComboBox combo(CVexComboBox::Style::DropDown);
    for (const char* item : {"Arial", "Courier New", "Tahoma"})
        combo.AddString(QLatin1String(item));
    combo.SetAutoComplete(true);
    combo.resize(150, 20);
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    QLineEdit* edit = combo.Edit();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("co"));
    EXPECT_EQ(edit->text(), QStringLiteral("courier New"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("urier New"));
    QTest::keyClick(edit, Qt::Key_Delete); // removes the completion; no new completion
    EXPECT_EQ(edit->text(), QStringLiteral("co"));
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Right); // Right at the end completes
    EXPECT_EQ(edit->text(), QStringLiteral("courier New"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("urier New"));
}

TEST(ComboBoxEditable, SuggestionListShowsMatchesAndClosesWhenEmpty) {
    CVexComboBox combo(CVexComboBox::Style::DropDown);
    for (const char* item : {"Tahoma", "Times New Roman", "Arial", "Trebuchet"})
        combo.AddString(QLatin1String(item));
    combo.SetSuggestionList(true);
    combo.resize(150, 20);
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    QLineEdit* edit = combo.Edit();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("t"));
    ASSERT_TRUE(combo.IsDroppedDown());
    EXPECT_EQ(combo.DropDownItems(), (std::vector<int>{0, 1, 3}));
    QTest::keyClicks(edit, QStringLiteral("i"));
    EXPECT_EQ(combo.DropDownItems(), (std::vector<int>{1}));
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(edit->text(), QStringLiteral("Times New Roman"));
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("a"));
    EXPECT_TRUE(combo.IsDroppedDown());
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_FALSE(combo.IsDroppedDown()) << "an empty edit closes the suggestions";
}

} // namespace
} // namespace mosaiq

namespace mosaiq {
namespace {

TEST(ComboBoxEditable, WithoutAutoScrollTextStopsAtTheEditWidth) {
    CVexComboBox combo(CVexComboBox::Style::DropDown);
    combo.resize(80, 20);
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    QLineEdit* edit = combo.Edit();
    edit->setFocus();
    const QString longText(40, QLatin1Char('W'));
    QTest::keyClicks(edit, longText);
    EXPECT_EQ(edit->text(), longText) << "auto-scroll is on by default";
    edit->clear();
    combo.SetAutoScroll(false);
    QTest::keyClicks(edit, longText);
    EXPECT_GT(edit->text().size(), 0);
    EXPECT_LT(edit->text().size(), longText.size());
    EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()), edit->width() - 4);
}

} // namespace
} // namespace mosaiq
