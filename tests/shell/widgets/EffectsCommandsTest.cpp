// The effects group in a whole main window: photo effects with undo, the month calendar placed
// on the canvas, and the wallpaper with a fake desktop tool.
#include "canvas/document/CollageDocument.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "canvas/widgets/calendar/CCalendarControl.h"
#include "canvas/widgets/calendar/CCalendarDialog.h"
#include "common/TestSupport.h"
#include "core/Notifier.h"
#include "imaging/magick/ImageLibrary.h"
#include "imaging/magick/PhotoEffect.h"
#include "platform/WallpaperSetter.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandIds.h"
#include "ui/widgets/CBitmapButton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <cstring>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

QImage Photo() {
    QImage image(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y, qRgb(x * 6, y * 8, (x * y) % 256));
    return image;
}

class EffectsCommandsTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    CMainDialog window;

    CollageDocument& Doc() { return window.Canvas().Document(); }
    QString PhotoPath() const { return data.File(QStringLiteral("photo.png")); }
    QString PathOf(int index) {
        return QString::fromUtf8(Doc().objects[size_t(index)].Photo()->path);
    }

    // Runs an effect command and waits for its worker to finish.
    void RunEffect(int id) {
        ASSERT_TRUE(window.RunCommand(id));
        for (int i = 0; i < 500 && !window.IsCommandEnabled(id); ++i)
            QTest::qWait(10);
        ASSERT_TRUE(window.IsCommandEnabled(id)) << "the effect did not finish";
    }
};

} // namespace

TEST_F(EffectsCommandsTest, EffectWithoutASelectedPhotoAsksForOne) {
    ASSERT_TRUE(window.RunCommand(cmd::kEffectBlur));
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(notifier.messages[0], QStringLiteral("Please select a photo on the canvas."));
}

TEST_F(EffectsCommandsTest, EffectsMakeNewPicturesAndUndoReturnsTheOriginal) {
    ASSERT_TRUE(Photo().save(PhotoPath()));
    Doc().AddPastedPicture(QImage(8, 8, QImage::Format_ARGB32), 0, 0, QRect(0, 0, 1024, 768),
                           QSize(1024, 768));
    ASSERT_TRUE(Doc().AddPhoto(PhotoPath(), 40, 30, 10, 10));
    Doc().RecordSnapshot();
    const ClipartRecord clipartBefore = *Doc().objects[0].Clipart(); // the effect leaves it alone
    const int historyBefore = Doc().History().Position();

    RunEffect(cmd::kEffectMean);
    EXPECT_TRUE(notifier.messages.isEmpty())
        << notifier.messages.join(QLatin1Char('\n')).toStdString();
    const QString first = PathOf(1);
    EXPECT_TRUE(first.startsWith(data.File(QStringLiteral("Effects/")))) << first.toStdString();
    EXPECT_TRUE(first.endsWith(QLatin1String(".png")));
    LibraryImage expected = LibraryImage::FromImage(Photo());
    ASSERT_TRUE(ApplyPhotoEffect(expected, PhotoEffect::Mean));
    const QImage made = QImage(first).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(made.size(), expected.ToImage().size());
    for (int y = 0; y < made.height(); ++y)
        for (int x = 0; x < made.width(); ++x)
            ASSERT_EQ(made.pixel(x, y), expected.ToImage().pixel(x, y)) << x << "," << y;
    EXPECT_EQ(Doc().History().Position(), historyBefore + 1);
    EXPECT_EQ(Doc().objects.size(), 2u);
    EXPECT_EQ(std::memcmp(Doc().objects[0].Clipart(), &clipartBefore, sizeof clipartBefore), 0);
    EXPECT_TRUE(QFile::exists(PhotoPath())); // the original file is never touched

    RunEffect(cmd::kEffectEmboss);
    RunEffect(cmd::kEffectErode);
    EXPECT_EQ(Doc().History().Position(), historyBefore + 3);
    window.Canvas().Undo();
    window.Canvas().Undo();
    EXPECT_EQ(PathOf(1), first);
    window.Canvas().Undo();
    EXPECT_EQ(PathOf(1), PhotoPath());
}

TEST_F(EffectsCommandsTest, EffectOnAnUnreadablePictureChangesNothing) {
    ASSERT_TRUE(test::WriteAll(PhotoPath(), "not a picture"));
    ASSERT_TRUE(Doc().AddPhoto(PhotoPath(), 40, 30, 10, 10));
    const int historyBefore = Doc().History().Position();
    RunEffect(cmd::kEffectMedian);
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_TRUE(notifier.messages[0].contains(QLatin1String("could not be read")));
    EXPECT_EQ(PathOf(0), PhotoPath());
    EXPECT_EQ(Doc().History().Position(), historyBefore);
}

TEST_F(EffectsCommandsTest, CalendarIsCentredOnTheVisibleCanvasAndUndoable) {
    window.resize(1400, 900);
    window.show();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CCalendarDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Add Transparent Month Calendar"));
        EXPECT_EQ(dialog->Calendar()->geometry(), QRect(16, 40, 254, 260));
        dialog->Calendar()->ShowMonth(2010, 12);
        QTest::mouseClick(dialog->Calendar()->NextButton(), Qt::LeftButton);
        EXPECT_EQ(dialog->Calendar()->Sheet().Title(), QStringLiteral("January, 2011"));
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    });
    ASSERT_TRUE(window.RunCommand(cmd::kCalendar));
    ASSERT_EQ(Doc().objects.size(), 1u);
    const ClipartRecord* clip = Doc().objects[0].Clipart();
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->pasted, 1);
    EXPECT_EQ(clip->width, 260);
    EXPECT_EQ(clip->selected, 1);
    const QImage& picture = Doc().pastedPictures[size_t(clip->sourceId)];
    EXPECT_EQ(qAlpha(picture.pixel(259, 100)), 0);
    // Centred on the visible part of the canvas.
    const CCollageCanvas& canvas = window.Canvas();
    const QRect shown =
        QRect(canvas.ScrollOffset(), canvas.size()).intersected(canvas.CanvasRect());
    const float zoom = canvas.Zoom();
    EXPECT_NEAR((clip->x + 130) * zoom, shown.center().x(), 2.0 * zoom + 1);
    EXPECT_NEAR((clip->y + 130) * zoom, shown.center().y(), 2.0 * zoom + 1);
    window.Canvas().Undo();
    EXPECT_TRUE(Doc().objects.empty());

    // Cancel adds nothing.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CCalendarDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    });
    window.RunCommand(cmd::kCalendar);
    EXPECT_TRUE(Doc().objects.empty());
}

TEST_F(EffectsCommandsTest, WallpaperIsSetAndRestoredThroughTheDesktopTool) {
    QTemporaryDir home;
    const QString bin = home.filePath(QStringLiteral("bin")),
                  state = home.filePath(QStringLiteral("state"));
    QDir().mkpath(bin);
    QDir().mkpath(state);
    ASSERT_TRUE(
        test::WriteAll(bin + QStringLiteral("/gsettings"),
                       "#!/bin/sh\nf=\"$FAKE_STATE/$3\"\ncase \"$1\" in\n"
                       "list-keys) echo picture-uri; echo picture-options ;;\n"
                       "get) cat \"$f\" ;;\nset) printf '%s\\n' \"$4\" > \"$f\" ;;\nesac\n"));
    QFile::setPermissions(bin + QStringLiteral("/gsettings"), QFile::ReadOwner | QFile::ExeOwner);
    ASSERT_TRUE(test::WriteAll(state + QStringLiteral("/picture-uri"), "'file:///old.jpg'\n"));
    ASSERT_TRUE(test::WriteAll(state + QStringLiteral("/picture-options"), "'zoom'\n"));
    const QByteArray oldPath = qgetenv("PATH"), oldDesktop = qgetenv("XDG_CURRENT_DESKTOP"),
                     oldData = qgetenv("XDG_DATA_HOME");
    qputenv("PATH", bin.toLocal8Bit() + ":/usr/bin:/bin");
    qputenv("FAKE_STATE", state.toLocal8Bit());
    qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("share")).toLocal8Bit());

    Doc().backgroundColour = MakeColorref(10, 200, 30);
    ASSERT_TRUE(window.RunCommand(cmd::kWallpaperStretch));
    EXPECT_TRUE(notifier.messages.isEmpty())
        << notifier.messages.join(QLatin1Char('\n')).toStdString();
    const QImage written(WallpaperFilePath());
    EXPECT_TRUE(WallpaperFilePath().startsWith(home.path()));
    ASSERT_EQ(written.size(), QSize(1024, 768));
    EXPECT_EQ(written.pixel(5, 5), qRgb(10, 200, 30));
    EXPECT_TRUE(
        test::ReadAll(state + QStringLiteral("/picture-uri")).contains("Vitrine%20Wallpaper.bmp"));
    EXPECT_EQ(test::ReadAll(state + QStringLiteral("/picture-options")), "'stretched'\n");
    ASSERT_TRUE(window.RunCommand(cmd::kRestoreWallpaper));
    EXPECT_EQ(test::ReadAll(state + QStringLiteral("/picture-uri")), "'file:///old.jpg'\n");

    // A desktop without a known setter is reported and nothing changes.
    qputenv("XDG_CURRENT_DESKTOP", "sway");
    ASSERT_TRUE(window.RunCommand(cmd::kWallpaperCentre));
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_TRUE(notifier.messages[0].startsWith(QLatin1String("The wallpaper was not set")));
    EXPECT_EQ(test::ReadAll(state + QStringLiteral("/picture-uri")), "'file:///old.jpg'\n");

    qputenv("PATH", oldPath);
    qputenv("XDG_CURRENT_DESKTOP", oldDesktop);
    qputenv("XDG_DATA_HOME", oldData);
}
