// The menu bar's menus by keyboard and by sight: Alt and the first letter drop each menu, the
// panels menu's check mark shows on its light background, the Edit menu keeps its separator.
#include "WindowTestSupport.h"
#include "shell/widgets/CQorMenu.h"
#include "shell/widgets/CommandIds.h"
#include "shell/widgets/MainMenus.h"

#include <QApplication>
#include <QTimer>

namespace mosaiq {
namespace {

class MenuTest : public test::WindowTest {
public:
    // The command ids of the popup a key drops (closed again at once); empty when none opened.
    QList<int> MenuDroppedBy(Qt::Key key) {
        QList<int> ids;
        bool seen = false;
        QTimer::singleShot(100, [&] {
            if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                seen = true;
                for (QAction* action : popup->actions())
                    ids << action->data().toInt();
                popup->close();
            }
        });
        QTest::keyClick(window.get(), key, Qt::AltModifier);
        if (!seen)
            QTest::qWait(200); // a popup that never opened leaves the timer to fire here
        return ids;
    }
    QAction* ActionOf(QMenu& menu, int id) {
        for (QAction* action : menu.actions())
            if (action->data().toInt() == id)
                return action;
        return nullptr;
    }
};

TEST_F(MenuTest, AltAndTheFirstLetterDropEachMenu) {
    const std::pair<Qt::Key, int> menus[] = {
        {Qt::Key_F, cmd::kMenuNewProject}, {Qt::Key_P, cmd::kMenuFrame},
        {Qt::Key_E, cmd::kMenuUndo},       {Qt::Key_T, cmd::kCalendar},
        {Qt::Key_H, cmd::kAbout},
    };
    for (const auto& [key, item] : menus) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(MenuDroppedBy(key).contains(item));
    }
}

TEST_F(MenuTest, ThePanelsMenuCheckMarkIsDrawnInTheTextColour) {
    window->RunCommand(cmd::kMaskTab);
    CQorMenu menu(window.get());
    BuildMenu(MenuId::Panels, menu, *window);
    menu.resize(menu.sizeHint());
    QAction* checked = ActionOf(menu, cmd::kMenuMask);
    ASSERT_NE(checked, nullptr);
    ASSERT_TRUE(checked->isChecked());
    const QImage image = menu.grab().toImage();
    const QRect item = menu.actionGeometry(checked);
    const QRect column(item.left(), item.top(), item.height(), item.height());
    const auto darkPixels = [&](const QRect& r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += qGray(image.pixel(x, y)) < 90;
        return n;
    };
    EXPECT_GT(darkPixels(column), 8);
    // The unchecked item beside it has nothing in its column.
    const QRect other = menu.actionGeometry(ActionOf(menu, cmd::kMenuFrame));
    EXPECT_EQ(darkPixels(QRect(other.left(), other.top(), other.height(), other.height())), 0);
}

TEST_F(MenuTest, TheEditMenuKeepsItsLeadingSeparator) {
    CQorMenu menu(window.get());
    BuildMenu(MenuId::Edit, menu, *window);
    menu.resize(menu.sizeHint());
    ASSERT_FALSE(menu.actions().isEmpty());
    QAction* first = menu.actions().first();
    ASSERT_TRUE(first->isSeparator());
    EXPECT_GT(menu.actionGeometry(first).height(), 0);
    EXPECT_LT(menu.actionGeometry(first).bottom(), menu.actionGeometry(menu.actions().at(1)).top());
}

} // namespace
} // namespace mosaiq
