#include "core/Notifier.h"
#include "imaging/widgets/CNewCollageDialog.h"
#include "imaging/widgets/CPlacementButton.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CVexColourPicker.h"
#include "ui/widgets/DialogProvider.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

class NewCollageDialogTest : public ::testing::Test {
protected:
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    ScriptedDialogProvider dialogs;

    void SetUp() override { SetDialogProvider(&dialogs); }
    void TearDown() override { SetDialogProvider(nullptr); }

    static void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
};

struct SideCase {
    const char* width;
    const char* height;
    bool accepted;
};

} // namespace

TEST_F(NewCollageDialogTest, OkChecksBothSidesAndKeepsTheDialogOpenOnABadOne) {
    const SideCase cases[] = {{"9", "768", false},    {"10", "768", true},
                              {"3200", "768", true},  {"3201", "768", false},
                              {"12ab", "768", false}, {"800", "3201", false},
                              {"1023", "10", true}};
    for (const SideCase& c : cases) {
        CNewCollageDialog dialog{CollageSettings()};
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        dialog.WidthEdit()->setText(QString::fromLatin1(c.width));
        dialog.HeightEdit()->setText(QString::fromLatin1(c.height));
        notifier.messages.clear();
        Click(dialog.OkButton());
        EXPECT_EQ(dialog.isVisible(), !c.accepted) << c.width << " x " << c.height;
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.width;
        if (c.accepted) {
            EXPECT_TRUE(notifier.messages.isEmpty());
            EXPECT_EQ(dialog.Settings().width, QString::fromLatin1(c.width).toInt());
            continue;
        }
        ASSERT_EQ(notifier.messages.size(), 1) << c.width;
        QLineEdit* offending = QString::fromLatin1(c.height) == QLatin1String("3201")
                                   ? dialog.HeightEdit()
                                   : dialog.WidthEdit();
        EXPECT_EQ(QApplication::focusWidget(), offending) << c.width;
        EXPECT_EQ(dialog.Settings().width, 1024) << "refused input leaves the settings alone";
    }
}

TEST_F(NewCollageDialogTest, OpensWithTheGivenValuesAndPlacement) {
    CollageSettings s;
    s.title = QStringLiteral("Collage Setting");
    s.width = 1200;
    s.height = 900;
    s.placement = kPlaceStretch;
    s.backgroundPath = QStringLiteral("/pictures/back.png");
    CNewCollageDialog dialog(s);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Collage Setting"));
    EXPECT_EQ(dialog.ColourButton()->CustomText(), QStringLiteral("Custom Color"));
    EXPECT_EQ(dialog.WidthEdit()->text(), QStringLiteral("1200"));
    EXPECT_EQ(dialog.HeightEdit()->text(), QStringLiteral("900"));
    EXPECT_EQ(dialog.PathEdit()->text(), s.backgroundPath);
    EXPECT_FALSE(dialog.PlacementButton(0)->IsOn());
    EXPECT_FALSE(dialog.PlacementButton(1)->IsOn());
    EXPECT_TRUE(dialog.PlacementButton(2)->IsOn());
    EXPECT_EQ(dialog.size(), kNewCollageClientSize);
    EXPECT_EQ(CNewCollageDialog(CollageSettings()).windowTitle(),
              QStringLiteral("Create New Collage"));

    // Pressing Tile turns the others off; OK keeps it, the colour and the path.
    dialog.show();
    Click(dialog.PlacementButton(1));
    EXPECT_TRUE(dialog.PlacementButton(1)->IsOn());
    EXPECT_FALSE(dialog.PlacementButton(2)->IsOn());
    Click(dialog.OkButton());
    EXPECT_EQ(dialog.Settings().placement, kPlaceTile);
    EXPECT_EQ(dialog.Settings().backgroundPath, s.backgroundPath);
}

TEST_F(NewCollageDialogTest, BrowseThenCancelKeepsThePath) {
    CollageSettings s;
    s.backgroundPath = QStringLiteral("/kept.png");
    CNewCollageDialog dialog(s);
    dialog.show();
    Click(dialog.BrowseButton()); // cancelled: no answer prepared
    EXPECT_EQ(dialog.PathEdit()->text(), QStringLiteral("/kept.png"));
    ASSERT_EQ(dialogs.Filters().size(), 1);
    EXPECT_TRUE(dialogs.Filters()[0].startsWith(
        QStringLiteral("(*.jpg *.jpeg *.gif *.bmp *.png *.heic *.heif *.hif *.avif *.webp)")));
    dialogs.AnswerFiles({QStringLiteral("/chosen.tga")});
    Click(dialog.BrowseButton());
    EXPECT_EQ(dialog.PathEdit()->text(), QStringLiteral("/chosen.tga"));
}

TEST_F(NewCollageDialogTest, CancelAndCloseLeaveTheSettingsAsGiven) {
    for (bool useClose : {false, true}) {
        CNewCollageDialog dialog{CollageSettings()};
        dialog.show();
        dialog.WidthEdit()->setText(QStringLiteral("500"));
        Click(useClose ? dialog.CloseButton() : dialog.CancelButton());
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(dialog.Settings().width, 1024);
    }
}

TEST_F(NewCollageDialogTest, APathTooLongForAProjectIsRefused) {
    CNewCollageDialog dialog{CollageSettings()};
    dialog.show();
    dialog.PathEdit()->setText(QString(260, QLatin1Char('p')));
    Click(dialog.OkButton());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(notifier.messages.size(), 1);
}
