// The canvas as assistive technology and the keyboard meet it: its objects as named children in
// stacking order with their rectangles and selected state, announced selections, and the key
// table driven through real key events.
#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/access/CanvasAccessible.h"
#include "common/TestSupport.h"
#include "core/Notifier.h"
#include "core/text/FixedText.h"

#include "ui/widgets/access/AccessibleItems.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace mosaiq {
namespace {

std::vector<std::pair<QAccessible::Event, int>>& Events() {
    static std::vector<std::pair<QAccessible::Event, int>> events;
    return events;
}

class CanvasAccessibility : public ::testing::Test {
protected:
    void SetUp() override {
        InstallCanvasAccessibility();
        Events().clear();
        SetAnnouncementWatcher([](QAccessibleEvent* e) {
            if (qobject_cast<CCollageCanvas*>(e->object()))
                Events().push_back({e->type(), e->child()});
        });
        window.resize(900, 640);
        canvas = new CCollageCanvas(&window);
        canvas->setGeometry(0, 0, 800, 600);
        after = new QWidget(&window);
        after->setFocusPolicy(Qt::StrongFocus);
        after->setGeometry(810, 0, 20, 20);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        canvas->setFocus();
    }
    void TearDown() override {
        SetAnnouncementWatcher(nullptr);
    }

    CollageDocument& Doc() { return canvas->Document(); }
    QAccessibleInterface* Iface() { return QAccessible::queryAccessibleInterface(canvas); }
    QStringList Names() {
        QStringList names;
        QAccessibleInterface* iface = Iface();
        for (int i = 0; i < int(Doc().objects.size()); ++i)
            names << iface->child(i)->text(QAccessible::Name);
        return names;
    }
    void AddPhoto(const QString& name, int x, int y) {
        QImage image(80, 60, QImage::Format_RGB32);
        image.fill(Qt::blue);
        const QString path = data.File(name);
        ASSERT_TRUE(image.save(path));
        ASSERT_TRUE(Doc().AddPhoto(path, 80, 60, x, y));
    }
    void AddText(const QString& text) {
        WriteFixedText(Doc().textTemplate.font.lfFaceName, QStringLiteral("DejaVu Sans"));
        Doc().textTemplate.font.lfHeight = 40;
        WriteFixedText(Doc().textTemplate.text, text);
        Doc().AddText();
    }
    void AddLibraryItem(int sourceId) {
        QImage pixels(50, 50, QImage::Format_ARGB32);
        pixels.fill(Qt::green);
        Doc().AddPastedPicture(pixels, 0, 0, canvas->CanvasRect(), {Doc().width, Doc().height});
        ClipartRecord* clipart = Doc().objects.back().Clipart();
        clipart->pasted = 0;
        clipart->sourceId = sourceId;
    }
    int SelectedIndex() {
        for (size_t i = 0; i < Doc().objects.size(); ++i)
            if (Doc().objects[i].Selected())
                return int(i);
        return -1;
    }

    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    QWidget window;
    CCollageCanvas* canvas = nullptr;
    QWidget* after = nullptr;
};

TEST_F(CanvasAccessibility, ObjectsAreNamedChildrenInStackingOrder) {
    QAccessibleInterface* iface = Iface();
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Canvas);
    const int bars = iface->childCount(); // the scroll bars follow the objects
    AddPhoto(QStringLiteral("beach.jpg"), 50, 40);
    AddText(QStringLiteral("Happy   birthday"));
    AddLibraryItem(11);   // clipart 12
    AddLibraryItem(2002); // the third of the second decoration family
    canvas->Redraw();
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Photo beach.jpg"),
                                    QStringLiteral("Text Happy birthday"),
                                    QStringLiteral("Clipart 12"),
                                    QStringLiteral("Decoration Cast 3")}));
    EXPECT_EQ(iface->childCount(), 4 + bars);
    EXPECT_EQ(iface->child(0)->role(), QAccessible::Graphic);

    Doc().objects[0].SetSelected(true);
    for (size_t i = 1; i < Doc().objects.size(); ++i)
        Doc().objects[i].SetSelected(false);
    canvas->MoveToTop();
    EXPECT_EQ(Names().back(), QStringLiteral("Photo beach.jpg"));
    canvas->DeleteSelection();
    EXPECT_EQ(Names(), (QStringList{QStringLiteral("Text Happy birthday"),
                                    QStringLiteral("Clipart 12"),
                                    QStringLiteral("Decoration Cast 3")}));
    EXPECT_EQ(iface->childCount(), 3 + bars);
}

TEST_F(CanvasAccessibility, ChildrenHaveTheirScreenRectangleAndSelectedState) {
    AddPhoto(QStringLiteral("a.png"), 100, 80);
    AddPhoto(QStringLiteral("b.png"), 300, 200);
    canvas->Redraw();
    canvas->repaint();
    QAccessibleInterface* iface = Iface();
    QAccessibleInterface* a = iface->child(0);
    QAccessibleInterface* b = iface->child(1);
    // The region is in surface pixels; on screen it sits where the view puts the canvas.
    const QRect drawn = Doc()
                            .objects[1]
                            .screenRegion.boundingRect()
                            .toAlignedRect()
                            .translated(Doc().view.CanvasToWindow(QPointF(0, 0)));
    ASSERT_FALSE(drawn.isEmpty());
    ASSERT_NE(Doc().view.CanvasToWindow(QPointF(0, 0)), QPoint(0, 0)); // the view's margin
    EXPECT_EQ(b->rect(), QRect(canvas->mapToGlobal(drawn.topLeft()), drawn.size()));
    EXPECT_EQ(iface->childAt(b->rect().center().x(), b->rect().center().y()), b);
    EXPECT_TRUE(b->state().selected);
    EXPECT_FALSE(a->state().selected);
    EXPECT_EQ(iface->focusChild(), b);

    Events().clear();
    QSignalSpy selection(canvas, &CCollageCanvas::selectionChanged);
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(a->state().selected);
    EXPECT_FALSE(b->state().selected);
    EXPECT_EQ(selection.count(), 1);
    EXPECT_NE(std::find(Events().begin(), Events().end(), std::pair{QAccessible::Selection, 0}),
              Events().end());
    EXPECT_NE(std::find(Events().begin(), Events().end(), std::pair{QAccessible::Focus, 0}),
              Events().end());

    // A click is announced the same way.
    Events().clear();
    QTest::mouseClick(canvas, Qt::LeftButton, {}, drawn.center());
    EXPECT_TRUE(b->state().selected);
    EXPECT_NE(std::find(Events().begin(), Events().end(), std::pair{QAccessible::Selection, 1}),
              Events().end());
}

TEST_F(CanvasAccessibility, TabWalksTheObjectsThenLeavesTheCanvas) {
    AddPhoto(QStringLiteral("a.png"), 100, 80);
    AddPhoto(QStringLiteral("b.png"), 300, 200);
    AddText(QStringLiteral("Hi"));
    for (CanvasObject& o : Doc().objects)
        o.SetSelected(false);
    QSignalSpy texts(canvas, &CCollageCanvas::textEntryRequested);
    for (int expected : {0, 1, 2}) {
        QTest::keyClick(canvas, Qt::Key_Tab);
        EXPECT_EQ(SelectedIndex(), expected);
        EXPECT_TRUE(canvas->hasFocus());
    }
    ASSERT_EQ(texts.count(), 1) << "a text reached by Tab shows in the text box";
    EXPECT_EQ(texts.at(0).at(0).toString(), QStringLiteral("Hi"));
    QTest::keyClick(canvas, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(SelectedIndex(), 1);
    QTest::keyClick(canvas, Qt::Key_Tab);
    QTest::keyClick(canvas, Qt::Key_Tab); // past the last: no keyboard trap
    EXPECT_TRUE(after->hasFocus());
    EXPECT_EQ(SelectedIndex(), 2) << "leaving keeps the selection";
    // Coming back by Tab starts the walk at the first object again (Shift+Tab: the last).
    after->setFocus();
    canvas->setFocus(Qt::TabFocusReason);
    QTest::keyClick(canvas, Qt::Key_Tab);
    EXPECT_EQ(SelectedIndex(), 0);
    after->setFocus();
    canvas->setFocus(Qt::BacktabFocusReason);
    QTest::keyClick(canvas, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(SelectedIndex(), 2);
    QTest::keyClick(canvas, Qt::Key_F6);
    EXPECT_TRUE(after->hasFocus());
}

TEST_F(CanvasAccessibility, KeysOfTheTableReachTheirSignals) {
    AddPhoto(QStringLiteral("a.png"), 100, 80);
    canvas->Redraw();
    canvas->repaint();
    QSignalSpy nudges(canvas, &CCollageCanvas::nudgeRequested);
    QSignalSpy scales(canvas, &CCollageCanvas::scaleRequested);
    QSignalSpy turns(canvas, &CCollageCanvas::turnRequested);
    QSignalSpy menus(canvas, &CCollageCanvas::contextMenuRequested);
    QTest::keyClick(canvas, Qt::Key_Left);
    QTest::keyClick(canvas, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(canvas, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(canvas, Qt::Key_Left, Qt::AltModifier);
    QTest::keyClick(canvas, Qt::Key_Menu);
    QTest::keyClick(canvas, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(nudges.count(), 2);
    EXPECT_EQ(nudges.at(0), (QList<QVariant>{-1, 0}));
    EXPECT_EQ(nudges.at(1), (QList<QVariant>{0, 10}));
    ASSERT_EQ(scales.count(), 1);
    EXPECT_EQ(scales.at(0).at(0).toInt(), 1);
    ASSERT_EQ(turns.count(), 1);
    EXPECT_EQ(turns.at(0).at(0).toInt(), -1);
    ASSERT_EQ(menus.count(), 2);
    // The menu opens over the selected object.
    const QRect drawn = Doc().objects[0].screenRegion.boundingRect().toAlignedRect();
    EXPECT_TRUE(QRect(canvas->mapToGlobal(drawn.topLeft()), drawn.size())
                    .contains(menus.at(0).at(0).toPoint()));

    canvas->SetPreviewMode(true);
    QTest::keyClick(canvas, Qt::Key_Up, Qt::ControlModifier);
    QTest::keyClick(canvas, Qt::Key_Tab);
    EXPECT_EQ(scales.count(), 1) << "a preview takes no edits";
    canvas->SetPreviewMode(false);

    QTest::keyClick(canvas, Qt::Key_Delete);
    EXPECT_TRUE(Doc().objects.empty());
}

} // namespace
} // namespace mosaiq
