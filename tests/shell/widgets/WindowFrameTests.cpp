// The window's own frame: the caption strip's double click and the caption of message boxes.
#include "WindowTestSupport.h"
#include "ui/widgets/DialogProvider.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>

namespace mosaiq {
namespace {

class WindowFrameTest : public test::WindowTest {
public:
    void Send(QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(local), QPointF(window->mapToGlobal(local)), Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &event);
    }
    // A double click as the system delivers it: press, release, double click, release.
    void DoubleClickCaption() {
        const QPoint at(window->width() / 2, 10);
        Send(QEvent::MouseButtonPress, at, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, at, Qt::NoButton);
        Send(QEvent::MouseButtonDblClick, at, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, at, Qt::NoButton);
        QTest::qWait(20);
    }
};

TEST_F(WindowFrameTest, APressOnTheCaptionMovesNothingUntilTheMouseTravels) {
    const QPoint start = window->pos();
    const QPoint at(window->width() / 2, 10);
    Send(QEvent::MouseButtonPress, at, Qt::LeftButton);
    Send(QEvent::MouseMove, at + QPoint(1, 0), Qt::LeftButton);
    EXPECT_EQ(window->pos(), start);
    Send(QEvent::MouseMove, at + QPoint(40, 0), Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, at + QPoint(40, 0), Qt::NoButton);
    QTest::qWait(20);
    EXPECT_NE(window->pos(), start); // moved by hand: the offscreen system cannot move it
}

TEST_F(WindowFrameTest, DoubleClicksOnTheCaptionMaximiseAndRestoreInTurn) {
    ASSERT_FALSE(window->isMaximized());
    DoubleClickCaption();
    EXPECT_TRUE(window->isMaximized());
    DoubleClickCaption();
    EXPECT_FALSE(window->isMaximized());
    DoubleClickCaption();
    EXPECT_TRUE(window->isMaximized());
}

TEST(MessageBoxCaption, AShortMessageStillLeavesRoomForTheCaption) {
    QMessageBox box(QMessageBox::Information, MessageCaption(), QStringLiteral("Done."),
                    QMessageBox::Ok);
    const int before = box.sizeHint().width();
    FitMessageBoxToCaption(box);
    QFont bold = box.font();
    bold.setBold(true);
    const int caption = QFontMetrics(bold).horizontalAdvance(MessageCaption());
    EXPECT_GE(box.sizeHint().width(), caption + 120);
    EXPECT_GE(box.sizeHint().width(), before);
}

} // namespace
} // namespace mosaiq
