// The photo browser and the import progress window driven as a user drives them.
#include "library/photos/PhotoList.h"
#include "library/widgets/photos/CPhotoBrowser.h"
#include "library/widgets/photos/CScanProgressWindow.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CVexScrollBar.h"

#include "common/TestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

class PhotoBrowserTest : public ::testing::Test {
protected:
    void Fill(int n) {
        for (int i = 0; i < n; ++i) {
            QImage image(40 + i, 30, QImage::Format_RGB32);
            image.fill(QColor::fromHsv((i * 37) % 360, 200, 200));
            const QString path = dir.File(QStringLiteral("photo%1.png").arg(i));
            ASSERT_TRUE(image.save(path));
            ASSERT_EQ(list.AddImportedPhoto(PreparePhoto(path)), AddPhotoResult::Added);
        }
    }
    void Show(int n, QSize size = QSize(154, 300)) {
        Fill(n);
        browser.SetList(&list);
        browser.resize(size);
        browser.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser));
    }
    QPoint CentreOf(int position) { return browser.ThumbnailRect(position).center(); }

    test::ScopedDataDir dir;
    PhotoList list;
    CPhotoBrowser browser;
};

TEST_F(PhotoBrowserTest, ClicksSelectAndTheButtonBandNeverDoes) {
    Show(6);
    QSignalSpy changed(&browser, &CPhotoBrowser::selectionChanged);
    QTest::mouseClick(&browser, Qt::LeftButton, {}, CentreOf(1));
    EXPECT_EQ(browser.Anchor(), 1);
    QTest::mouseClick(&browser, Qt::LeftButton, Qt::ControlModifier, CentreOf(3));
    EXPECT_EQ(browser.Selection().SelectedRecords(), (std::vector<int>{1, 3}));
    QTest::mouseClick(&browser, Qt::LeftButton, Qt::ShiftModifier, CentreOf(5));
    EXPECT_EQ(browser.Selection().SelectedRecords(), (std::vector<int>{3, 4, 5}));
    EXPECT_GE(changed.count(), 3);
    // The bottom 26 pixels belong to "Add to Canvas".
    QSignalSpy add(&browser, &CPhotoBrowser::addRequested);
    EXPECT_EQ(browser.AddButton()->geometry(), QRect(0, 300 - 26, 154, 26));
    QTest::mouseClick(browser.AddButton(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(add.count(), 1);
    EXPECT_EQ(browser.Selection().SelectedRecords(), (std::vector<int>{3, 4, 5}));
    // A click between photos clears the selection.
    QTest::mouseClick(&browser, Qt::LeftButton, {}, QPoint(140, 5));
    EXPECT_TRUE(browser.Selection().SelectedRecords().empty());
    EXPECT_EQ(browser.Anchor(), -1);
}

TEST_F(PhotoBrowserTest, BandSelectsAndDoubleClickAsksToAdd) {
    Show(6);
    QTest::mousePress(&browser, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseMove(&browser, QPoint(100, 60));
    QTest::mouseMove(&browser, QPoint(140, 140));
    QTest::mouseRelease(&browser, Qt::LeftButton, {}, QPoint(140, 140));
    EXPECT_EQ(browser.Selection().SelectedRecords(), (std::vector<int>{0, 1, 2, 3}));
    QSignalSpy add(&browser, &CPhotoBrowser::addRequested);
    QTest::mouseDClick(&browser, Qt::LeftButton, {}, CentreOf(4));
    EXPECT_EQ(add.count(), 1);
    EXPECT_EQ(browser.Anchor(), 4);
}

TEST_F(PhotoBrowserTest, ADoubleClickKeepsTheSelectionItsPressMade) {
    Show(6);
    QTest::mouseClick(&browser, Qt::LeftButton, {}, CentreOf(0));
    QSignalSpy add(&browser, &CPhotoBrowser::addRequested);
    // Ctrl+double-click on photo 2, as the system delivers it: press, release, double click.
    const auto send = [this](QEvent::Type type, Qt::MouseButtons buttons) {
        const QPointF at(CentreOf(2));
        QMouseEvent event(type, at, browser.mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::ControlModifier);
        QApplication::sendEvent(&browser, &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    EXPECT_EQ(add.count(), 1);
    EXPECT_EQ(browser.Anchor(), 2);
    EXPECT_EQ(browser.Selection().SelectedRecords(), (std::vector<int>{0, 2}));
    // A plain double click on a selected photo keeps the others selected too.
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    EXPECT_EQ(browser.Selection().SelectedRecords(), (std::vector<int>{0, 2}));
}

TEST_F(PhotoBrowserTest, ScrollBarWheelAndThumbnailsDecodedOnce) {
    Show(40, QSize(154, 300));
    // 20 rows of 68 + 33 − 300.
    EXPECT_EQ(browser.Grid().MaxOffset(), 20 * 68 + 33 - 300);
    EXPECT_TRUE(browser.ScrollBar()->isVisible());
    EXPECT_EQ(browser.ScrollBar()->geometry(), QRect(154 - 17, 0, 17, 300 - 25));
    browser.grab();
    const int first = browser.CachedTiles();
    EXPECT_GT(first, 0);
    EXPECT_LT(first, 40); // only what was shown
    browser.grab();
    EXPECT_EQ(browser.CachedTiles(), first);
    QTest::mouseClick(&browser, Qt::LeftButton, {}, CentreOf(0));
    QWheelEvent wheel(QPointF(50, 50), browser.mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&browser, &wheel);
    EXPECT_EQ(browser.Grid().Offset(), 240);
    EXPECT_EQ(browser.ScrollBar()->Position(), 240);
    browser.grab();
    EXPECT_GT(browser.CachedTiles(), first);
    // Keys: Down moves the anchor a row and scrolls it into view.
    browser.setFocus();
    for (int i = 0; i < 18; ++i)
        QTest::keyClick(&browser, Qt::Key_Down);
    EXPECT_EQ(browser.Anchor(), 36);
    const QRect cell = browser.Grid().Cell(36);
    EXPECT_GE(cell.top(), 0);
    EXPECT_LE(cell.bottom() + 20, 300 - 26);
    QTest::keyClick(&browser, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(browser.Selection().SelectedRecords().size(), 40u);
}

TEST_F(PhotoBrowserTest, HideSelectedRemovesFromTheGrid) {
    Show(5);
    QTest::mouseClick(&browser, Qt::LeftButton, {}, CentreOf(1));
    QTest::mouseClick(&browser, Qt::LeftButton, Qt::ControlModifier, CentreOf(2));
    EXPECT_EQ(browser.HideSelected(), 2);
    EXPECT_EQ(browser.Selection().VisibleCount(), 3);
    EXPECT_TRUE(list.Records()[1].hidden);
    EXPECT_EQ(browser.Selection().RecordAt(1), 3);
    EXPECT_EQ(browser.HideSelected(), 0);
}

TEST_F(PhotoBrowserTest, DragOntoTheDropTarget) {
    QWidget target;
    target.resize(300, 300);
    target.move(400, 0);
    target.show();
    Show(3);
    browser.move(0, 0);
    browser.SetDropTarget(&target);
    QSignalSpy dropped(&browser, &CPhotoBrowser::photosDropped);
    const QPoint start = CentreOf(0);
    QTest::mousePress(&browser, Qt::LeftButton, {}, start);
    const QPoint over = browser.mapFromGlobal(target.mapToGlobal(QPoint(50, 60)));
    QTest::mouseMove(&browser, start + QPoint(30, 0));
    QTest::mouseMove(&browser, over);
    EXPECT_TRUE(browser.IsDragging());
    QTest::mouseRelease(&browser, Qt::LeftButton, {}, over);
    ASSERT_EQ(dropped.count(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toPoint(), QPoint(50, 60));
    // A small wobble is a click, not a drag; a release elsewhere drops nothing.
    QTest::mousePress(&browser, Qt::LeftButton, {}, start);
    QTest::mouseMove(&browser, start + QPoint(3, 3));
    EXPECT_FALSE(browser.IsDragging());
    QTest::mouseMove(&browser, start + QPoint(60, 0));
    QTest::mouseRelease(&browser, Qt::LeftButton, {}, start + QPoint(60, 0));
    EXPECT_EQ(dropped.count(), 1);
}

TEST(ScanProgressWindow, CutsThePathAndOnlyStopEndsIt) {
    CScanProgressWindow window;
    window.SetPath(QStringLiteral("/short.jpg"));
    EXPECT_EQ(window.ShownText(), QStringLiteral("/short.jpg"));
    const QString longPath = QStringLiteral("/photos/") + QString(300, QLatin1Char('x'));
    window.SetPath(longPath);
    EXPECT_TRUE(window.ShownText().endsWith(QStringLiteral("... ")));
    EXPECT_LT(window.ShownText().size(), longPath.size());
    EXPECT_EQ(window.TextBox(), QRect(10, 10, window.width() - 110, window.height() - 10));
    window.ShowCentred();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.StopButton()->geometry(), QRect(window.width() - 90, 14, 70, 20));
    QTest::keyClick(&window, Qt::Key_Escape);
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    QSignalSpy stop(&window, &CScanProgressWindow::stopRequested);
    QTest::mouseClick(window.StopButton(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(stop.count(), 1);
}

} // namespace
} // namespace mosaiq
