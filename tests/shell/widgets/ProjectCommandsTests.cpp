// The project commands run through the main window as a user runs them, with every dialog and
// message answered by the test.
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "common/TestSupport.h"
#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "core/settings/RecentProjects.h"
#include "imaging/widgets/CNewCollageDialog.h"
#include "library/photos/PhotoList.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandIds.h"
#include "ui/widgets/DialogProvider.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace mosaiq;

namespace {

class ProjectCommandsTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    ScriptedDialogProvider dialogs;
    std::unique_ptr<CMainDialog> window;
    int dialogRuns = 0;
    QString dialogTitle;

    void SetUp() override {
        SetDialogProvider(&dialogs);
        window = std::make_unique<CMainDialog>();
    }
    void TearDown() override {
        CNewCollageDialog::SetRunner({});
        window.reset();
        SetDialogProvider(nullptr);
    }

    CollageDocument& Doc() { return window->Canvas().Document(); }

    // The New Collage dialog is answered with these sides (OK), or cancelled when ok is false.
    void AnswerCollageDialog(bool ok, const QString& width = QString(),
                             const QString& height = QString()) {
        CNewCollageDialog::SetRunner([=, this](CNewCollageDialog& dialog) {
            ++dialogRuns;
            dialogTitle = dialog.windowTitle();
            if (!ok)
                return int(QDialog::Rejected);
            if (!width.isEmpty())
                dialog.WidthEdit()->setText(width);
            if (!height.isEmpty())
                dialog.HeightEdit()->setText(height);
            dialog.accept();
            return dialog.result();
        });
    }

    // A modified collage holding one text object.
    void MakeModifiedCollage() {
        WriteFixedText(Doc().textTemplate.text, QStringLiteral("Hello"));
        WriteFixedText(Doc().textTemplate.font.lfFaceName, QStringLiteral("Arial"));
        Doc().textTemplate.font.lfHeight = 40;
        Doc().AddText();
        ASSERT_TRUE(Doc().modified);
    }

    QString SavedProject(const QString& name, int objects = 0) {
        CollageDocument doc;
        doc.width = 640;
        doc.height = 480;
        for (int i = 0; i < objects; ++i) {
            PhotoRecord photo;
            WriteFixedText(photo.path, data.File(QStringLiteral("photo%1.png").arg(i)));
            photo.boxWidth = photo.boxHeight = photo.pictureWidth = photo.pictureHeight = 50;
            photo.cropRight = photo.cropBottom = 50;
            doc.objects.emplace_back(photo);
            doc.CreateRegion(doc.objects.back());
        }
        const QString path = data.File(name);
        EXPECT_TRUE(SaveProject(doc, path).ok);
        return path;
    }
};

} // namespace

TEST_F(ProjectCommandsTest, NewOnAnUnmodifiedCanvasAsksNothingAndRoundsTheSize) {
    MakeModifiedCollage();
    Doc().modified = false;
    AnswerCollageDialog(true, QStringLiteral("1023"), QStringLiteral("901"));
    ASSERT_TRUE(window->RunCommand(cmd::kNewProject));
    EXPECT_TRUE(dialogs.Questions().isEmpty());
    EXPECT_EQ(dialogRuns, 1);
    EXPECT_EQ(dialogTitle, QStringLiteral("Create New Collage"));
    EXPECT_TRUE(Doc().objects.empty());
    EXPECT_EQ(Doc().width, 1020);
    EXPECT_EQ(Doc().height, 900);
    EXPECT_FALSE(Doc().modified);
    EXPECT_FALSE(Doc().CanUndo());
}

TEST_F(ProjectCommandsTest, YesThenCancellingTheSaveDialogCancelsNew) {
    MakeModifiedCollage();
    AnswerCollageDialog(true);
    dialogs.Reply(Answer::Yes); // save first: the save dialog is then cancelled
    window->RunCommand(cmd::kMenuNewProject);
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_EQ(dialogs.Questions()[0],
              QStringLiteral("Project has been modified, Do you want to save it?"));
    EXPECT_EQ(dialogs.FileCaptions().size(), 1);
    EXPECT_EQ(dialogRuns, 0);
    EXPECT_EQ(Doc().objects.size(), 1u);
    EXPECT_TRUE(Doc().modified);
}

TEST_F(ProjectCommandsTest, NoThenCancellingTheDialogChangesNothing) {
    MakeModifiedCollage();
    AnswerCollageDialog(false);
    dialogs.Reply(Answer::No);
    window->RunCommand(cmd::kNewProject);
    EXPECT_EQ(dialogRuns, 1);
    EXPECT_EQ(Doc().objects.size(), 1u);
    EXPECT_TRUE(Doc().modified);
    EXPECT_EQ(Doc().width, 1024);

    // Cancel at the prompt stops before the dialog.
    dialogs.Reply(Answer::Cancel);
    window->RunCommand(cmd::kNewProject);
    EXPECT_EQ(dialogRuns, 1);
}

TEST_F(ProjectCommandsTest, CollageSettingKeepsTheObjectsAndRoundsDown) {
    MakeModifiedCollage();
    Doc().backgroundColour = 0x7F010203u; // bytes a project may hold
    AnswerCollageDialog(true, QStringLiteral("1201"), QStringLiteral("899"));
    ASSERT_TRUE(window->RunCommand(cmd::kMenuSetting));
    EXPECT_EQ(dialogTitle, QStringLiteral("Collage Setting"));
    EXPECT_TRUE(dialogs.Questions().isEmpty());
    EXPECT_EQ(Doc().objects.size(), 1u);
    EXPECT_EQ(Doc().width, 1200);
    EXPECT_EQ(Doc().height, 896);
    EXPECT_EQ(Doc().backgroundColour, 0x7F010203u) << "an unchanged colour keeps its bytes";
    EXPECT_TRUE(Doc().modified);
}

TEST_F(ProjectCommandsTest, AFailedOpenKeepsTheCollageAndSaysWhy) {
    MakeModifiedCollage();
    const QString damaged = data.File(QStringLiteral("damaged.dcf"));
    ASSERT_TRUE(test::WriteAll(damaged, QByteArray(100, 'x')));
    dialogs.Reply(Answer::No);
    dialogs.AnswerFiles({damaged});
    window->RunCommand(cmd::kOpenProject);
    EXPECT_EQ(dialogs.Questions().value(0),
              QStringLiteral("Current project has been modified, Do you want to save it?"));
    EXPECT_EQ(Doc().objects.size(), 1u);
    EXPECT_TRUE(Doc().modified);
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_TRUE(notifier.messages[0].contains(QStringLiteral("damaged.dcf")));
    EXPECT_TRUE(RecentProjects().isEmpty());
}

TEST_F(ProjectCommandsTest, SaveWritesToTheProjectsOwnPathAndTheTitleFollows) {
    const QString path = SavedProject(QStringLiteral("mine.dcf"));
    window->OpenPaths({path, QStringLiteral("/some/photo.jpg")});
    EXPECT_EQ(Doc().width, 640);
    EXPECT_TRUE(window->TitleText().endsWith(QStringLiteral("mine.dcf")));
    EXPECT_EQ(RecentProjects().value(0), QFileInfo(path).absoluteFilePath());

    MakeModifiedCollage();
    EXPECT_TRUE(window->TitleText().endsWith(QStringLiteral("mine.dcf *")));
    window->RunCommand(cmd::kSaveProject);
    EXPECT_TRUE(dialogs.FileCaptions().isEmpty()) << "no dialog for a project with a path";
    EXPECT_FALSE(Doc().modified);
    EXPECT_TRUE(window->TitleText().endsWith(QStringLiteral("mine.dcf")));
    CollageDocument reread;
    ASSERT_TRUE(LoadProject(reread, path).ok);
    EXPECT_EQ(reread.objects.size(), 1u);
}

TEST_F(ProjectCommandsTest, SaveAsAddsTheExtensionAndAFailedSaveKeepsTheModifiedFlag) {
    MakeModifiedCollage();
    dialogs.AnswerFiles({data.File(QStringLiteral("named"))});
    window->RunCommand(cmd::kSaveProjectAs);
    EXPECT_TRUE(QFileInfo::exists(data.File(QStringLiteral("named.dcf"))));
    EXPECT_FALSE(Doc().modified);

    MakeModifiedCollage();
    // A folder that cannot exist: its parent is a regular file.
    dialogs.AnswerFiles({data.File(QStringLiteral("named.dcf/inside.dcf"))});
    window->RunCommand(cmd::kMenuSaveProjectAs);
    EXPECT_TRUE(Doc().modified);
    EXPECT_EQ(notifier.messages.size(), 1);
    EXPECT_TRUE(window->TitleText().endsWith(QStringLiteral("named.dcf *")));
}

TEST_F(ProjectCommandsTest, ClosingAModifiedCollageAsksFirst) {
    MakeModifiedCollage();
    window->show();
    dialogs.Reply(Answer::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    dialogs.Reply(Answer::No);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(dialogs.Questions().size(), 2);
}

TEST_F(ProjectCommandsTest, MissingPhotosAreNamedAndRelinkedFromAFolder) {
    const QString path = SavedProject(QStringLiteral("album.dcf"), 2);
    QTemporaryDir moved;
    QImage picture(50, 50, QImage::Format_RGB32);
    picture.fill(Qt::green);
    // The photo library lists photo0 where it was before the folder moved.
    const QString before = data.File(QStringLiteral("photo0.png"));
    ASSERT_TRUE(picture.save(before));
    {
        PhotoList list;
        const std::optional<PictureFileEntry> entry = MakeFileEntry(QString(), before, false);
        ASSERT_TRUE(entry.has_value());
        ASSERT_EQ(list.AddImportedPhoto(*entry), AddPhotoResult::Added);
        ASSERT_TRUE(list.Save(data.File(QStringLiteral("srcmedia.cfg"))));
    }
    ASSERT_TRUE(QFile::remove(before));
    window = std::make_unique<CMainDialog>();
    ASSERT_TRUE(picture.save(moved.filePath(QStringLiteral("photo0.png"))));
    dialogs.AnswerFiles({path});
    dialogs.Reply(Answer::Yes); // look for them
    dialogs.AnswerFiles({moved.path()});
    window->RunCommand(cmd::kOpenProject);
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_TRUE(dialogs.Questions()[0].contains(QStringLiteral("photo0.png")));
    EXPECT_TRUE(dialogs.Questions()[0].contains(QStringLiteral("photo1.png")));
    EXPECT_EQ(ReadFixedText(Doc().objects[0].Photo()->path),
              moved.filePath(QStringLiteral("photo0.png")));
    EXPECT_TRUE(Doc().modified);
    EXPECT_TRUE(Doc().CanUndo());
    ASSERT_FALSE(notifier.messages.isEmpty());
    EXPECT_TRUE(notifier.messages.last().startsWith(QStringLiteral("1 photo found")))
        << notifier.messages.last().toStdString();
    EXPECT_TRUE(notifier.messages.last().contains(QStringLiteral("1 photo is still missing")));
    EXPECT_TRUE(dialogs.Questions()[0].startsWith(QStringLiteral("2 photos of this project")));
    // The library's entry follows the file.
    PhotoList list;
    ASSERT_EQ(list.Load(data.File(QStringLiteral("srcmedia.cfg"))), PhotoList::LoadStatus::Loaded);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(EntryPath(list.Records()[0]), moved.filePath(QStringLiteral("photo0.png")));

    // Later, from the File menu: one photo still missing, the user declines this time.
    dialogs.Reply(Answer::No);
    window->RunCommand(cmd::kFindMissingPhotos);
    ASSERT_EQ(dialogs.Questions().size(), 2);
    EXPECT_FALSE(dialogs.Questions()[1].contains(QStringLiteral("photo0.png")));
}

TEST_F(ProjectCommandsTest, AddPhotoFromFilesNamesWhatCouldNotBeRead) {
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QString good = data.File(QStringLiteral("good.bmp"));
    ASSERT_TRUE(picture.save(good));
    const QString bad = data.File(QStringLiteral("bad.jpg"));
    ASSERT_TRUE(test::WriteAll(bad, QByteArray("\xFF\xD8\xFF\xE0 short", 10)));
    dialogs.AnswerFiles({good, bad});
    window->RunCommand(cmd::kAddPhotoFile);
    ASSERT_EQ(Doc().objects.size(), 1u);
    EXPECT_EQ(Doc().objects[0].Photo()->pictureWidth, 300);
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_TRUE(notifier.messages[0].contains(QStringLiteral("bad.jpg")));
}
