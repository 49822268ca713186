// The canvas's key table and the edits its keys make on the selection, without a window.
#include "canvas/document/CollageDocument.h"
#include "canvas/interaction/CanvasKeys.h"
#include "common/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <set>

namespace mosaiq {
namespace {

TEST(CanvasKeyTable, EachKeyDoesOneThing) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        std::optional<CanvasKeyAction> action;
        int dx;
        int dy;
    };
    using A = CanvasKeyAction;
    const Case cases[] = {
        {Qt::Key_Left, Qt::NoModifier, A::Nudge, -1, 0},
        {Qt::Key_Down, Qt::NoModifier, A::Nudge, 0, 1},
        {Qt::Key_Up, Qt::ShiftModifier, A::Nudge, 0, -10},
        {Qt::Key_Right, Qt::ShiftModifier, A::Nudge, 10, 0},
        // The keypad's arrows are the same keys.
        {Qt::Key_Right, Qt::KeypadModifier, A::Nudge, 1, 0},
        {Qt::Key_Up, Qt::ControlModifier, A::Scale, 1, 0},
        {Qt::Key_Left, Qt::ControlModifier, A::Scale, -1, 0},
        {Qt::Key_Right, Qt::AltModifier, A::Turn, 1, 0},
        {Qt::Key_Up, Qt::AltModifier, A::Turn, -1, 0},
        {Qt::Key_Tab, Qt::NoModifier, A::SelectNext, 0, 0},
        {Qt::Key_Backtab, Qt::ShiftModifier, A::SelectPrevious, 0, 0},
        {Qt::Key_Menu, Qt::NoModifier, A::ContextMenu, 0, 0},
        {Qt::Key_F10, Qt::ShiftModifier, A::ContextMenu, 0, 0},
        {Qt::Key_F6, Qt::NoModifier, A::LeaveCanvas, 0, 0},
        {Qt::Key_Delete, Qt::NoModifier, A::Delete, 0, 0},
        // Keys the canvas leaves to the window: its accelerators and the unbound combinations.
        {Qt::Key_Z, Qt::ControlModifier, std::nullopt, 0, 0},
        {Qt::Key_F10, Qt::NoModifier, std::nullopt, 0, 0},
        {Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier, std::nullopt, 0, 0},
        {Qt::Key_Tab, Qt::ControlModifier, std::nullopt, 0, 0},
    };
    for (const Case& c : cases) {
        const auto row = FindCanvasKey(c.key, c.modifiers);
        ASSERT_EQ(row.has_value(), c.action.has_value()) << c.key << " " << int(c.modifiers);
        if (!row)
            continue;
        EXPECT_EQ(row->action, *c.action) << c.key;
        EXPECT_EQ(row->dx, c.dx) << c.key;
        EXPECT_EQ(row->dy, c.dy) << c.key;
    }
    // No key and modifier pair is bound twice: a later row could never be reached.
    std::set<std::pair<int, int>> seen;
    for (const CanvasKeyBinding& row : CanvasKeyTable())
        EXPECT_TRUE(seen.insert({row.key, int(row.modifiers)}).second) << row.key;
}

class KeyEditsTest : public ::testing::Test {
protected:
    // A 100 x 50 pasted picture at (x, y), scale 1, the only one selected.
    CanvasObject& Add(int x, int y) {
        QImage pixels(100, 50, QImage::Format_ARGB32);
        pixels.fill(Qt::red);
        doc.AddPastedPicture(pixels, 0, 0, QRect(0, 0, doc.width, doc.height),
                             {doc.width, doc.height});
        CanvasObject& o = doc.objects.back();
        o.SetPosition({x, y});
        o.SetScale(1.0f);
        return o;
    }
    static QPointF Centre(const CanvasObject& o) {
        const QSize s = o.UnscaledSize();
        return QPointF(o.Position()) + QPointF(s.width(), s.height()) * double(o.Scale()) / 2.0;
    }

    test::ScopedDataDir data;
    CollageDocument doc;
};

TEST_F(KeyEditsTest, ScaleKeepsEachCentreAndStopsAtTheSmallestSize) {
    Add(100, 100);
    Add(400, 300);
    CanvasObject& first = doc.objects[0];
    CanvasObject& second = doc.objects[1];
    first.SetSelected(true);
    const QPointF c1 = Centre(first), c2 = Centre(second);
    doc.modified = false;
    ASSERT_TRUE(ScaleSelection(doc, 3));
    EXPECT_TRUE(doc.modified);
    EXPECT_NEAR(first.Scale(), std::pow(kKeyScaleStep, 3.0f), 1e-5);
    EXPECT_NEAR(second.Scale(), first.Scale(), 1e-5);
    EXPECT_LE((Centre(first) - c1).manhattanLength(), 1.0);
    EXPECT_LE((Centre(second) - c2).manhattanLength(), 1.0);
    // Shrinking ends at 16 pixels of width plus height, however often the key is pressed.
    for (int i = 0; i < 200; ++i)
        ScaleSelection(doc, -1);
    EXPECT_NEAR(first.Scale(), 16.0f / 150.0f, 1e-5);
    for (CanvasObject& o : doc.objects)
        o.SetSelected(false);
    doc.modified = false;
    EXPECT_FALSE(ScaleSelection(doc, 1));
    EXPECT_FALSE(TurnSelection(doc, 1));
    EXPECT_FALSE(doc.modified);
}

TEST_F(KeyEditsTest, TurnStepsStayWithinAFullTurnAndKeepThePlace) {
    CanvasObject& o = Add(50, 60);
    o.SetAngle(358.5f);
    ASSERT_TRUE(TurnSelection(doc, 3));
    EXPECT_NEAR(o.Angle(), 1.5f, 1e-4);
    EXPECT_EQ(o.Position(), QPoint(50, 60));
    o.SetAngle(-359.0f);
    TurnSelection(doc, -2);
    EXPECT_NEAR(o.Angle(), -1.0f, 1e-4);
}

TEST_F(KeyEditsTest, TabWalksTheObjectsInStackingOrderAndRunsOffBothEnds) {
    EXPECT_EQ(AdjacentObject(doc, 1), -1) << "an empty canvas has nothing to walk";
    Add(0, 0);
    Add(10, 10);
    Add(20, 20);
    for (CanvasObject& o : doc.objects)
        o.SetSelected(false);
    EXPECT_EQ(AdjacentObject(doc, 1), 0);
    EXPECT_EQ(AdjacentObject(doc, -1), 2);
    ASSERT_TRUE(SelectOnlyObject(doc, 1));
    EXPECT_FALSE(doc.objects[0].Selected());
    EXPECT_TRUE(doc.objects[1].Selected());
    EXPECT_EQ(AdjacentObject(doc, 1), 2);
    EXPECT_EQ(AdjacentObject(doc, -1), 0);
    SelectOnlyObject(doc, 2);
    EXPECT_EQ(AdjacentObject(doc, 1), -1);
    SelectOnlyObject(doc, 0);
    EXPECT_EQ(AdjacentObject(doc, -1), -1);
    EXPECT_FALSE(SelectOnlyObject(doc, 3));
    EXPECT_TRUE(doc.objects[0].Selected()) << "an index out of range changes nothing";
}

} // namespace
} // namespace mosaiq
