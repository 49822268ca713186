// The converter dialog driven as a user drives it: files added through the (scripted) open
// dialog, a run on the worker, its progress, its summary and the close confirmation.
#include "batch/widgets/CBatchConvertDialog.h"
#include "common/TestSupport.h"
#include "core/Notifier.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CQorListBox.h"
#include "ui/widgets/CScrolledListBox.h"
#include "ui/widgets/DialogProvider.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

class BatchDialogTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    ScriptedDialogProvider dialogs;
    RecordingNotifier notifier;
    ScopedNotifier scopedNotifier{&notifier};
    QByteArray oldHome = qgetenv("HOME");
    QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");

    void SetUp() override {
        // The documents folder lies under HOME; keep the test's own.
        qputenv("HOME", data.File(QStringLiteral("home")).toUtf8());
        qputenv("XDG_CONFIG_HOME", data.File(QStringLiteral("home/.config")).toUtf8());
        SetDialogProvider(&dialogs);
    }
    void TearDown() override {
        SetDialogProvider(nullptr);
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }

    QStringList WritePictures(int count, QSize size, const char* extension = "png") {
        QStringList paths;
        QImage image(size, QImage::Format_RGB32);
        for (int i = 0; i < count; ++i) {
            image.fill(QColor::fromHsv(i * 37 % 360, 200, 200));
            paths << data.File(QStringLiteral("p%1.%2").arg(i).arg(QLatin1String(extension)));
            EXPECT_TRUE(image.save(paths.back()));
        }
        return paths;
    }
};

TEST_F(BatchDialogTest, OpensWithTheFirstFormatAndTheDefaultFolderCreated) {
    CBatchConvertDialog dialog;
    const QString expected = data.File(QStringLiteral("home/Documents/Vitrine Studio/Convert/"));
    EXPECT_EQ(dialog.OutputDirectory(), expected);
    EXPECT_TRUE(QDir(expected).exists());
    EXPECT_EQ(dialog.FormatIndex(), 0);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Batch Convert"));
    // Browse: the chosen folder, with a final '/'.
    dialogs.AnswerFiles({data.File(QStringLiteral("elsewhere"))});
    dialog.BrowseOutputDirectory();
    EXPECT_EQ(dialog.OutputDirectory(), data.File(QStringLiteral("elsewhere/")));
    dialog.BrowseOutputDirectory(); // cancelled: unchanged
    EXPECT_EQ(dialog.OutputDirectory(), data.File(QStringLiteral("elsewhere/")));
}

TEST_F(BatchDialogTest, AddPictureFileAppendsEveryChosenPathWithThePictureFilter) {
    CBatchConvertDialog dialog;
    const QStringList paths = WritePictures(2, QSize(8, 8));
    dialogs.AnswerFiles(paths);
    dialog.AddPictureFiles();
    dialogs.AnswerFiles({paths.front()}); // duplicates are allowed
    dialog.AddPictureFiles();
    EXPECT_EQ(dialog.Files(), paths + QStringList{paths.front()});
    ASSERT_EQ(dialogs.Filters().size(), 2);
    const QString filter = dialogs.Filters().front();
    EXPECT_TRUE(filter.startsWith(QStringLiteral(
        "(all picture files) (*.jpg *.jpeg *.heic *.heif *.hif *.avif *.webp *.gif")));
    EXPECT_TRUE(filter.endsWith(QStringLiteral(";;(*.wmf);;(*.emf)")));
}

TEST_F(BatchDialogTest, ProgressReachesTheEndWithSkippedFilesAndTheSummaryNamesThem) {
    CBatchConvertDialog dialog;
    dialog.show();
    QStringList files = WritePictures(3, QSize(40, 30));
    const QString bad = data.File(QStringLiteral("bad.png"));
    ASSERT_TRUE(test::WriteAll(bad, "no picture"));
    files.insert(1, bad);
    files << data.File(QStringLiteral("missing.png"));
    dialog.AddFiles(files);
    dialog.SetFormatIndex(1); // BMP
    dialog.SetOutputDirectory(data.File(QStringLiteral("out")));
    QSignalSpy finished(&dialog, &CBatchConvertDialog::runFinished);
    dialog.StartConversion();
    EXPECT_TRUE(dialog.Busy());
    dialog.StartConversion(); // ignored while busy
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_FALSE(dialog.Busy());
    EXPECT_EQ(dialog.DoneCount(), 5);
    EXPECT_EQ(dialog.RunTotal(), 5);
    EXPECT_EQ(dialog.ProgressWidth(), 520);
    EXPECT_EQ(QDir(data.File(QStringLiteral("out"))).entryList(QDir::Files).size(), 3);
    ASSERT_EQ(notifier.messages.size(), 1);
    const QString summary = notifier.messages.front();
    EXPECT_TRUE(summary.startsWith(QStringLiteral("Converted 3 of 5 files")))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("bad.png: ")));
    EXPECT_TRUE(summary.contains(QStringLiteral("missing.png: ")));
    EXPECT_TRUE(dialog.StatusText().contains(QStringLiteral("skipped 2")));
}

TEST_F(BatchDialogTest, AnOutputFolderThatCannotBeMadeIsReported) {
    CBatchConvertDialog dialog;
    ASSERT_TRUE(test::WriteAll(data.File(QStringLiteral("plain")), "x"));
    dialog.AddFiles(WritePictures(1, QSize(8, 8)));
    dialog.SetOutputDirectory(data.File(QStringLiteral("plain/sub")));
    QSignalSpy finished(&dialog, &CBatchConvertDialog::runFinished);
    dialog.StartConversion();
    ASSERT_TRUE(finished.wait(20000));
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_TRUE(notifier.messages.front().startsWith(QStringLiteral("Nothing was converted")));
}

TEST_F(BatchDialogTest, ClosingWhileConvertingAsksFirst) {
    CBatchConvertDialog dialog;
    dialog.show();
    dialog.AddFiles(WritePictures(40, QSize(900, 700), "bmp"));
    dialog.SetFormatIndex(6); // TIF
    dialog.SetOutputDirectory(data.File(QStringLiteral("out")));
    QSignalSpy finished(&dialog, &CBatchConvertDialog::runFinished);

    // No: the run goes on to its end and the dialog stays.
    dialog.StartConversion();
    dialogs.Reply(Answer::No);
    dialog.reject();
    EXPECT_EQ(dialogs.Questions(), QStringList{QStringLiteral("Are you sure to stop converting?")});
    EXPECT_EQ(dialogs.QuestionForms().back().caption, QStringLiteral("Confirm"));
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(dialog.DoneCount(), 40);
    EXPECT_TRUE(dialog.isVisible());

    // Yes: the run stops before its next file and the dialog closes once it has.
    dialog.StartConversion();
    dialogs.Reply(Answer::Yes);
    dialog.reject();
    EXPECT_TRUE(dialog.isVisible()); // still finishing the files in progress
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_LT(dialog.DoneCount(), 40);
    EXPECT_EQ(notifier.messages.size(), 1); // no summary for a run the user stopped

    // Idle: closes at once without a question.
    dialog.show();
    dialog.reject();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialogs.Questions().size(), 2);
}

TEST_F(BatchDialogTest, ConvertBecomesStopAndTheSummarySaysWhatWasNotConverted) {
    CBatchConvertDialog dialog;
    dialog.show();
    dialog.AddFiles(WritePictures(20, QSize(900, 700), "bmp"));
    dialog.SetFormatIndex(6); // TIF
    dialog.SetOutputDirectory(data.File(QStringLiteral("out")));
    QSignalSpy finished(&dialog, &CBatchConvertDialog::runFinished);
    const QRect rect = dialog.ConvertButton()->geometry();
    EXPECT_EQ(dialog.ConvertButton()->Caption(), QStringLiteral("Convert"));
    QTest::mouseClick(dialog.ConvertButton(), Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(dialog.Busy());
    EXPECT_EQ(dialog.ConvertButton()->Caption(), QStringLiteral("Stop"));
    EXPECT_EQ(dialog.ConvertButton()->geometry(), rect);

    // During the run the list cannot lose files: Remove, Clear and Delete wait.
    std::unique_ptr<QMenu> menu(dialog.CreateFileListMenu(0));
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_FALSE(menu->actions()[0]->isEnabled());
    EXPECT_FALSE(menu->actions()[1]->isEnabled());
    dialog.FileList()->List()->SetCurrentRow(0);
    QTest::keyClick(dialog.FileList()->List(), Qt::Key_Delete);
    EXPECT_EQ(dialog.Files().size(), 20);

    // Stop: no question, the run ends before its next file.
    QTest::mouseClick(dialog.ConvertButton(), Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_TRUE(dialogs.Questions().isEmpty());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.ConvertButton()->Caption(), QStringLiteral("Convert"));
    const int converted = int(QDir(data.File(QStringLiteral("out"))).entryList(QDir::Files).size());
    EXPECT_LT(converted, 20);
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_TRUE(notifier.messages.front().startsWith(
        QStringLiteral("Converted %1 of 20 files").arg(converted)))
        << notifier.messages.front().toStdString();
    EXPECT_TRUE(notifier.messages.front().contains(
        QStringLiteral("Stopped: %1 files were not converted.").arg(20 - converted)));
}

TEST_F(BatchDialogTest, FilesAddedDuringARunJoinItAndClashingNamesAreNumbered) {
    CBatchConvertDialog dialog;
    dialog.show();
    QStringList files = WritePictures(6, QSize(900, 700), "bmp");
    dialog.AddFiles(files);
    dialog.SetFormatIndex(3); // PNG
    dialog.SetOutputDirectory(data.File(QStringLiteral("out")));
    QSignalSpy finished(&dialog, &CBatchConvertDialog::runFinished);
    dialog.StartConversion();
    ASSERT_TRUE(dialog.Busy());
    // Add Picture File stays usable: p0.png would write the name p0.bmp's output has.
    const QString same = data.File(QStringLiteral("p0.png"));
    ASSERT_TRUE(QImage(files.front()).save(same));
    dialogs.AnswerFiles({same});
    dialog.AddPictureFiles();
    EXPECT_EQ(dialog.RunTotal(), 7);
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(dialog.DoneCount(), 7);
    EXPECT_TRUE(QFile::exists(data.File(QStringLiteral("out/p0.png"))));
    EXPECT_TRUE(QFile::exists(data.File(QStringLiteral("out/p0 (2).png"))));
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_TRUE(notifier.messages.front().startsWith(QStringLiteral("Converted 7 of 7 files")));
    EXPECT_TRUE(notifier.messages.front().contains(QStringLiteral("p0.png \u2192 p0 (2).png")))
        << notifier.messages.front().toStdString();

    // Idle again: the context menu removes one file or clears the list, Delete removes one.
    std::unique_ptr<QMenu> menu(dialog.CreateFileListMenu(1));
    EXPECT_TRUE(menu->actions()[0]->isEnabled());
    menu->actions()[0]->trigger();
    EXPECT_EQ(dialog.Files().size(), 6);
    EXPECT_FALSE(dialog.Files().contains(QDir::toNativeSeparators(files[1])));
    dialog.FileList()->List()->SetCurrentRow(0);
    QTest::keyClick(dialog.FileList()->List(), Qt::Key_Delete);
    EXPECT_EQ(dialog.Files().size(), 5);
    EXPECT_FALSE(dialog.CreateFileListMenu(-1)->actions()[0]->isEnabled()); // no row: no Remove
    std::unique_ptr<QMenu> clear(dialog.CreateFileListMenu(-1));
    clear->actions()[1]->trigger();
    EXPECT_TRUE(dialog.Files().isEmpty());
    EXPECT_FALSE(std::unique_ptr<QMenu>(dialog.CreateFileListMenu(-1))->actions()[1]->isEnabled());
}

} // namespace
