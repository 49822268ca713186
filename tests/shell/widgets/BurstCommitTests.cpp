// A burst of arrow-key nudges or of typing is one undo step, and it is finished before any
// command acts, whichever way the command is given: keys, the Edit menu, the canvas's context
// menu, the toolbar, the Delete key, saving, exporting or closing.
#include "WindowTestSupport.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandIds.h"
#include "shell/widgets/MainMenus.h"
#include "text/widgets/CTextPanel.h"
#include "ui/widgets/CBitmapButton.h"

#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace mosaiq {
namespace {

class BurstCommitTest : public test::WindowTest {
public:
    QPoint Where() { return Doc().objects.back().Position(); }

    // Ten presses of Right: the photo moves at once, the step waits for the pause.
    void NudgeTenTimes() {
        window->Canvas().setFocus();
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(&window->Canvas(), Qt::Key_Right);
    }

    // Triggers the item of id in a menu built as the window builds it.
    void TriggerMenuItem(MenuId menu, int id) {
        CQorMenu popup(window.get());
        BuildMenu(menu, popup, *window);
        for (QAction* action : popup.actions()) {
            if (action->data().toInt() == id) {
                ASSERT_TRUE(action->isEnabled()) << id;
                action->trigger();
                return;
            }
        }
        FAIL() << "no item " << id;
    }

    // Longer than the pause that ends a burst: a late commit would show here.
    static void OutwaitThePause() { QTest::qWait(1000); }
};

// Each way of giving Undo: the nudges are undone, the photo stays, and Redo brings them back.
TEST_F(BurstCommitTest, UndoByEveryPathUndoesTheNudgesOnly) {
    const std::pair<const char*, std::function<void(BurstCommitTest&)>> paths[] = {
        {"Ctrl+Z",
         [](BurstCommitTest& t) {
             QTest::keyClick(&t.window->Canvas(), Qt::Key_Z, Qt::ControlModifier);
         }},
        {"Edit menu", [](BurstCommitTest& t) { t.TriggerMenuItem(MenuId::Edit, cmd::kMenuUndo); }},
        {"context menu",
         [](BurstCommitTest& t) { t.TriggerMenuItem(MenuId::CanvasContext, cmd::kMenuUndo); }},
        {"toolbar",
         [](BurstCommitTest& t) {
             QTest::mouseClick(t.window->ToolbarButton(cmd::kUndo), Qt::LeftButton, {},
                               QPoint(5, 5));
         }},
    };
    for (const auto& [name, undo] : paths) {
        SCOPED_TRACE(name);
        Doc().Clear();
        AddPhoto();
        const QPoint start = Where();
        const size_t count = Doc().objects.size();
        NudgeTenTimes();
        ASSERT_EQ(Where(), start + QPoint(10, 0));
        undo(*this);
        EXPECT_EQ(Doc().objects.size(), count);
        EXPECT_EQ(Where(), start);
        OutwaitThePause();
        EXPECT_TRUE(Doc().History().CanRedo());
        window->RunCommand(cmd::kRedo);
        EXPECT_EQ(Where(), start + QPoint(10, 0));
    }
}

// Delete, a move in drawing order and Save Collage each come after the nudges' own step.
TEST_F(BurstCommitTest, CommandsThatChangeTheCollageFollowTheBurstsStep) {
    const QString exported = data.File(QStringLiteral("out.png"));
    const std::pair<int, std::function<void(BurstCommitTest&)>> commands[] = {
        {cmd::kMenuDelete, [](BurstCommitTest& t) { t.window->RunCommand(cmd::kMenuDelete); }},
        {Qt::Key_Delete,
         [](BurstCommitTest& t) { QTest::keyClick(&t.window->Canvas(), Qt::Key_Delete); }},
        {cmd::kMoveToBottom,
         [](BurstCommitTest& t) {
             t.TriggerMenuItem(MenuId::CanvasContext, cmd::kMenuMoveToBottom);
         }},
        {cmd::kSaveCollage,
         [exported](BurstCommitTest& t) {
             t.dialogs.AnswerFiles({exported});
             t.window->RunCommand(cmd::kSaveCollage);
         }},
    };
    for (const auto& [id, run] : commands) {
        SCOPED_TRACE(id);
        Doc().Clear();
        AddPhoto();
        AddPhoto();
        const QPoint start = Where();
        const int before = Steps();
        NudgeTenTimes();
        run(*this);
        const int after = Steps();
        EXPECT_GE(after, before + 1);
        OutwaitThePause();
        EXPECT_EQ(Steps(), after) << "a late commit";
        // Undoing the command's own step (if it made one) leaves the nudged photo.
        if (after == before + 2)
            window->RunCommand(cmd::kUndo);
        EXPECT_EQ(Doc().objects.size(), 2u);
        const auto nudged =
            std::count_if(Doc().objects.begin(), Doc().objects.end(), [&](const CanvasObject& o) {
                return o.Position() == start + QPoint(10, 0);
            });
        EXPECT_EQ(nudged, 1);
        window->RunCommand(cmd::kUndo);
        EXPECT_EQ(Where(), start);
    }
}

TEST_F(BurstCommitTest, CtrlSSavesTheNudgesAndLeavesNothingModified) {
    AddPhoto();
    const QString path = data.File(QStringLiteral("nudged.dcf"));
    dialogs.AnswerFiles({path});
    NudgeTenTimes();
    QTest::keyClick(&window->Canvas(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(Doc().modified);
    OutwaitThePause();
    EXPECT_FALSE(Doc().modified);
    EXPECT_FALSE(window->TitleText().endsWith(QLatin1Char('*')))
        << window->TitleText().toStdString();
}

// A saved collage nudged and then closed asks to save: the nudges are not lost unasked.
TEST_F(BurstCommitTest, ClosingAsksAboutAPendingBurst) {
    AddPhoto();
    dialogs.AnswerFiles({data.File(QStringLiteral("saved.dcf"))});
    window->RunCommand(cmd::kSaveProject);
    ASSERT_FALSE(Doc().modified);
    NudgeTenTimes();
    dialogs.Reply(Answer::Cancel);
    window->close();
    EXPECT_EQ(dialogs.Questions().size(), 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(Doc().modified);
}

TEST_F(BurstCommitTest, TypingIsOneStepBeforeUndoFromTheEditMenu) {
    auto* text = qobject_cast<CTextPanel*>(window->Panel(PanelSlot::Text));
    ASSERT_NE(text, nullptr);
    window->RunCommand(cmd::kTextTab);
    QTest::keyClicks(text->Entry(), QStringLiteral("Hi"));
    window->RunCommand(cmd::kAddText);
    ASSERT_EQ(Doc().objects.size(), 1u);
    QTest::keyClicks(text->Entry(), QStringLiteral(" there"));
    const auto words = [&] { return ReadFixedText(Doc().objects.back().Text()->text); };
    ASSERT_EQ(words(), QStringLiteral("Hi there"));
    TriggerMenuItem(MenuId::Edit, cmd::kMenuUndo);
    ASSERT_EQ(Doc().objects.size(), 1u);
    EXPECT_EQ(words(), QStringLiteral("Hi"));
    OutwaitThePause();
    window->RunCommand(cmd::kRedo);
    EXPECT_EQ(words(), QStringLiteral("Hi there"));
}

} // namespace
} // namespace mosaiq
