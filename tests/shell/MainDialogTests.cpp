// The main window offscreen: minimum size, zoom steps, preview, menus against the toolbar, the
// dispatcher, and the photo list written at close.
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandIds.h"
#include "shell/widgets/MainMenus.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "common/TestSupport.h"
#include "library/photos/PhotoList.h"
#include "ui/widgets/CBitmapButton.h"

#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<CMainDialog>();
        window->resize(1024, 768);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override { window.reset(); }

    CollageDocument& Doc() { return window->Canvas().Document(); }
    // Adds n text objects; the last one added stays selected.
    void AddTexts(int n) {
        for (int i = 0; i < n; ++i)
            Doc().AddText();
        window->UpdateToolbarState();
    }
    void SelectOnly(int index) {
        for (size_t i = 0; i < Doc().objects.size(); ++i)
            Doc().objects[i].SetSelected(int(i) == index);
        window->UpdateToolbarState();
    }
    bool ToolbarEnabled(int id) { return window->ToolbarButton(id)->State() != CBitmapButton::kDisabled; }

    test::ScopedDataDir data;
    std::unique_ptr<CMainDialog> window;
};

TEST_F(MainDialogTest, KeepsItsMinimumSizeAndLaysOutForAnySize) {
    EXPECT_EQ(window->minimumSize(), QSize(800, 570));
    window->resize(600, 400);
    EXPECT_GE(window->width(), 800);
    EXPECT_GE(window->height(), 570);
    window->resize(1280, 900);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->Canvas().geometry(), QRect(159, 208, 1280 - 137 - 159, 900 - 4 - 208));
}

TEST_F(MainDialogTest, ZoomStepsStopAtTheirEnds) {
    window->SetZoomIndex(7);
    window->RunCommand(cmd::kZoomIn);
    EXPECT_EQ(window->ZoomIndex(), 7);
    EXPECT_FLOAT_EQ(window->Canvas().Zoom(), 2.0f);
    window->SetZoomIndex(0);
    window->RunCommand(cmd::kZoomOut);
    EXPECT_EQ(window->ZoomIndex(), 0);
    EXPECT_FLOAT_EQ(window->Canvas().Zoom(), 0.25f);
    window->RunCommand(cmd::kZoomIn);
    EXPECT_FLOAT_EQ(window->Canvas().Zoom(), 0.5f);
}

TEST_F(MainDialogTest, PreviewFitsTheCollageAndLeavingRestoresTheZoomAndChildren) {
    window->SetZoomIndex(5); // 150 %
    window->RunCommand(cmd::kPreview);
    ASSERT_TRUE(window->InPreview());
    EXPECT_EQ(window->Canvas().geometry(), window->rect());
    // 1024 x 768 client, 1024 x 768 collage: the fit is 1.
    EXPECT_FLOAT_EQ(window->Canvas().Zoom(), 1.0f);
    EXPECT_FALSE(window->ToolbarButton(cmd::kNewProject)->isVisible());
    // A click leaves the preview and does nothing else.
    const size_t objects = Doc().objects.size();
    QTest::mouseClick(&window->Canvas(), Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_FALSE(window->InPreview());
    EXPECT_EQ(Doc().objects.size(), objects);
    EXPECT_FLOAT_EQ(window->Canvas().Zoom(), 1.5f);
    EXPECT_TRUE(window->ToolbarButton(cmd::kNewProject)->isVisible());
    EXPECT_EQ(window->Canvas().geometry(), QRect(159, 208, 1024 - 137 - 159, 768 - 4 - 208));
    // Only the active panel of the panel area shows again.
    EXPECT_TRUE(window->Panel(PanelSlot::Frame)->isVisible());
    EXPECT_FALSE(window->Panel(PanelSlot::Mask)->isVisible());
}

TEST_F(MainDialogTest, ToolbarFollowsSelectionAndHistory) {
    EXPECT_FALSE(ToolbarEnabled(cmd::kUndo));
    EXPECT_FALSE(ToolbarEnabled(cmd::kDelete));
    AddTexts(1);
    EXPECT_TRUE(ToolbarEnabled(cmd::kDelete));
    EXPECT_FALSE(ToolbarEnabled(cmd::kMoveUp));
    EXPECT_FALSE(ToolbarEnabled(cmd::kMoveToBottom));
    EXPECT_FALSE(ToolbarEnabled(cmd::kCrop)); // a text is no photo
    AddTexts(2);
    SelectOnly(1);
    for (int id : {cmd::kMoveUp, cmd::kMoveDown, cmd::kMoveToTop, cmd::kMoveToBottom})
        EXPECT_TRUE(ToolbarEnabled(id)) << id;
    window->RunCommand(cmd::kMoveToTop);
    EXPECT_FALSE(ToolbarEnabled(cmd::kMoveUp));
    EXPECT_TRUE(ToolbarEnabled(cmd::kMoveDown));
    EXPECT_TRUE(ToolbarEnabled(cmd::kUndo));
    window->RunCommand(cmd::kUndo);
    EXPECT_TRUE(ToolbarEnabled(cmd::kRedo));
}

// Every Edit-menu item is enabled exactly when its toolbar button is.
TEST_F(MainDialogTest, EditMenuEnablesAsTheToolbar) {
    const std::pair<int, int> pairs[] = {
        {cmd::kMenuUndo, cmd::kUndo},         {cmd::kMenuRedo, cmd::kRedo},
        {cmd::kMenuDelete, cmd::kDelete},     {cmd::kMenuCrop, cmd::kCrop},
        {cmd::kMenuMoveUp, cmd::kMoveUp},     {cmd::kMenuMoveDown, cmd::kMoveDown},
        {cmd::kMenuMoveToTop, cmd::kMoveToTop}, {cmd::kMenuMoveToBottom, cmd::kMoveToBottom},
    };
    const auto check = [&] {
        CQorMenu menu(window.get());
        BuildMenu(MenuId::Edit, menu, *window);
        int seen = 0;
        for (QAction* action : menu.actions()) {
            for (const auto& [menuId, toolId] : pairs) {
                if (action->data().toInt() != menuId)
                    continue;
                ++seen;
                EXPECT_EQ(action->isEnabled(), ToolbarEnabled(toolId)) << menuId;
            }
        }
        EXPECT_EQ(seen, 8);
    };
    check(); // nothing on the canvas
    AddTexts(3);
    SelectOnly(0);
    check();
    SelectOnly(-1);
    check();
}

TEST_F(MainDialogTest, PanelsMenuChecksTheVisiblePanelAndTabsSwitch) {
    window->RunCommand(cmd::kMaskTab);
    EXPECT_EQ(window->ActivePanel(), PanelSlot::Mask);
    EXPECT_TRUE(window->Panel(PanelSlot::Mask)->isVisible());
    EXPECT_FALSE(window->Panel(PanelSlot::Frame)->isVisible());
    CQorMenu menu(window.get());
    BuildMenu(MenuId::Panels, menu, *window);
    for (QAction* action : menu.actions())
        EXPECT_EQ(action->isChecked(), action->data().toInt() == cmd::kMenuMask) << action->text().toStdString();
    window->RunCommand(cmd::kMenuText);
    EXPECT_EQ(window->ActivePanel(), PanelSlot::Text);
}

// The commands of the window's own groups; the other groups' ids are listed with them in
// the dispatcher test of the whole command set.
TEST_F(MainDialogTest, DispatcherReachesTheWindowsOwnCommands) {
    const int ids[] = {cmd::kUndo, cmd::kMenuUndo, cmd::kRedo, cmd::kMenuRedo, cmd::kDelete,
                       cmd::kMenuDelete, cmd::kMoveUp, cmd::kMenuMoveUp, cmd::kMoveDown,
                       cmd::kMenuMoveDown, cmd::kMoveToTop, cmd::kMenuMoveToTop, cmd::kMoveToBottom,
                       cmd::kMenuMoveToBottom, cmd::kZoomIn, cmd::kZoomOut, cmd::kPreview,
                       cmd::kMenuPreview, cmd::kFrameTab, cmd::kMaskTab, cmd::kClipartTab,
                       cmd::kTuningTab, cmd::kTextTab, cmd::kMenuFrame, cmd::kMenuMask,
                       cmd::kMenuClipart, cmd::kMenuTuning, cmd::kMenuText, cmd::kFileMenu,
                       cmd::kEditMenu, cmd::kPanelsMenu, cmd::kToolsMenu, cmd::kHelpMenu,
                       cmd::kFileMenuKey, cmd::kEditMenuKey, cmd::kPanelsMenuKey, cmd::kHelpMenuKey,
                       cmd::kClose, cmd::kExit, cmd::kMinimise, cmd::kMaximise, cmd::kHelpContents,
                       cmd::kFrameworkHelp, cmd::kAbout, cmd::kSystemAbout, cmd::kChooseColour};
    for (int id : ids)
        EXPECT_NE(window->GroupFor(id), nullptr) << id;
    EXPECT_EQ(window->GroupFor(4242), nullptr);
    EXPECT_FALSE(window->IsCommandEnabled(4242));
    EXPECT_FALSE(window->RunCommand(4242));
}

// Every command of both command tables, and the program's own, reaches a group.
TEST_F(MainDialogTest, DispatcherReachesEveryCommandOfTheSet) {
    const int ids[] = {
        10551, 10850, 10552, 10851, 10553, 10852, 10558, 10853, 10557, 10902, 10556, 10901,
        10903, 10010, 10011, 10012, 10554, 10934, 10555, 10935, 10494, 10854, 10495, 10855,
        10490, 10856, 10491, 10857, 10492, 10858, 10493, 10859, 10496, 10497, 10700, 10910,
        10701, 10911, 10702, 10912, 10703, 10914, 10705, 10916, 10015, 10601, 10900, 10483,
        10602, 10482, 10481, 11000, 11007, 11003, 11008, 11002, 11009, 11005, 11011, 10930,
        57670, 10931, 0x10,
        // The second table.
        10904, 10998, 11996, 10950, 10951, 10952, 10915, 11980, 11981, 11982, 11984, 11985,
        11986, 11988, 11989, 11990, 11991, 11992, 11993, 11994, 10932,
        // The program's own.
        cmd::kSaveProject, cmd::kFindMissingPhotos, cmd::kRestoreWallpaper, cmd::kSelectAll,
        cmd::kAddPhotoFile, cmd::kAddText, cmd::kPaintMode};
    for (int id : ids)
        EXPECT_NE(window->GroupFor(id), nullptr) << id;
}

TEST_F(MainDialogTest, ClosingWritesThePhotoList) {
    const QString list = data.File(QStringLiteral("srcmedia.cfg"));
    QFile::remove(list);
    window->close();
    EXPECT_TRUE(QFile::exists(list));
    PhotoList reread;
    EXPECT_EQ(reread.Load(list), PhotoList::LoadStatus::Loaded);
}

TEST(AcceleratorNames, FlagsThenTheKeysName) {
    EXPECT_EQ(AcceleratorKeyName({true, true, false, true, Qt::Key_F5}), QStringLiteral("Ctrl+Shift+F5"));
    EXPECT_EQ(AcceleratorKeyName({true, false, false, true, Qt::Key_Z}), QStringLiteral("Ctrl+Z"));
    EXPECT_EQ(AcceleratorKeyName({false, false, true, false, 'q'}), QStringLiteral("Alt+q"));
    // A character key that is Esc shows no key name.
    EXPECT_EQ(AcceleratorKeyName({true, false, false, false, 27}), QStringLiteral("Ctrl+"));
}

} // namespace
} // namespace mosaiq
