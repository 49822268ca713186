// The right click that ends a preview is taken whole: no context menu follows it, whether the
// platform sends the menu with the press or with the release.
#include "canvas/widgets/CCollageCanvas.h"
#include "common/TestSupport.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

class PreviewRightClick : public ::testing::Test {
protected:
    void SetUp() override {
        canvas.resize(400, 300);
        canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
        // As the main window does: a request to leave ends the preview at once.
        QObject::connect(&canvas, &CCollageCanvas::previewEndRequested, &canvas,
                         [this] { canvas.SetPreviewMode(false); });
    }
    void ContextMenu(QPoint at, QContextMenuEvent::Reason reason = QContextMenuEvent::Mouse) {
        QContextMenuEvent event(reason, at, canvas.mapToGlobal(at));
        QApplication::sendEvent(&canvas, &event);
    }

    test::ScopedDataDir data;
    CCollageCanvas canvas;
    QSignalSpy menu{&canvas, &CCollageCanvas::contextMenuRequested};
};

TEST_F(PreviewRightClick, AMenuSentWithThePressIsSwallowed) {
    canvas.SetPreviewMode(true);
    QTest::mousePress(&canvas, Qt::RightButton, {}, {20, 20});
    EXPECT_FALSE(canvas.PreviewMode());
    ContextMenu({20, 20});
    QTest::mouseRelease(&canvas, Qt::RightButton, {}, {20, 20});
    EXPECT_EQ(menu.count(), 0);

    // The next right click is an ordinary one.
    QTest::mousePress(&canvas, Qt::RightButton, {}, {30, 30});
    ContextMenu({30, 30});
    EXPECT_EQ(menu.count(), 1);
}

TEST_F(PreviewRightClick, AMenuSentWithTheReleaseIsSwallowed) {
    canvas.SetPreviewMode(true);
    QTest::mouseClick(&canvas, Qt::RightButton, {}, {20, 20});
    ContextMenu({20, 20});
    EXPECT_EQ(menu.count(), 0);
}

TEST_F(PreviewRightClick, ALeftClickLeavesTheMenuKeyAlone) {
    canvas.SetPreviewMode(true);
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, {20, 20});
    ContextMenu({20, 20}, QContextMenuEvent::Keyboard);
    ContextMenu({20, 20});
    EXPECT_EQ(menu.count(), 2);
}

} // namespace
