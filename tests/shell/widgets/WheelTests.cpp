// High-resolution wheels and touchpads: deltas of 15 (an eighth of a notch) scroll the canvas,
// the library panels, the text styles and the lists, and Ctrl zooms the canvas.
#include "WindowTestSupport.h"
#include "core/data/BuiltinData.h"
#include "library/packs/StarterLibraries.h"
#include "library/widgets/CLibraryPanel.h"
#include "shell/widgets/CommandIds.h"
#include "text/widgets/CTextPanel.h"
#include "text/widgets/CTextStyleList.h"
#include "ui/widgets/CQorListBox.h"

#include <QApplication>
#include <QWheelEvent>

namespace mosaiq {
namespace {

// Eight events of an eighth of a notch each: one notch in all.
void TurnFinely(QWidget* target, int eighth, Qt::KeyboardModifiers modifiers = {}) {
    const QPoint at = target->rect().center();
    for (int i = 0; i < 8; ++i) {
        QWheelEvent event(QPointF(at), QPointF(target->mapToGlobal(at)), QPoint(),
                          QPoint(0, eighth), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }
}

class WheelTest : public test::WindowTest {
public:
    void SetUp() override {
        WriteOutReport report = WriteBuiltinDataFiles(data.Path());
        WriteStarterLibraries(data.Path(), report);
        ASSERT_TRUE(report.failed.isEmpty());
        WindowTest::SetUp();
    }
};

TEST_F(WheelTest, TheCanvasScrollsAndZoomsByEighths) {
    window->SetZoomIndex(7); // the largest: the canvas is taller than its window
    // Scrolled to the top, the view's margin above the canvas is in view.
    ASSERT_EQ(Canvas().ScrollOffset().y(), -kViewMargin);
    TurnFinely(&Canvas(), -15);
    EXPECT_EQ(Canvas().ScrollOffset().y(), 40 - kViewMargin);
    TurnFinely(&Canvas(), 15);
    EXPECT_EQ(Canvas().ScrollOffset().y(), -kViewMargin);

    window->SetZoomIndex(3);
    TurnFinely(&Canvas(), 15, Qt::ControlModifier);
    EXPECT_EQ(window->ZoomIndex(), 4);
    TurnFinely(&Canvas(), -15, Qt::ControlModifier);
    EXPECT_EQ(window->ZoomIndex(), 3);
}

TEST_F(WheelTest, ALibraryPanelScrollsOneStepANotch) {
    window->ShowPanel(PanelSlot::Clipart);
    auto* panel = qobject_cast<CLibraryPanel*>(window->Panel(PanelSlot::Clipart));
    ASSERT_NE(panel, nullptr);
    ASSERT_GT(panel->Grid().MaxScroll(), 0);
    // Each small delta alone used to scroll a whole step: eight of them were eight steps.
    TurnFinely(panel, -15);
    const int oneNotch = panel->Grid().Scroll();
    EXPECT_GT(oneNotch, 0);
    QWheelEvent notch(QPointF(5, 5), QPointF(panel->mapToGlobal(QPoint(5, 5))), QPoint(),
                      QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(panel, &notch);
    EXPECT_EQ(panel->Grid().Scroll(), 0);
    TurnFinely(panel, -15);
    EXPECT_EQ(panel->Grid().Scroll(), oneNotch);
}

TEST_F(WheelTest, TheTextStylesScrollByEighths) {
    window->RunCommand(cmd::kTextTab);
    auto* text = qobject_cast<CTextPanel*>(window->Panel(PanelSlot::Text));
    ASSERT_NE(text, nullptr);
    CTextStyleList* styles = text->StyleList();
    const int before = styles->TopOffset();
    TurnFinely(styles, -15);
    TurnFinely(styles, -15);
    EXPECT_GT(styles->TopOffset(), before);
}

TEST(ListWheel, AListScrollsThreeRowsANotchInEighths) {
    CQorListBox list;
    QStringList items;
    for (int i = 0; i < 50; ++i)
        items << QStringLiteral("Row %1").arg(i);
    list.SetItems(items);
    list.resize(120, 100);
    TurnFinely(&list, -15);
    EXPECT_EQ(list.Offset().y(), 3 * list.ItemHeight());
    // A single eighth moves in proportion.
    QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -15), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&list, &event);
    EXPECT_GT(list.Offset().y(), 3 * list.ItemHeight());
}

} // namespace
} // namespace mosaiq
