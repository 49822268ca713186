// Controls that fit at two window sizes: the zoom box shows its eight steps without scroll bars,
// the font list drops as wide as its widest name, the decoration type list shows every family,
// "Add" stands in the text panel's bottom-left corner and the transparency slider shows its
// percentage while dragged.
#include "WindowTestSupport.h"
#include "library/widgets/CPresetListPane.h"
#include "shell/widgets/CommandIds.h"
#include "text/widgets/CTextPanel.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/widgets/CComboDropDown.h"
#include "ui/widgets/CQorListBox.h"
#include "ui/widgets/CVexComboBox.h"

#include <QPlainTextEdit>
#include <QToolTip>

namespace mosaiq {
namespace {

class ControlsFitTest : public test::WindowTest, public ::testing::WithParamInterface<QSize> {
public:
    void SetUp() override {
        WindowTest::SetUp();
        window->resize(GetParam());
        QCoreApplication::processEvents();
    }
    CVexComboBox* ZoomBox() {
        for (CVexComboBox* box : window->findChildren<CVexComboBox*>())
            if (box->GetCount() == 8 && box->GetLBText(0).endsWith(QLatin1Char('%')))
                return box;
        return nullptr;
    }
    // Opens box's drop-down and returns its list (the drop-down stays open until closed).
    static CQorListBox* OpenList(CVexComboBox* box) {
        box->ShowDropDown(true);
        auto* drop = qobject_cast<CComboDropDown*>(box->DropDownWindow());
        return drop ? drop->List() : nullptr;
    }
    // Every row of the open list in view, none cut sideways: no scroll bar is needed.
    static void ExpectWholeList(CQorListBox* list) {
        ASSERT_NE(list, nullptr);
        EXPECT_GE(list->height(), list->Count() * list->ItemHeight());
        EXPECT_LE(list->ContentSize().width(), list->width());
    }
};

TEST_P(ControlsFitTest, TheZoomBoxListsItsEightStepsWithoutScrollBars) {
    CVexComboBox* zoom = ZoomBox();
    ASSERT_NE(zoom, nullptr);
    ExpectWholeList(OpenList(zoom));
    zoom->ShowDropDown(false);
}

TEST_P(ControlsFitTest, TheFontListDropsAsWideAsItsWidestName) {
    window->RunCommand(cmd::kTextTab);
    auto* text = qobject_cast<CTextPanel*>(window->Panel(PanelSlot::Text));
    ASSERT_NE(text, nullptr);
    CVexComboBox* fonts = text->FontList();
    ASSERT_GT(fonts->GetCount(), 0);
    const QFontMetrics metrics(text->font());
    int widest = 0;
    for (int i = 0; i < fonts->GetCount(); ++i)
        widest =
            std::max(widest, metrics.horizontalAdvance(fonts->GetLBText(i) + QLatin1Char('0')));
    EXPECT_GE(fonts->DropDownSize().width(), widest);
    CQorListBox* list = OpenList(fonts);
    ASSERT_NE(list, nullptr);
    EXPECT_LE(list->ContentSize().width(), list->width());
    fonts->ShowDropDown(false);
}

TEST_P(ControlsFitTest, TheDecorationTypeListShowsEveryFamily) {
    auto* pane = qobject_cast<CPresetListPane*>(window->Area(SideArea::ListPane));
    ASSERT_NE(pane, nullptr);
    CVexComboBox* types = pane->SelectorBox();
    ASSERT_GE(types->GetCount(), 7);
    EXPECT_GE(types->DropDownSize().height(), types->GetCount() * 18);
    ExpectWholeList(OpenList(types));
    types->ShowDropDown(false);
}

TEST_P(ControlsFitTest, AddStandsInTheTextPanelsBottomLeftCorner) {
    window->RunCommand(cmd::kTextTab);
    auto* text = qobject_cast<CTextPanel*>(window->Panel(PanelSlot::Text));
    ASSERT_NE(text, nullptr);
    const int b = text->height();
    EXPECT_EQ(text->AddButton()->geometry(), QRect(QPoint(0, b - 21), QPoint(75, b - 2)));
    EXPECT_EQ(text->Entry()->geometry().bottom() + 1, b - 20);
    EXPECT_EQ(text->Entry()->geometry().top(), 20);
}

// Every label of the left column is as tall as the font and ends above "Add", beside its control.
TEST_P(ControlsFitTest, TheTextPanelsLabelsStandClearOfAdd) {
    window->RunCommand(cmd::kTextTab);
    auto* text = qobject_cast<CTextPanel*>(window->Panel(PanelSlot::Text));
    ASSERT_NE(text, nullptr);
    const QRect add = text->AddButton()->geometry();
    const QWidget* controls[] = {text->TransparencySlider(), text->FontList(), nullptr, nullptr};
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        const QRect label = text->LabelRect(row);
        EXPECT_GE(label.height(), text->fontMetrics().height());
        EXPECT_FALSE(label.intersects(add));
        EXPECT_GE(label.top(), 0);
        if (controls[row]) {
            EXPECT_NEAR(label.center().y(), controls[row]->geometry().center().y(), 2);
        }
    }
}

TEST_P(ControlsFitTest, TheTransparencySliderShowsItsPercentageWhileDragged) {
    window->RunCommand(cmd::kTextTab);
    auto* text = qobject_cast<CTextPanel*>(window->Panel(PanelSlot::Text));
    ASSERT_NE(text, nullptr);
    CBitmapSlider* slider = text->TransparencySlider();
    const QPoint thumb = slider->ThumbRect().center();
    QTest::mousePress(slider, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(slider, thumb + QPoint(40, 0));
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("%1%").arg(slider->Position()));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, thumb + QPoint(40, 0));
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, ControlsFitTest,
                         ::testing::Values(QSize(1600, 1000), QSize(1024, 768),
                                           QSize(1280, 800), QSize(1920, 1080)));

} // namespace
} // namespace mosaiq
