// Selecting several objects on the canvas (Ctrl+click, the band), dragging them together as one
// history step, and snapping a drag to guides only when the setting is on and Shift is up.
#include "canvas/interaction/CanvasInteraction.h"
#include "canvas/document/CanvasSelection.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/render/Compositor.h"
#include "common/TestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

class MultiSelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc.width = 800;
        doc.height = 600;
        Add(100, 100, 20, 20);  // 0
        Add(100, 100, 300, 40); // 1
        Add(60, 60, 520, 300);  // 2
        for (CanvasObject& o : doc.objects)
            o.SetSelected(false);
        Draw();
    }

    void Add(int w, int h, int x, int y) {
        QImage pixels(w, h, QImage::Format_ARGB32);
        pixels.fill(Qt::darkGreen);
        doc.AddPastedPicture(pixels, 0, 0, QRect(0, 0, doc.width, doc.height),
                             QSize(doc.width, doc.height));
        doc.objects.back().SetPosition({x, y});
    }
    void Draw() {
        QImage surface(SurfaceSize({doc.width, doc.height}, doc.view.zoom, {800, 600}),
                       QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&surface);
        compositor.Render(doc, painter, RenderOptions{});
    }
    HandleFrame Handles() const { return {compositor.Handles(), compositor.HandleTransform()}; }
    std::vector<bool> Selection() const {
        std::vector<bool> s;
        for (const CanvasObject& o : doc.objects)
            s.push_back(o.Selected());
        return s;
    }
    void Click(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        interaction.Press(at, Handles(), modifiers);
        interaction.Release();
        Draw();
    }

    test::ScopedDataDir data;
    CollageDocument doc;
    Compositor compositor;
    CanvasInteraction interaction{doc};
};

TEST_F(MultiSelectionTest, CtrlClickAddsAndRemovesAndAPlainClickSelectsOne) {
    Click({50, 50});
    EXPECT_EQ(Selection(), (std::vector<bool>{true, false, false}));
    Click({350, 90}, Qt::ControlModifier);
    EXPECT_EQ(Selection(), (std::vector<bool>{true, true, false}));
    Click({550, 330}, Qt::ControlModifier);
    EXPECT_EQ(Selection(), (std::vector<bool>{true, true, true}));
    Click({350, 90}, Qt::ControlModifier); // out again
    EXPECT_EQ(Selection(), (std::vector<bool>{true, false, true}));
    // Ctrl on empty canvas keeps the selection.
    Click({700, 550}, Qt::ControlModifier);
    EXPECT_EQ(Selection(), (std::vector<bool>{true, false, true}));
    // A plain click on one of the selected objects leaves it alone selected.
    Click({550, 330});
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, true}));
    // A plain click on empty canvas selects nothing.
    Click({700, 550});
    EXPECT_EQ(Selection(), (std::vector<bool>{false, false, false}));
}

TEST_F(MultiSelectionTest, ABandFromEmptyCanvasSelectsWhatItEncloses) {
    interaction.Press({10, 10}, Handles());
    interaction.Move({450, 200}, Handles());
    ASSERT_TRUE(interaction.Band().has_value());
    EXPECT_EQ(*interaction.Band(), QRect(QPoint(10, 10), QPoint(450, 200)).normalized());
    const auto out = interaction.Release();
    EXPECT_TRUE(out.stateChanged);
    EXPECT_FALSE(interaction.Band().has_value());
    // Object 1 (300..400, 40..140) is inside; object 2 is not.
    EXPECT_EQ(Selection(), (std::vector<bool>{true, true, false}));
    Draw();
    // A band drawn up and left, with Ctrl, adds what it holds; one half inside takes nothing.
    interaction.Press({700, 500}, Handles(), Qt::ControlModifier);
    interaction.Move({510, 290}, Handles());
    interaction.Release();
    EXPECT_EQ(Selection(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(SelectInBand(doc, QRectF(0, 0, 70, 70), false), 0);
    EXPECT_EQ(SelectedCount(doc), 0);
}

TEST_F(MultiSelectionTest, DraggingSeveralMovesThemTogetherAsOneStep) {
    Click({50, 50});
    Click({350, 90}, Qt::ControlModifier);
    const int steps = doc.History().Count();
    interaction.Press({60, 60}, Handles());
    interaction.Move({90, 100}, Handles());
    interaction.Move({100, 110}, Handles());
    interaction.Release();
    EXPECT_EQ(doc.objects[0].Position(), QPoint(60, 70));
    EXPECT_EQ(doc.objects[1].Position(), QPoint(340, 90));
    EXPECT_EQ(doc.objects[2].Position(), QPoint(520, 300)); // not selected
    EXPECT_EQ(doc.History().Count(), steps + 1);
    EXPECT_EQ(Selection(), (std::vector<bool>{true, true, false})); // a drag keeps both
}

// With several selected, every one shows its handles and a handle acts on its own object: a
// corner or a rotation handle of either object grabs that object alone.
TEST_F(MultiSelectionTest, AHandleDragActsOnTheObjectWhoseHandleWasGrabbed) {
    for (const int handle : {4, 11}) {
        for (const size_t grabbed : {size_t(0), size_t(1)}) {
            SCOPED_TRACE(testing::Message() << "handle " << handle << " of " << grabbed);
            for (CanvasObject& o : doc.objects) {
                o.SetScale(1.0f);
                o.SetAngle(0.0f);
            }
            doc.objects[0].SetPosition({20, 20});
            doc.objects[1].SetPosition({300, 40});
            Click({50, 50});
            Click({350, 90}, Qt::ControlModifier);
            const HandleFrames& frames = compositor.AllHandles();
            ASSERT_EQ(frames.size(), 2u);
            const HandleFrame& frame = frames[grabbed];
            EXPECT_EQ(frame.object, int(grabbed));
            const QPoint at =
                frame.transform.map(QRectF(frame.rects[size_t(handle)]).center()).toPoint();
            const int steps = doc.History().Count();
            interaction.Press(at, frames);
            ASSERT_TRUE(interaction.HandleDragging());
            interaction.Move(at + QPoint(60, handle == 4 ? 60 : -60), frames);
            interaction.Release();
            const CanvasObject& moved = doc.objects[grabbed];
            const CanvasObject& other = doc.objects[1 - grabbed];
            if (handle == 4)
                EXPECT_GT(moved.Scale(), 1.5f);
            else
                EXPECT_NE(moved.Angle(), 0.0f);
            EXPECT_FLOAT_EQ(other.Scale(), 1.0f);
            EXPECT_FLOAT_EQ(other.Angle(), 0.0f);
            EXPECT_EQ(other.Position(), grabbed == 0 ? QPoint(300, 40) : QPoint(20, 20));
            EXPECT_EQ(Selection(), (std::vector<bool>{true, true, false}));
            EXPECT_EQ(doc.History().Count(), steps + 1);
            Draw();
        }
    }
}

TEST_F(MultiSelectionTest, SnappingHoldsOnlyWhenTurnedOnAndShiftIsUp) {
    // Object 0 dragged so that its left edge comes 3 px right of object 1's left edge (300).
    const auto drag = [&](bool snap, Qt::KeyboardModifiers modifiers) {
        interaction.SetSnapToGuides(snap);
        Click({50, 50});
        interaction.Press({50, 50}, Handles());
        interaction.Move({333, 250}, Handles(), modifiers); // left edge at 303, top at 220
        const QPoint at = doc.objects[0].Position();
        const bool guides = !interaction.Guides().empty();
        interaction.Release();
        doc.objects[0].SetPosition({20, 20});
        Draw();
        return std::make_pair(at, guides);
    };
    EXPECT_EQ(drag(false, Qt::NoModifier), std::make_pair(QPoint(303, 220), false));
    EXPECT_EQ(drag(true, Qt::ShiftModifier), std::make_pair(QPoint(303, 220), false));
    const auto snapped = drag(true, Qt::NoModifier);
    EXPECT_EQ(snapped.first, QPoint(300, 220));
    EXPECT_TRUE(snapped.second);
    EXPECT_TRUE(interaction.Guides().empty()); // gone with the release
}

} // namespace
} // namespace mosaiq
