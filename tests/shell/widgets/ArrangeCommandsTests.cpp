// Edit > Arrange... and Edit > Align in a whole main window, offscreen: the dialog's previews,
// one history step per command, other objects left alone.
#include "canvas/interaction/SelectionAlign.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/arrange/CArrangeDialog.h"
#include "canvas/widgets/arrange/CArrangePreview.h"
#include "common/TestSupport.h"
#include "core/text/FixedText.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandIds.h"
#include "shell/widgets/MainMenus.h"
#include "ui/widgets/CBitmapButton.h"

#include <QCheckBox>
#include <QSettings>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

class ArrangeCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<CMainDialog>();
        window->resize(1024, 768);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        const int sizes[][2] = {{400, 300}, {300, 400}, {500, 500},
                                {800, 400}, {240, 360}, {640, 480}};
        CollageDocument& doc = Doc();
        for (const auto& s : sizes) {
            PhotoRecord r;
            r.pictureWidth = r.cropRight = r.boxWidth = s[0];
            r.pictureHeight = r.cropBottom = r.boxHeight = s[1];
            r.scale = 0.5f;
            r.angle = 15.0f;
            r.x = 30;
            r.y = 40;
            WriteFixedText(r.path, data.File(QStringLiteral("gone.jpg")));
            doc.objects.emplace_back(r);
        }
        TextRecord text;
        text.textWidth = 100;
        text.textHeight = 30;
        text.x = 11;
        text.y = 13;
        doc.objects.emplace_back(text);
        for (CanvasObject& o : doc.objects) {
            o.SetSelected(false);
            doc.CreateRegion(o);
        }
        doc.RecordSnapshot();
        window->UpdateToolbarState();
    }
    void TearDown() override {
        CArrangeDialog::SetRunner({});
        window.reset();
    }

    CollageDocument& Doc() { return window->Canvas().Document(); }
    QAction* FindAction(QMenu& menu, int id) {
        for (QAction* a : menu.actions()) {
            if (a->data().toInt() == id)
                return a;
            if (a->menu())
                if (QAction* inner = FindAction(*a->menu(), id))
                    return inner;
        }
        return nullptr;
    }

    test::ScopedDataDir data;
    std::unique_ptr<CMainDialog> window;
};

TEST_F(ArrangeCommandsTest, DialogPreviewsEveryFamilyAndOkIsOneUndoStep) {
    EXPECT_NE(window->ToolbarButton(cmd::kArrange)->State(), CBitmapButton::kDisabled);
    bool ran = false;
    CArrangeDialog::SetRunner([&](CArrangeDialog& dialog) {
        ran = true;
        for (LayoutFamily f : {LayoutFamily::Rows, LayoutFamily::Grid, LayoutFamily::Tree}) {
            EXPECT_TRUE(dialog.PreviewLayout(f).ok);
            EXPECT_EQ(dialog.PreviewLayout(f).cells.size(), 6u);
        }
        // Controls update the previews live.
        dialog.SpacingBox()->setValue(20);
        dialog.MarginBox()->setValue(0);
        dialog.FillBox()->setChecked(true);
        EXPECT_GT(dialog.PreviewLayout(LayoutFamily::Tree).coverage, 0.85);
        const std::vector<int> order = dialog.PreviewLayout(LayoutFamily::Tree).order;
        dialog.Shuffle();
        EXPECT_NE(dialog.PreviewLayout(LayoutFamily::Tree).order, order);
        QTest::mouseClick(dialog.Preview(LayoutFamily::Tree), Qt::LeftButton);
        EXPECT_TRUE(dialog.Preview(LayoutFamily::Tree)->Chosen());
        EXPECT_FALSE(dialog.Preview(LayoutFamily::Rows)->Chosen());
        EXPECT_EQ(dialog.Options().family, LayoutFamily::Tree);
        dialog.Apply();
        return dialog.result();
    });
    const int steps = Doc().History().Count();
    window->RunCommand(cmd::kArrange);
    ASSERT_TRUE(ran);
    EXPECT_EQ(Doc().History().Count(), steps + 1);
    for (int i = 0; i < 6; ++i) {
        const PhotoRecord& p = *Doc().objects[std::size_t(i)].Photo();
        EXPECT_EQ(p.angle, 0.0f);
        EXPECT_GE(p.x, 0);
    }
    EXPECT_EQ(Doc().objects.back().Position(), QPoint(11, 13)); // the text stays
    window->RunCommand(cmd::kUndo);
    EXPECT_EQ(Doc().objects[0].Photo()->angle, 15.0f);
    EXPECT_EQ(Doc().objects[0].Position(), QPoint(30, 40));
}

TEST_F(ArrangeCommandsTest, CancelChangesNothing) {
    CArrangeDialog::SetRunner([](CArrangeDialog& dialog) {
        dialog.FillBox()->setChecked(true);
        dialog.reject();
        return dialog.result();
    });
    const int steps = Doc().History().Count();
    window->RunCommand(cmd::kArrange);
    EXPECT_EQ(Doc().History().Count(), steps);
    EXPECT_EQ(Doc().objects[0].Position(), QPoint(30, 40));
}

TEST_F(ArrangeCommandsTest, AlignMenuFollowsTheSelectionAndEachCommandIsOneStep) {
    const auto enabled = [&](int id) {
        CQorMenu menu(window.get());
        BuildMenu(MenuId::Edit, menu, *window);
        QAction* action = FindAction(menu, id);
        EXPECT_NE(action, nullptr) << id;
        return action && action->isEnabled();
    };
    EXPECT_TRUE(enabled(cmd::kArrange));
    EXPECT_FALSE(enabled(cmd::kAlignLeft)); // nothing selected
    Doc().objects[0].SetSelected(true);
    Doc().objects[6].SetSelected(true); // the text
    EXPECT_TRUE(enabled(cmd::kAlignLeft));
    EXPECT_FALSE(enabled(cmd::kDistributeHorizontally)); // needs three
    Doc().objects[3].SetSelected(true);
    EXPECT_TRUE(enabled(cmd::kDistributeVertically));
    const int steps = Doc().History().Count();
    window->RunCommand(cmd::kAlignLeft);
    EXPECT_EQ(Doc().History().Count(), steps + 1);
    EXPECT_NEAR(ObjectBounds(Doc().objects[0]).left(), ObjectBounds(Doc().objects[6]).left(), 1);
    EXPECT_EQ(Doc().objects[1].Position(), QPoint(30, 40)); // not selected
    window->RunCommand(cmd::kAlignTop);
    EXPECT_EQ(Doc().History().Count(), steps + 2);
}

TEST_F(ArrangeCommandsTest, SnapToGuidesIsOffUntilTurnedOnAndIsRemembered) {
    const auto checked = [&] {
        CQorMenu menu(window.get());
        BuildMenu(MenuId::Edit, menu, *window);
        QAction* action = FindAction(menu, cmd::kSnapToGuides);
        EXPECT_NE(action, nullptr);
        return action && action->isChecked();
    };
    EXPECT_FALSE(window->Canvas().Interaction().SnapToGuides());
    EXPECT_FALSE(checked());
    window->RunCommand(cmd::kSnapToGuides);
    EXPECT_TRUE(window->Canvas().Interaction().SnapToGuides());
    EXPECT_TRUE(checked());
    QSettings settings(data.File(QStringLiteral("settings.ini")), QSettings::IniFormat);
    EXPECT_TRUE(settings.value(QStringLiteral("View/snapToGuides")).toBool());
    // A new window starts with the setting as it was left.
    window.reset();
    window = std::make_unique<CMainDialog>();
    EXPECT_TRUE(window->Canvas().Interaction().SnapToGuides());
    window->RunCommand(cmd::kSnapToGuides);
    EXPECT_FALSE(window->Canvas().Interaction().SnapToGuides());
}

} // namespace
} // namespace mosaiq
