// Library items reach the canvas where the user puts them: a frame or mask dropped on a photo
// goes onto that photo, and an item clicked in a panel is placed by the next click on the
// canvas.
#include "WindowTestSupport.h"
#include "core/data/BuiltinData.h"
#include "library/packs/StarterLibraries.h"
#include "library/widgets/CLibraryPanel.h"

#include <QApplication>
#include <QMouseEvent>

namespace mosaiq {
namespace {

class DropTargetTest : public test::WindowTest {
public:
    void SetUp() override {
        WriteOutReport report = WriteBuiltinDataFiles(data.Path());
        WriteStarterLibraries(data.Path(), report);
        ASSERT_TRUE(report.failed.isEmpty());
        WindowTest::SetUp();
        // Two photos apart: A on the left, B on the right; B, added last, is selected.
        AddPhoto(400, 300, 10, 10);
        AddPhoto(400, 300, Canvas().width() / 2 + 10, 10);
    }
    CLibraryPanel* Panel(PanelSlot slot) {
        return qobject_cast<CLibraryPanel*>(window->Panel(slot));
    }
    PhotoRecord& PhotoA() { return *Doc().objects[0].Photo(); }
    PhotoRecord& PhotoB() { return *Doc().objects[1].Photo(); }

    static void Send(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    // Presses on item index of the panel, drags to the canvas point and releases there.
    void DragToCanvas(CLibraryPanel* panel, int index, QPoint canvasPoint) {
        const QPoint start = panel->Grid().ItemRect(index).center();
        const QPoint end = panel->mapFromGlobal(Canvas().mapToGlobal(canvasPoint));
        Send(panel, QEvent::MouseButtonPress, start, Qt::LeftButton);
        Send(panel, QEvent::MouseMove, (start + end) / 2, Qt::LeftButton);
        Send(panel, QEvent::MouseMove, end, Qt::LeftButton);
        Send(panel, QEvent::MouseButtonRelease, end, Qt::NoButton);
    }
    void ClickItem(CLibraryPanel* panel, int index) {
        QTest::mouseClick(panel, Qt::LeftButton, {}, panel->Grid().ItemRect(index).center());
    }
    // A point of the canvas window on no object.
    QPoint EmptyPoint() { return QPoint(Canvas().width() / 2, Canvas().height() - 30); }
};

TEST_F(DropTargetTest, AFrameDroppedOnAPhotoSelectsItAndGoesOnIt) {
    ASSERT_TRUE(Doc().objects[1].Selected());
    window->ShowPanel(PanelSlot::Frame);
    DragToCanvas(Panel(PanelSlot::Frame), 0, CentreOf(0));
    EXPECT_TRUE(Doc().objects[0].Selected());
    EXPECT_FALSE(Doc().objects[1].Selected());
    EXPECT_EQ(PhotoA().frameId, 1);
    EXPECT_EQ(PhotoB().frameId, 0);

    // On empty canvas the selected photo takes it.
    ASSERT_EQ(HitObject(Doc(), QPointF(EmptyPoint())), -1);
    DragToCanvas(Panel(PanelSlot::Frame), 1, EmptyPoint());
    EXPECT_EQ(PhotoA().frameId, 2);
    EXPECT_EQ(PhotoB().frameId, 0);
}

TEST_F(DropTargetTest, AMaskDroppedOnAPhotoGoesOnIt) {
    window->ShowPanel(PanelSlot::Mask);
    DragToCanvas(Panel(PanelSlot::Mask), 2, CentreOf(0));
    EXPECT_EQ(PhotoA().maskId, 3);
    EXPECT_EQ(PhotoB().maskId, 0);
}

TEST_F(DropTargetTest, AClickedItemIsPlacedByTheNextClickOnTheCanvas) {
    window->ShowPanel(PanelSlot::Frame);
    ClickItem(Panel(PanelSlot::Frame), 0);
    EXPECT_EQ(PhotoA().frameId, 0);
    const QPoint a = CentreOf(0);
    const QPoint aAt = Doc().objects[0].Position();
    QTest::mouseClick(&Canvas(), Qt::LeftButton, {}, a);
    EXPECT_EQ(PhotoA().frameId, 1);
    EXPECT_EQ(Doc().objects[0].Position(), aAt); // the click placed, it did not move anything
    EXPECT_TRUE(Doc().objects[0].Selected());

    // Placed once: the next click is an ordinary one.
    const int steps = Steps();
    QTest::mouseClick(&Canvas(), Qt::LeftButton, {}, EmptyPoint());
    EXPECT_FALSE(Doc().objects[0].Selected());
    EXPECT_EQ(Steps(), steps);

    window->ShowPanel(PanelSlot::Clipart);
    ClickItem(Panel(PanelSlot::Clipart), 2);
    const size_t count = Doc().objects.size();
    QTest::mouseClick(&Canvas(), Qt::LeftButton, {}, EmptyPoint());
    ASSERT_EQ(Doc().objects.size(), count + 1);
    EXPECT_EQ(Doc().objects.back().Clipart()->sourceId, 2);
}

} // namespace
} // namespace mosaiq
