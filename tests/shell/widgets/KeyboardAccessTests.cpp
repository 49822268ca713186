// The main window without a mouse: the focus order through its panels, the photo browser and the
// library panels by arrows and Enter, the canvas's key edits as one undo step, the status line,
// and the whole accessibility tree with a name and a proper role for everything operable.
#include "canvas/widgets/CCollageCanvas.h"
#include "common/TestSupport.h"
#include "core/Notifier.h"
#include "core/data/BuiltinData.h"
#include "library/packs/StarterLibraries.h"
#include "batch/widgets/CBatchConvertDialog.h"
#include "imaging/widgets/CNewCollageDialog.h"
#include "library/widgets/CLibraryPanel.h"
#include "text/widgets/CTextStyleList.h"
#include "library/widgets/photos/CPhotoBrowser.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CMenuBarButton.h"
#include "shell/widgets/CommandIds.h"
#include "shell/widgets/access/CStatusLine.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/DialogProvider.h"

#include "ui/widgets/access/AccessibleItems.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace mosaiq {
namespace {

QStringList& StatusTexts() {
    static QStringList texts;
    return texts;
}

class KeyboardAccess : public ::testing::Test {
protected:
    void SetUp() override {
        WriteOutReport report = WriteBuiltinDataFiles(data.Path());
        WriteStarterLibraries(data.Path(), report);
        SetDialogProvider(&dialogs);
        StatusTexts().clear();
        SetAnnouncementWatcher([](QAccessibleEvent* e) {
            if (auto* line = qobject_cast<CStatusLine*>(e->object());
                line && e->type() == QAccessible::NameChanged)
                StatusTexts() << line->Text();
        });
        window = std::make_unique<CMainDialog>();
        window->resize(1024, 768);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override {
        window.reset();
        SetAnnouncementWatcher(nullptr);
        SetDialogProvider(nullptr);
    }
    CPhotoBrowser& Browser() {
        return *qobject_cast<CPhotoBrowser*>(window->Area(SideArea::PhotoBrowser));
    }
    CollageDocument& Doc() { return window->Canvas().Document(); }
    void Import(int n) {
        QStringList paths;
        for (int i = 0; i < n; ++i) {
            QImage image(160, 120, QImage::Format_RGB32);
            image.fill(QColor(40 * i, 90, 160));
            paths << data.File(QStringLiteral("p%1.png").arg(i));
            ASSERT_TRUE(image.save(paths.back()));
        }
        const qsizetype before = notes.messages.size();
        dialogs.AnswerFiles(paths);
        ASSERT_TRUE(window->RunCommand(cmd::kImportPhotos));
        ASSERT_TRUE(QTest::qWaitFor([&] { return notes.messages.size() > before; }, 20000));
        // The progress window had the activation; offscreen no window manager hands it back.
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window.get(); }));
    }
    // Presses key on whatever has the focus (the window itself when nothing in it has).
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : window.get(), key, modifiers);
    }
    // Tabs until w has the focus; false when a whole round never reaches it.
    bool TabTo(QWidget* w) {
        for (int i = 0; i < 300 && QApplication::focusWidget() != w; ++i) {
            Key(Qt::Key_Tab);
        }
        return QApplication::focusWidget() == w;
    }

    test::ScopedDataDir data;
    ScriptedDialogProvider dialogs;
    RecordingNotifier notes;
    ScopedNotifier scoped{&notes};
    std::unique_ptr<CMainDialog> window;
};

TEST_F(KeyboardAccess, TabGoesThroughThePanelsInReadingOrder) {
    EXPECT_TRUE(window->Canvas().hasFocus()) << "the canvas has the focus at start";
    auto menus = window->findChildren<CMenuBarButton*>(Qt::FindDirectChildrenOnly);
    ASSERT_FALSE(menus.isEmpty());
    QWidget* first = *std::min_element(menus.begin(), menus.end(),
                                       [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    first->setFocus(Qt::TabFocusReason);
    std::vector<QWidget*> visited{first};
    for (int i = 0; i < 300; ++i) {
        Key(Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (now == first)
            break;
        EXPECT_TRUE(now->isVisible()) << now->metaObject()->className();
        visited.push_back(now);
    }
    ASSERT_EQ(QApplication::focusWidget(), first) << "Tab comes round to the start";
    const auto at = [&](QWidget* w) {
        return int(std::find(visited.begin(), visited.end(), w) - visited.begin());
    };
    const int end = int(visited.size());
    QWidget* framePanel = window->Panel(PanelSlot::Frame);
    QWidget* libraryPanel = framePanel->findChild<CLibraryPanel*>();
    if (!libraryPanel)
        libraryPanel = qobject_cast<CLibraryPanel*>(framePanel);
    ASSERT_NE(libraryPanel, nullptr);
    const int undo = at(window->ToolbarButton(cmd::kUndo));
    const int library = at(libraryPanel);
    const int browser = at(&Browser());
    const int canvas = at(&window->Canvas());
    const int presets = at(window->Area(SideArea::PresetPanel)->findChild<CLibraryPanel*>()
                               ? window->Area(SideArea::PresetPanel)->findChild<CLibraryPanel*>()
                               : window->Area(SideArea::PresetPanel));
    for (int index : {library, browser, canvas, presets})
        ASSERT_LT(index, end);
    EXPECT_LT(library, browser) << "the panel area comes before the left column";
    EXPECT_LT(browser, canvas);
    EXPECT_LT(canvas, presets);
    EXPECT_EQ(undo, end) << "Undo is disabled at start, so Tab passes it by";
    for (int i = 0; i < int(menus.size()); ++i)
        EXPECT_TRUE(qobject_cast<CMenuBarButton*>(visited[size_t(i)])) << i;

    // Shift+Tab walks back the same way.
    QWidget* beforeCanvas = visited[size_t(canvas - 1)];
    window->Canvas().setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), beforeCanvas);
}

TEST_F(KeyboardAccess, BrowserAndLibraryPanelWorkByArrowsAndEnter) {
    Import(2);
    CPhotoBrowser& browser = Browser();
    ASSERT_TRUE(TabTo(&browser));
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    EXPECT_EQ(browser.Selection().SelectedRecords(), std::vector<int>{1});
    const int steps = Doc().History().Count();
    Key(Qt::Key_Return);
    ASSERT_EQ(Doc().objects.size(), 1u);
    EXPECT_EQ(Doc().History().Count(), steps + 1);
    EXPECT_TRUE(StatusTexts().contains(QStringLiteral("Photo p1.png added"))) << StatusTexts().join('|').toStdString();

    auto* frames = window->Panel(PanelSlot::Frame)->findChild<CLibraryPanel*>();
    if (!frames)
        frames = qobject_cast<CLibraryPanel*>(window->Panel(PanelSlot::Frame));
    ASSERT_NE(frames, nullptr);
    ASSERT_GT(frames->Count(), 1);
    ASSERT_TRUE(TabTo(frames));
    Key(Qt::Key_Right);
    EXPECT_EQ(frames->SelectedIndex(), 1);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(frames);
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), QStringLiteral("Frame 2"));
    EXPECT_TRUE(list->child(1)->state().selected);
    const int before = Doc().History().Count();
    Key(Qt::Key_Return);
    EXPECT_EQ(Doc().History().Count(), before + 1) << "Enter applies the frame as a double click";
}

TEST_F(KeyboardAccess, TextStylesAreChosenByArrows) {
    window->RunCommand(cmd::kTextTab);
    auto* styles = window->Panel(PanelSlot::Text)->findChild<CTextStyleList*>();
    ASSERT_NE(styles, nullptr);
    ASSERT_TRUE(TabTo(styles));
    const int before = Doc().textTemplate.style;
    const int row = styles->CurrentRow();
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(styles->CurrentRow(), row + 2);
    EXPECT_NE(Doc().textTemplate.style, before) << "the chosen style reaches the text settings";
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(styles);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("Style"));
    EXPECT_EQ(list->child(row + 2)->text(QAccessible::Name), QStringLiteral("Style %1").arg(row + 3));
    EXPECT_TRUE(list->child(row + 2)->state().selected);
    Key(Qt::Key_Home);
    EXPECT_EQ(styles->CurrentRow(), 0);
}

TEST_F(KeyboardAccess, KeyEditsOfABurstAreOneUndoStep) {
    Import(1);
    ASSERT_TRUE(TabTo(&Browser()));
    Key(Qt::Key_Right);
    Key(Qt::Key_Return);
    ASSERT_EQ(Doc().objects.size(), 1u);
    CCollageCanvas& canvas = window->Canvas();
    canvas.setFocus(Qt::TabFocusReason);
    const CanvasObject before = Doc().objects[0];
    const int steps = Doc().History().Count();
    Key(Qt::Key_Up, Qt::ControlModifier);
    Key(Qt::Key_Up, Qt::ControlModifier);
    Key(Qt::Key_Right, Qt::AltModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_GT(Doc().objects[0].Scale(), before.Scale() * 1.1f - 1e-4f);
    EXPECT_FLOAT_EQ(Doc().objects[0].Angle(), before.Angle() + 1.0f);
    ASSERT_TRUE(window->RunCommand(cmd::kUndo)); // commits the burst first, then undoes it
    EXPECT_EQ(Doc().History().Count(), steps + 1);
    EXPECT_FLOAT_EQ(Doc().objects[0].Scale(), before.Scale());
    EXPECT_FLOAT_EQ(Doc().objects[0].Angle(), before.Angle());
    EXPECT_EQ(Doc().objects[0].Position(), before.Position());
}

TEST_F(KeyboardAccess, StatusLineSaysWhatHappened) {
    auto* line = window->findChild<CStatusLine*>();
    ASSERT_NE(line, nullptr);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(line);
    EXPECT_EQ(iface->role(), QAccessible::StatusBar);
    EXPECT_FALSE(iface->state().invisible) << "listed, though it draws nothing";
    EXPECT_TRUE(line->size().isEmpty());
    Import(2);
    EXPECT_EQ(StatusTexts().back(), notes.messages.back()) << "the import's summary is heard";
    Doc().AddText();
    EXPECT_TRUE(StatusTexts().back().endsWith(QStringLiteral(" added")));
    window->Canvas().setFocus();
    Key(Qt::Key_Delete);
    EXPECT_TRUE(StatusTexts().contains(QStringLiteral("1 object deleted")));
    EXPECT_EQ(iface->text(QAccessible::Name), line->Text());
}

// The operable objects under root without a name or with a role that says nothing; counts the
// operable ones into operable.
QStringList UnnamedOperable(QAccessibleInterface* root, int& operable) {
    QStringList faults;
    std::function<void(QAccessibleInterface*, const QString&)> walk =
        [&](QAccessibleInterface* node, const QString& path) {
            const QAccessible::State s = node->state();
            const QStringList actions =
                node->actionInterface() ? node->actionInterface()->actionNames() : QStringList();
            const bool acts = std::any_of(actions.begin(), actions.end(), [](const QString& a) {
                return a != QAccessibleActionInterface::setFocusAction();
            });
            const QString name = node->text(QAccessible::Name);
            const QString where = path + QLatin1Char('/') +
                                  (node->object() ? node->object()->metaObject()->className()
                                                  : "item") +
                                  QLatin1Char('[') + name + QLatin1Char(']');
            if (s.focusable || acts) {
                ++operable;
                const QAccessible::Role r = node->role();
                if (name.trimmed().isEmpty() || r == QAccessible::Client ||
                    r == QAccessible::NoRole || r == QAccessible::Pane ||
                    r == QAccessible::Grouping)
                    faults << where + QStringLiteral(" role %1").arg(int(r));
            }
            for (int i = 0; i < node->childCount(); ++i)
                if (QAccessibleInterface* child = node->child(i))
                    walk(child, where);
        };
    walk(root, QString());
    return faults;
}

// Every object that can be operated has a name and a role that says what it is, in the whole
// tree of the window (hidden panels included) and of the dialogs it opens.
TEST_F(KeyboardAccess, EveryOperableObjectIsNamedWithAProperRole) {
    Import(1);
    Doc().AddText();
    int operable = 0;
    QStringList faults = UnnamedOperable(QAccessible::queryAccessibleInterface(window.get()), operable);
    EXPECT_GT(operable, 100);
    CNewCollageDialog newCollage(CollageSettings{}, window.get());
    CBatchConvertDialog converter(window.get());
    for (QWidget* dialog : {static_cast<QWidget*>(&newCollage), static_cast<QWidget*>(&converter)}) {
        int inDialog = 0;
        faults += UnnamedOperable(QAccessible::queryAccessibleInterface(dialog), inDialog);
        EXPECT_GT(inDialog, 5) << dialog->metaObject()->className();
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " of " << operable << ":\n"
                                  << faults.join(QLatin1Char('\n')).toStdString();
}

} // namespace
} // namespace mosaiq
