// The help window offscreen: it opens on the contents page with no web browser, follows links
// with Back and Forward, searches, and the Help menu opens it. Every command of every menu has a
// section in the manual's menu reference.
#include "shell/ManualPages.h"
#include "shell/widgets/CHelpWindow.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandIds.h"
#include "shell/widgets/MainMenus.h"
#include "common/TestSupport.h"
#include "core/Notifier.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

const QString kManual = QStringLiteral(MOSAIQ_MANUAL_DIR);

TEST(HelpWindow, OpensOnTheContentsAndFollowsLinksBackAndForward) {
    CHelpWindow help(kManual);
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("index.html"));
    EXPECT_TRUE(help.Browser()->toPlainText().contains(QStringLiteral("Contents")));
    EXPECT_GE(help.Contents()->count(), 10);
    EXPECT_FALSE(help.BackButton()->isEnabled());

    help.ShowPage(QStringLiteral("masks.html"));
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("masks.html"));
    EXPECT_TRUE(help.BackButton()->isEnabled());
    QTest::mouseClick(help.BackButton(), Qt::LeftButton);
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("index.html"));
    EXPECT_TRUE(help.ForwardButton()->isEnabled());
    QTest::mouseClick(help.ForwardButton(), Qt::LeftButton);
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("masks.html"));
}

TEST(HelpWindow, SearchListsPagesAndOpensTheBest) {
    CHelpWindow help(kManual);
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    QTest::keyClicks(help.SearchField(), QStringLiteral("mask"));
    QTest::keyClick(help.SearchField(), Qt::Key_Return);
    ASSERT_GE(help.Contents()->count(), 1);
    EXPECT_EQ(help.CurrentPage(), help.Contents()->item(0)->data(Qt::UserRole).toString());
    EXPECT_TRUE(help.Browser()->textCursor().selectedText().compare(QStringLiteral("mask"),
                                                                     Qt::CaseInsensitive) == 0);
    help.SearchField()->clear(); // an empty field shows the contents again
    EXPECT_EQ(help.Contents()->item(0)->text(), ReadManualPages(kManual).front().title);
    help.Search(QStringLiteral("zzzznotthere"));
    EXPECT_EQ(help.Contents()->count(), 0);
}

class HelpFromTheWindow : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("MOSAIQ_HELP_DIR", kManual.toUtf8());
        window = std::make_unique<CMainDialog>();
        window->resize(1024, 768);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        window.reset();
        qunsetenv("MOSAIQ_HELP_DIR");
    }
    test::ScopedDataDir data;
    std::unique_ptr<CMainDialog> window;
};

TEST_F(HelpFromTheWindow, TheHelpCommandOpensTheHelpWindow) {
    RecordingNotifier notes;
    ScopedNotifier scope(&notes);
    window->RunCommand(cmd::kHelpContents);
    CHelpWindow* help = window->findChild<CHelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->CurrentPage(), QStringLiteral("index.html"));
    EXPECT_TRUE(notes.messages.isEmpty());
    window->RunCommand(cmd::kHelpContents); // a second time: the same window
    EXPECT_EQ(window->findChildren<CHelpWindow*>().size(), 1);
    // It opened over the main window, centred on it as far as the screen allows.
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_EQ(help->pos(), CentredOn(window->frameGeometry(), help->size(), screen).topLeft());
    help->close();
}

TEST(HelpWindow, IsPlacedCentredOnItsOwnerWithinTheScreen) {
    const QRect screen(0, 0, 1920, 1080);
    EXPECT_EQ(CentredOn(QRect(100, 100, 1280, 800), QSize(980, 720), screen),
              QRect(250, 140, 980, 720));
    // Near an edge it stays on the screen.
    EXPECT_EQ(CentredOn(QRect(-300, 600, 400, 300), QSize(980, 720), screen).topLeft(),
              QPoint(0, 360));
    EXPECT_EQ(CentredOn(QRect(100, 100, 400, 300), QSize(980, 720), QRect()).topLeft(),
              QPoint(-190, -110));
}

// A search hit low on a long page is scrolled to the middle of the view, not left at its edge.
TEST(HelpWindow, ASearchHitIsShownInTheMiddleOfTheView) {
    CHelpWindow help(kManual);
    help.resize(900, 400);
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    help.Search(QStringLiteral("duplicates")); // low on the long command-line page
    ASSERT_EQ(help.Contents()->count(), 1);
    QTest::qWait(100);
    const QTextBrowser* browser = help.Browser();
    ASSERT_TRUE(browser->textCursor().hasSelection());
    const QScrollBar* bar = browser->verticalScrollBar();
    const int middle = browser->viewport()->height() / 2;
    const int y = browser->cursorRect().center().y();
    // In the middle, unless the page ends before the hit could get there.
    ASSERT_GT(bar->maximum(), 0);
    if (bar->value() < bar->maximum())
        EXPECT_NEAR(y, middle, 30) << "bar " << bar->value() << " of " << bar->maximum();
    else
        EXPECT_GT(y, middle - 30);
}

// The visible words of a menu item: the accelerator after a tab, "(Ctrl+Z)" and "..." left out.
QString ItemWords(QString text) {
    text = text.section(u'\t', 0, 0);
    text.remove(QRegularExpression(QStringLiteral("\\(Ctrl\\+.\\)")));
    text.remove(QStringLiteral("..."));
    text.remove(u'&');
    return text.simplified();
}

void CollectItems(QMenu& menu, QStringList& items) {
    for (QAction* action : menu.actions()) {
        if (action->isSeparator())
            continue;
        if (action->menu())
            CollectItems(*action->menu(), items);
        items << ItemWords(action->text());
    }
}

TEST_F(HelpFromTheWindow, EveryMenuCommandHasASectionInTheMenuReference) {
    QString reference;
    for (const ManualPage& page : ReadManualPages(kManual))
        if (page.file == QStringLiteral("menus.html"))
            reference = page.text;
    ASSERT_FALSE(reference.isEmpty());
    QStringList items;
    for (MenuId menu : {MenuId::File, MenuId::Panels, MenuId::Edit, MenuId::Tools, MenuId::Help,
                        MenuId::CanvasContext, MenuId::PhotoListContext}) {
        CQorMenu popup(window.get());
        BuildMenu(menu, popup, *window);
        CollectItems(popup, items);
    }
    ASSERT_GE(items.size(), 40);
    for (const QString& item : items) {
        if (item.isEmpty())
            continue;
        EXPECT_TRUE(reference.contains(item, Qt::CaseInsensitive))
            << "menu item \"" << item.toStdString() << "\" is not described in menus.html";
    }
}

} // namespace
} // namespace mosaiq
