// The photo commands of the main window: import with its progress window, Add to Canvas, Remove,
// the list kept across a restart, stopping, closing during an import and files named at start.
#include "canvas/widgets/CCollageCanvas.h"
#include "core/Notifier.h"
#include "library/photos/PhotoList.h"
#include "library/widgets/photos/CPhotoBrowser.h"
#include "library/widgets/photos/CScanProgressWindow.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandIds.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/DialogProvider.h"

#include "common/TestSupport.h"

#include <QFileInfo>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

class PhotoCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogProvider(&dialogs);
        Open();
    }
    void TearDown() override {
        window.reset();
        SetDialogProvider(nullptr);
    }
    void Open() {
        window = std::make_unique<CMainDialog>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void Restart() {
        window->close();
        window.reset();
        Open();
    }
    CPhotoBrowser& Browser() {
        return *qobject_cast<CPhotoBrowser*>(window->Area(SideArea::PhotoBrowser));
    }
    CScanProgressWindow& Progress() { return *window->findChild<CScanProgressWindow*>(); }
    QString Photo(const QString& name, QSize size = QSize(160, 120)) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkMagenta);
        const QString path = data.File(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    QStringList Photos(int n, QSize size = QSize(160, 120)) {
        QStringList paths;
        for (int i = 0; i < n; ++i)
            paths << Photo(QStringLiteral("p%1.png").arg(i, 3, 10, QLatin1Char('0')), size);
        return paths;
    }
    // Imports through the toolbar's Import button and waits for the summary.
    void Import(const QStringList& paths) {
        const int before = int(notes.messages.size());
        dialogs.AnswerFiles(paths);
        ASSERT_TRUE(window->RunCommand(cmd::kImportPhotos));
        ASSERT_TRUE(QTest::qWaitFor([&] { return notes.messages.size() > before; }, 20000));
    }
    int CanvasObjects() { return int(window->Canvas().Document().objects.size()); }

    test::ScopedDataDir data;
    ScriptedDialogProvider dialogs;
    RecordingNotifier notes;
    ScopedNotifier scoped{&notes};
    std::unique_ptr<CMainDialog> window;
};

TEST_F(PhotoCommandsTest, ImportShowsProgressThenTheSummary) {
    const QStringList paths = Photos(3);
    dialogs.AnswerFiles(paths + QStringList{data.File(QStringLiteral("gone.jpg"))});
    ASSERT_TRUE(window->RunCommand(cmd::kMenuImportPhotos));
    EXPECT_TRUE(dialogs.Filters().last().startsWith(
        QStringLiteral("(all picture files) (*.jpg *.jpeg *.heic *.heif *.hif *.avif *.webp "
                       "*.gif *.bmp *.png *.wmf *.emf *.pcx *.pnm *.tif *.tiff);;(*.jpg) (*.jpg)")));
    EXPECT_TRUE(Progress().isVisible());
    // While the import runs, another cannot start.
    EXPECT_FALSE(window->IsCommandEnabled(cmd::kImportPhotos));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notes.messages.isEmpty(); }, 20000));
    EXPECT_FALSE(Progress().isVisible());
    EXPECT_TRUE(window->IsCommandEnabled(cmd::kImportPhotosMenu));
    EXPECT_TRUE(notes.messages.last().startsWith(
        QStringLiteral("3 photos were added to the library. 1 file was skipped.")))
        << notes.messages.last().toStdString();
    EXPECT_TRUE(notes.messages.last().contains(QStringLiteral("Not found (1):\n  gone.jpg")));
    EXPECT_EQ(Browser().Selection().VisibleCount(), 3);
    // Cancelling the dialog imports nothing.
    ASSERT_TRUE(window->RunCommand(cmd::kImportPhotosMenu));
    EXPECT_EQ(notes.messages.size(), 1);
}

TEST_F(PhotoCommandsTest, AddToCanvasNeedsASelectionAndUsesOneFifthOfTheCanvas) {
    Import(Photos(2));
    ASSERT_TRUE(window->RunCommand(cmd::kAddPhotoToCanvas));
    EXPECT_EQ(notes.messages.last(), QStringLiteral("Please select a photo to add. "));
    EXPECT_EQ(CanvasObjects(), 0);
    QTest::mouseClick(&Browser(), Qt::LeftButton, {}, Browser().ThumbnailRect(1).center());
    ASSERT_TRUE(window->RunCommand(cmd::kAddPhotoToCanvas));
    ASSERT_EQ(CanvasObjects(), 1);
    const CollageDocument& doc = window->Canvas().Document();
    const QPoint expected =
        doc.view.WindowToCanvas(window->Canvas().width() / 5, window->Canvas().height() / 5);
    const auto& photo = std::get<PhotoRecord>(doc.objects[0].record);
    EXPECT_EQ(QPoint(photo.x, photo.y), expected);
    EXPECT_EQ(photo.pictureWidth, 160);
    // A double-click adds the photo under it.
    QTest::mouseDClick(&Browser(), Qt::LeftButton, {}, Browser().ThumbnailRect(0).center());
    EXPECT_EQ(CanvasObjects(), 2);
}

TEST_F(PhotoCommandsTest, DraggingSelectedPhotosOntoTheCanvasAddsThemAtTheDropPoint) {
    Import(Photos(4));
    CPhotoBrowser& browser = Browser();
    QTest::mouseClick(&browser, Qt::LeftButton, {}, browser.ThumbnailRect(0).center());
    QTest::mouseClick(&browser, Qt::LeftButton, Qt::ControlModifier,
                      browser.ThumbnailRect(1).center());
    QTest::mouseClick(&browser, Qt::LeftButton, Qt::ControlModifier,
                      browser.ThumbnailRect(3).center());
    const QPoint start = browser.ThumbnailRect(3).center();
    CCollageCanvas& canvas = window->Canvas();
    const QPoint drop = browser.mapFromGlobal(canvas.mapToGlobal(QPoint(200, 150)));
    QTest::mousePress(&browser, Qt::LeftButton, {}, start);
    QTest::mouseMove(&browser, start + QPoint(40, 0));
    QTest::mouseMove(&browser, drop);
    QTest::mouseRelease(&browser, Qt::LeftButton, {}, drop);
    ASSERT_EQ(CanvasObjects(), 3);
    const CollageDocument& doc = canvas.Document();
    const auto& first = std::get<PhotoRecord>(doc.objects[0].record);
    EXPECT_EQ(QPoint(first.x, first.y), doc.view.WindowToCanvas(200, 150));
}

TEST_F(PhotoCommandsTest, RemovedPhotosStayRemovedAfterARestart) {
    const QStringList paths = Photos(4);
    Import(paths);
    EXPECT_FALSE(window->IsCommandEnabled(cmd::kRemovePhotosButton)); // nothing selected
    CPhotoBrowser& browser = Browser();
    QTest::mouseClick(&browser, Qt::LeftButton, {}, browser.ThumbnailRect(1).center());
    QTest::mouseClick(&browser, Qt::LeftButton, Qt::ControlModifier,
                      browser.ThumbnailRect(2).center());
    ASSERT_TRUE(window->RunCommand(cmd::kRemovePhotosButton));
    EXPECT_EQ(Browser().Selection().VisibleCount(), 2);
    Restart();
    EXPECT_EQ(Browser().Selection().VisibleCount(), 2);
    PhotoList saved;
    saved.Load(data.File(QStringLiteral("srcmedia.cfg")));
    ASSERT_EQ(saved.Count(), 2);
    EXPECT_EQ(EntryPath(saved.Records()[0]), paths[0]);
    EXPECT_EQ(EntryPath(saved.Records()[1]), paths[3]);
    // A removed photo imported again comes back.
    Import({paths[1]});
    EXPECT_EQ(Browser().Selection().VisibleCount(), 3);
}

TEST_F(PhotoCommandsTest, PhotosAnotherProgramAddsWhileTheWindowIsOpenAreKept) {
    const QStringList paths = Photos(7);
    Import(paths.mid(0, 2));
    CPhotoBrowser& browser = Browser();
    QTest::mouseClick(&browser, Qt::LeftButton, {}, browser.ThumbnailRect(0).center());
    ASSERT_TRUE(window->RunCommand(cmd::kRemovePhotosButton));
    // mosaiq-cli import-photos meanwhile: it reads the list as saved, adds five and saves.
    const QString file = data.File(QStringLiteral("srcmedia.cfg"));
    PhotoList other;
    ASSERT_EQ(other.Load(file), PhotoList::LoadStatus::Loaded);
    for (const QString& path : paths.mid(2))
        ASSERT_EQ(other.AddImportedPhoto(PreparePhoto(path)), AddPhotoResult::Added);
    ASSERT_TRUE(other.SaveMerging(file));
    // The window notices the file changed and shows them (the removed photo stays away).
    ASSERT_TRUE(QTest::qWaitFor([&] { return Browser().Selection().VisibleCount() == 6; }, 5000));
    window->close();
    window.reset();
    PhotoList saved;
    ASSERT_EQ(saved.Load(file), PhotoList::LoadStatus::Loaded);
    ASSERT_EQ(saved.Count(), 6);
    EXPECT_EQ(EntryPath(saved.Records()[0]), paths[1]);
    for (int i = 2; i < 7; ++i)
        EXPECT_EQ(EntryPath(saved.Records()[size_t(i - 1)]), paths[i]);
}

TEST_F(PhotoCommandsTest, StopEndsTheImportHalfWay) {
    const QStringList paths = Photos(60, QSize(1200, 900));
    dialogs.AnswerFiles(paths);
    ASSERT_TRUE(window->RunCommand(cmd::kImportPhotos));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Browser().Selection().VisibleCount() >= 2; }, 20000));
    QTest::mouseClick(Progress().StopButton(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(Progress().isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notes.messages.isEmpty(); }, 20000));
    EXPECT_TRUE(notes.messages.last().contains(QStringLiteral("The import was stopped")));
    const int shown = Browser().Selection().VisibleCount();
    EXPECT_LT(shown, 60);
    QTest::qWait(200); // nothing more arrives after the stop
    EXPECT_EQ(Browser().Selection().VisibleCount(), shown);
}

TEST_F(PhotoCommandsTest, ClosingDuringAnImportStopsItAndKeepsWhatWasAdded) {
    const QStringList paths = Photos(60, QSize(1200, 900));
    dialogs.AnswerFiles(paths);
    ASSERT_TRUE(window->RunCommand(cmd::kImportPhotos));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Browser().Selection().VisibleCount() >= 1; }, 20000));
    window->close();
    const int shown = Browser().Selection().VisibleCount();
    window.reset(); // joins the workers
    PhotoList saved;
    saved.Load(data.File(QStringLiteral("srcmedia.cfg")));
    EXPECT_EQ(saved.Count(), shown);
    EXPECT_TRUE(notes.messages.isEmpty()); // no summary box while the window closes
}

TEST_F(PhotoCommandsTest, PicturesNamedAtStartGoIntoTheLibraryAndOntoTheCanvas) {
    const QString a = Photo(QStringLiteral("named.png"));
    window->OpenPaths({a});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notes.messages.isEmpty(); }, 20000));
    EXPECT_EQ(Browser().Selection().VisibleCount(), 1);
    EXPECT_EQ(CanvasObjects(), 1);
    // Named again: already in the library, added to the canvas once more.
    window->OpenPaths({a});
    ASSERT_TRUE(QTest::qWaitFor([&] { return notes.messages.size() == 2; }, 20000));
    EXPECT_EQ(Browser().Selection().VisibleCount(), 1);
    EXPECT_EQ(CanvasObjects(), 2);
}

TEST_F(PhotoCommandsTest, ADamagedListIsKeptAsideAndWhatCanBeRecoveredIsShown) {
    window.reset();
    PhotoList list;
    for (const QString& path : Photos(3))
        ASSERT_EQ(list.AddImportedPhoto(PreparePhoto(path)), AddPhotoResult::Added);
    const QByteArray whole = list.SaveToBytes();
    const QString file = data.File(QStringLiteral("srcmedia.cfg"));
    ASSERT_TRUE(test::WriteAll(file, whole.left(whole.size() - 10))); // the last thumbnail cut
    Open();
    ASSERT_FALSE(notes.messages.isEmpty());
    EXPECT_TRUE(notes.messages.last().contains(QStringLiteral("damaged")));
    EXPECT_EQ(test::ReadAll(file + QStringLiteral(".damaged")), whole.left(whole.size() - 10));
    const int recovered = Browser().Selection().VisibleCount();
    EXPECT_GE(recovered, 2);
    // At close the recovered list is written as a whole file again.
    window->close();
    PhotoList reread;
    EXPECT_EQ(reread.Load(file), PhotoList::LoadStatus::Loaded);
    EXPECT_EQ(reread.Count(), recovered);
}

} // namespace
} // namespace mosaiq
