// Recovery in whole main windows, offscreen: the copy made after the interval, an editor that
// ends without closing, the next start's question answered Yes and No, a clean exit and a save
// removing the copy, a damaged copy set aside, bursts committed before a copy, and editors that
// share or do not share a data directory.
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"
#include "canvas/project/RecoveryKeeper.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "common/TestSupport.h"
#include "core/Notifier.h"
#include "core/data/RecoveryFolder.h"
#include "shell/widgets/CMainDialog.h"
#include "shell/widgets/CommandIds.h"
#include "ui/widgets/DialogProvider.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace mosaiq;

namespace {

// Answers like ScriptedDialogProvider, and runs a hook while a question is open (what arrives
// from a second start while the user reads it).
class HookedDialogs : public ScriptedDialogProvider {
public:
    std::function<void()> whileAsking;
    mosaiq::Answer Ask(QWidget* parent, const QString& text, bool withCancel) override {
        if (whileAsking)
            std::exchange(whileAsking, {})();
        return ScriptedDialogProvider::Ask(parent, text, withCancel);
    }
};

class RecoveryCommandsTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    HookedDialogs dialogs;
    std::unique_ptr<CMainDialog> window;

    void SetUp() override {
        SetDialogProvider(&dialogs);
        SetInterval(QStringLiteral("1"));
    }
    void TearDown() override {
        window.reset();
        SetDialogProvider(nullptr);
    }

    void SetInterval(const QString& seconds) {
        QSettings settings(data.File(QStringLiteral("settings.ini")), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Recovery/intervalSeconds"), seconds);
    }

    // An editor as the program starts it: the window, then the recovery offer.
    std::unique_ptr<CMainDialog> Start() {
        auto editor = std::make_unique<CMainDialog>();
        editor->RunCommand(cmd::kStartRecovery);
        return editor;
    }
    static RecoveryKeeper* Keeper(CMainDialog& editor) {
        return editor.findChild<RecoveryKeeper*>();
    }
    CollageDocument& Doc() { return window->Canvas().Document(); }
    RecoveryFolder Folder() { return RecoveryFolder(data.Path()); }
    bool HasCopy() { return Folder().HasCopy(); }

    // One photo object added as the window's commands add one (selected, a step, modified).
    void AddPhoto(int x) {
        ASSERT_TRUE(Doc().AddPhoto(data.File(QStringLiteral("p%1.png").arg(x)), 60, 40, x, 10));
    }

    // A saved project of two photos, opened in the window (its own path, unmodified).
    QString OpenProject(const QString& name) {
        CollageDocument doc;
        doc.width = 500;
        doc.height = 400;
        const QString path = data.File(name);
        EXPECT_TRUE(SaveProject(doc, path).ok);
        window->OpenPaths({path});
        EXPECT_EQ(Doc().projectPath, path);
        return path;
    }
};

TEST_F(RecoveryCommandsTest, ACrashedCollageIsCopiedAndRecoveredWithItsProjectPath) {
    window = Start();
    EXPECT_TRUE(dialogs.Questions().isEmpty()); // nothing to offer on a first start
    const QString project = OpenProject(QStringLiteral("Trip.dcf"));
    AddPhoto(20);
    AddPhoto(90);
    ASSERT_NE(Keeper(*window), nullptr);
    EXPECT_EQ(Keeper(*window)->IntervalMs(), 1000);
    // The copy follows once the collage rests for the interval of settings.ini.
    ASSERT_TRUE(QTest::qWaitFor([&] { return HasCopy(); }, 20000));
    window.reset(); // the editor ends without closing (a crash, a kill)
    ASSERT_TRUE(HasCopy());

    dialogs.Reply(Answer::Yes);
    window = Start();
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_TRUE(dialogs.Questions()[0].contains(QStringLiteral("\"Trip.dcf\"")));
    ASSERT_EQ(Doc().objects.size(), 2u);
    EXPECT_EQ(Doc().width, 500);
    EXPECT_TRUE(Doc().modified);
    EXPECT_EQ(Doc().projectPath, project);
    EXPECT_TRUE(window->TitleText().endsWith(QStringLiteral("Trip.dcf *")));
    EXPECT_TRUE(HasCopy()); // kept until the collage is saved or the editor closes

    // Save goes to the project's own file without asking, and the copy goes with it.
    window->RunCommand(cmd::kSaveProject);
    EXPECT_TRUE(dialogs.FileCaptions().isEmpty());
    EXPECT_FALSE(Doc().modified);
    EXPECT_FALSE(HasCopy());
    CollageDocument saved;
    ASSERT_TRUE(LoadProject(saved, project).ok);
    EXPECT_EQ(saved.objects.size(), 2u);
}

TEST_F(RecoveryCommandsTest, AnUntitledCollageIsRecoveredUntitledAndNoDeletesTheCopy) {
    window = Start();
    AddPhoto(20);
    Keeper(*window)->CopyNow();
    window.reset();

    dialogs.Reply(Answer::No);
    window = Start();
    ASSERT_EQ(dialogs.Questions().size(), 1);
    EXPECT_TRUE(dialogs.Questions()[0].contains(QStringLiteral("\"Untitled\"")));
    EXPECT_TRUE(Doc().objects.empty());
    EXPECT_FALSE(Doc().modified);
    EXPECT_FALSE(HasCopy());
    EXPECT_FALSE(QFile::exists(Folder().NotePath()));
    window.reset();

    window = Start(); // nothing left to offer
    EXPECT_EQ(dialogs.Questions().size(), 1);
}

TEST_F(RecoveryCommandsTest, UntitledYesOpensTheCollageWithoutAPath) {
    window = Start();
    AddPhoto(20);
    Keeper(*window)->CopyNow();
    window.reset();
    dialogs.Reply(Answer::Yes);
    window = Start();
    ASSERT_EQ(Doc().objects.size(), 1u);
    EXPECT_TRUE(Doc().modified);
    EXPECT_TRUE(Doc().projectPath.isEmpty());
}

TEST_F(RecoveryCommandsTest, ACleanExitRemovesTheCopy) {
    window = Start();
    AddPhoto(20);
    Keeper(*window)->CopyNow();
    ASSERT_TRUE(HasCopy());
    dialogs.Reply(Answer::No); // "Project has been modified, Do you want to save it?"
    ASSERT_TRUE(window->close());
    EXPECT_FALSE(HasCopy());
    EXPECT_FALSE(QFile::exists(Folder().Dir() + QStringLiteral("session.lock")));
    window.reset();
    window = Start();
    EXPECT_EQ(dialogs.Questions().size(), 1); // only the save question: no recovery offer
}

TEST_F(RecoveryCommandsTest, ADamagedCopyIsSetAsideWithAMessage) {
    RecoveryFolder folder = Folder();
    ASSERT_TRUE(QDir().mkpath(folder.Dir()));
    ASSERT_TRUE(test::WriteAll(folder.CopyPath(), QByteArray("\x10\0\0\0broken", 10)));
    ASSERT_TRUE(folder.WriteNote({QString(), QDateTime::currentDateTimeUtc()}, nullptr));
    window = Start();
    EXPECT_TRUE(dialogs.Questions().isEmpty());
    EXPECT_FALSE(HasCopy());
    const QStringList aside =
        QDir(folder.Dir()).entryList({QStringLiteral("*.dcf.damaged")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(test::ReadAll(folder.Dir() + aside[0]), QByteArray("\x10\0\0\0broken", 10));
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_TRUE(notifier.messages[0].contains(aside[0]));
    EXPECT_TRUE(Doc().objects.empty());
}

TEST_F(RecoveryCommandsTest, APendingNudgeIsCommittedBeforeTheCopy) {
    window = Start();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    AddPhoto(20);
    const int x = Doc().objects.back().Photo()->x;
    const int steps = Doc().History().Count();
    QTest::keyClick(&window->Canvas(), Qt::Key_Right);
    QTest::keyClick(&window->Canvas(), Qt::Key_Right);
    ASSERT_EQ(Doc().History().Count(), steps); // the burst is still gathering
    Keeper(*window)->CopyNow();
    EXPECT_EQ(Doc().History().Count(), steps + 1);
    CollageDocument copy;
    QFile file(Folder().CopyPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_TRUE(ParseProject(file, copy, nullptr).ok);
    EXPECT_EQ(copy.objects.back().Photo()->x, x + 2);
}

TEST_F(RecoveryCommandsTest, ASecondEditorOfTheSameDataDirectoryLeavesTheFirstsCopyAlone) {
    window = Start();
    AddPhoto(20);
    Keeper(*window)->CopyNow();
    const QByteArray firsts = test::ReadAll(Folder().CopyPath());

    auto second = Start();
    EXPECT_TRUE(dialogs.Questions().isEmpty()); // the copy belongs to a running editor
    EXPECT_EQ(Keeper(*second), nullptr);
    EXPECT_TRUE(second->Canvas().Document().objects.empty());
    ASSERT_TRUE(second->close());
    second.reset();
    EXPECT_EQ(test::ReadAll(Folder().CopyPath()), firsts);
}

TEST_F(RecoveryCommandsTest, EditorsOfOtherDataDirectoriesKeepTheirOwnCopies) {
    window = Start();
    AddPhoto(20);
    Keeper(*window)->CopyNow();
    {
        test::ScopedDataDir otherData;
        auto other = Start();
        ASSERT_NE(Keeper(*other), nullptr);
        other->Canvas().Document().AddPhoto(otherData.File(QStringLiteral("o.png")), 60, 40, 5, 5);
        other->Canvas().Document().AddPhoto(otherData.File(QStringLiteral("q.png")), 60, 40, 9, 9);
        Keeper(*other)->CopyNow();
        ASSERT_TRUE(RecoveryFolder(otherData.Path()).HasCopy());
        dialogs.Reply(Answer::No);
        ASSERT_TRUE(other->close());
        EXPECT_FALSE(RecoveryFolder(otherData.Path()).HasCopy());
    }
    ASSERT_TRUE(HasCopy()); // the first editor's copy, untouched
    CollageDocument copy;
    ASSERT_TRUE(LoadProject(copy, Folder().CopyPath()).ok);
    EXPECT_EQ(copy.objects.size(), 1u);
}

TEST_F(RecoveryCommandsTest, AProjectHandedOverWhileAskingOpensAfterTheAnswer) {
    window = Start();
    AddPhoto(20);
    Keeper(*window)->CopyNow();
    window.reset();

    CollageDocument other;
    other.width = 321;
    const QString project = data.File(QStringLiteral("Other.dcf"));
    ASSERT_TRUE(SaveProject(other, project).ok);
    window = std::make_unique<CMainDialog>();
    dialogs.whileAsking = [&] { window->OpenPaths({project}); }; // a second start hands it over
    dialogs.Reply(Answer::Yes);                                  // recover
    dialogs.Reply(Answer::No); // "Current project has been modified": open without saving
    window->RunCommand(cmd::kStartRecovery);
    ASSERT_EQ(dialogs.Questions().size(), 2);
    EXPECT_TRUE(dialogs.Questions()[1].startsWith(QStringLiteral("Current project")));
    EXPECT_EQ(Doc().width, 321);
    EXPECT_EQ(Doc().projectPath, project);
}

TEST_F(RecoveryCommandsTest, IntervalZeroKeepsNoCopies) {
    SetInterval(QStringLiteral("0"));
    window = Start();
    EXPECT_EQ(Keeper(*window), nullptr);
    AddPhoto(20);
    QTest::qWait(50);
    EXPECT_FALSE(HasCopy());
}

} // namespace
