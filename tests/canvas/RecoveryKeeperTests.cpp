// The recovery copy of a collage, without a window: when it is made, what it holds, bursts
// committed first, removal on save and for an unmodified collage, large copies on the worker,
// and a project saved as the copy's own file left alone.
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"
#include "canvas/project/RecoveryKeeper.h"
#include "canvas/document/SelectionEdits.h"
#include "common/TestSupport.h"
#include "core/Notifier.h"
#include "core/data/RecoveryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

class RecoveryKeeperTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    RecoveryFolder folder{data.Path()};
    CollageDocument doc;

    void SetUp() override { ASSERT_TRUE(folder.Claim()); }

    // A photo object at x, recorded as a change (snapshot, modified).
    void AddPhoto(int x) {
        PhotoRecord photo;
        photo.boxWidth = photo.boxHeight = 40;
        photo.x = x;
        doc.objects.emplace_back(photo);
        doc.CreateRegion(doc.objects.back());
        doc.RecordSnapshot();
        doc.MarkModified();
    }

    // The copy on disk read back into a new document.
    std::unique_ptr<CollageDocument> ReadCopy() {
        auto copy = std::make_unique<CollageDocument>();
        QFile file(folder.CopyPath());
        if (!file.open(QIODevice::ReadOnly) || !ParseProject(file, *copy, nullptr).ok)
            return nullptr;
        return copy;
    }
};

TEST_F(RecoveryKeeperTest, ACopyIsDueOnlyOnceTheCollageRestsForTheInterval) {
    RecoveryKeeper keeper(doc, folder, 1500);
    EXPECT_EQ(keeper.IntervalMs(), 1500);
    EXPECT_FALSE(keeper.CopyDue());
    AddPhoto(10);
    EXPECT_TRUE(keeper.CopyDue());
    EXPECT_FALSE(folder.HasCopy()); // nothing is written while the collage changes

    // The real timer, with a short interval: the copy follows once nothing changes.
    QSignalSpy written(&keeper, &RecoveryKeeper::copyWritten);
    ASSERT_TRUE(QTest::qWaitFor([&] { return written.count() > 0; }, 20000));
    EXPECT_FALSE(keeper.CopyDue());
    ASSERT_TRUE(folder.HasCopy());
}

TEST_F(RecoveryKeeperTest, TheCopyIsTheProjectASaveWritesWithItsNote) {
    RecoveryKeeper keeper(doc, folder, 30000);
    doc.pastedPictures = {QImage(6, 4, QImage::Format_ARGB32)};
    doc.pastedPictures[0].fill(Qt::blue);
    ClipartRecord clip;
    clip.pasted = 1;
    clip.width = 6;
    clip.height = 4;
    doc.objects.emplace_back(clip);
    doc.CreateRegion(doc.objects.back());
    AddPhoto(25);
    doc.projectPath = data.File(QStringLiteral("Summer.dcf"));
    keeper.CopyNow();

    QByteArray saved;
    ASSERT_TRUE(EncodeProject(doc, saved).ok);
    EXPECT_EQ(test::ReadAll(folder.CopyPath()), saved); // pasted pictures and every block
    const std::optional<RecoveryNote> note = folder.ReadNote();
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->projectPath, doc.projectPath);
    EXPECT_LE(qAbs(note->time.secsTo(QDateTime::currentDateTimeUtc())), 60);
    EXPECT_TRUE(doc.modified); // a copy is not a save
    EXPECT_FALSE(QFile::exists(doc.projectPath));
}

TEST_F(RecoveryKeeperTest, PendingBurstsAreCommittedBeforeTheCopy) {
    RecoveryKeeper keeper(doc, folder, 30000);
    AddPhoto(10);
    doc.objects.back().SetSelected(true);
    ASSERT_TRUE(NudgeSelection(doc, 7, 0)); // a burst under way: moved, no step yet
    const int steps = doc.History().Count();
    int commits = 0;
    keeper.SetCommitBursts([&] {
        ++commits;
        EXPECT_FALSE(folder.HasCopy()); // before anything is written
        CommitSelectionEdit(doc);
    });
    keeper.CopyNow();
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(doc.History().Count(), steps + 1);
    EXPECT_FALSE(keeper.CopyDue()); // the commit's own change does not ask for another copy
    const auto copy = ReadCopy();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->objects.back().Photo()->x, 17);
}

TEST_F(RecoveryKeeperTest, AnUnchangedCollageIsNotWrittenAgain) {
    RecoveryKeeper keeper(doc, folder, 30000);
    QSignalSpy written(&keeper, &RecoveryKeeper::copyWritten);
    AddPhoto(10);
    keeper.CopyNow();
    keeper.CopyNow();
    EXPECT_EQ(written.count(), 1);
    AddPhoto(50);
    keeper.CopyNow();
    EXPECT_EQ(written.count(), 2);
    ASSERT_NE(ReadCopy(), nullptr);
    EXPECT_EQ(ReadCopy()->objects.size(), 2u);
}

TEST_F(RecoveryKeeperTest, SavingOrAnUnmodifiedCollageRemovesTheCopy) {
    RecoveryKeeper keeper(doc, folder, 30000);
    AddPhoto(10);
    keeper.CopyNow();
    ASSERT_TRUE(folder.HasCopy());
    ASSERT_TRUE(SaveProject(doc, data.File(QStringLiteral("saved.dcf"))).ok);
    EXPECT_FALSE(folder.HasCopy());
    EXPECT_FALSE(QFile::exists(folder.NotePath()));
    EXPECT_TRUE(QFile::exists(data.File(QStringLiteral("saved.dcf"))));

    // A new change is copied again; a collage found unmodified (opened, new) has no copy.
    AddPhoto(30);
    keeper.CopyNow();
    ASSERT_TRUE(folder.HasCopy());
    doc.modified = false;
    keeper.CopyNow();
    EXPECT_FALSE(folder.HasCopy());
}

TEST_F(RecoveryKeeperTest, AProjectSavedAsTheCopysFileIsNeverWrittenOverOrRemoved) {
    RecoveryKeeper keeper(doc, folder, 30000);
    AddPhoto(10);
    ASSERT_TRUE(SaveProject(doc, folder.CopyPath()).ok);
    doc.projectPath = folder.CopyPath();
    const QByteArray users = test::ReadAll(folder.CopyPath());
    AddPhoto(60);
    keeper.CopyNow();
    EXPECT_EQ(test::ReadAll(folder.CopyPath()), users);
    keeper.RemoveCopy();
    EXPECT_EQ(test::ReadAll(folder.CopyPath()), users);
}

TEST_F(RecoveryKeeperTest, ALargeCopyIsWrittenOnTheWorker) {
    RecoveryKeeper keeper(doc, folder, 30000);
    // Noise does not compress: the pasted picture alone passes the large-copy size.
    QImage noise(800, 800, QImage::Format_ARGB32);
    QRandomGenerator random(31);
    for (int y = 0; y < noise.height(); ++y) {
        auto* row = reinterpret_cast<quint32*>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x)
            row[x] = random.generate() | 0xFF000000u;
    }
    doc.pastedPictures = {noise};
    ClipartRecord clip;
    clip.pasted = 1;
    clip.width = clip.height = 800;
    doc.objects.emplace_back(clip);
    doc.CreateRegion(doc.objects.back());
    AddPhoto(0);
    QSignalSpy written(&keeper, &RecoveryKeeper::copyWritten);
    keeper.CopyNow();
    keeper.WaitForWrites();
    ASSERT_GE(QFileInfo(folder.CopyPath()).size(), kLargeRecoveryCopyBytes);
    EXPECT_TRUE(folder.ReadNote().has_value());
    const auto copy = ReadCopy();
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->pastedPictures.size(), 1u);
    EXPECT_EQ(copy->pastedPictures[0].convertToFormat(QImage::Format_ARGB32), noise);
    EXPECT_TRUE(QTest::qWaitFor([&] { return written.count() == 1; }, 5000));
    // Removal waits for the worker: nothing is left behind by a write still under way.
    AddPhoto(5);
    keeper.CopyNow();
    keeper.RemoveCopy();
    EXPECT_FALSE(folder.HasCopy());
    EXPECT_FALSE(QFile::exists(folder.NotePath()));
}

TEST_F(RecoveryKeeperTest, AFailedCopyIsToldOnceAndTriedAgain) {
    RecoveryKeeper keeper(doc, folder, 30000);
    // A folder where the copy should be: it cannot be replaced by a file.
    ASSERT_TRUE(QDir().mkpath(folder.CopyPath()));
    AddPhoto(10);
    keeper.CopyNow();
    AddPhoto(20);
    keeper.CopyNow();
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_TRUE(notifier.messages[0].contains(QStringLiteral("recovery copy")));
    ASSERT_TRUE(QDir(folder.CopyPath()).removeRecursively());
    keeper.CopyNow(); // the same collage: written now that the way is free
    EXPECT_TRUE(folder.HasCopy());
}

} // namespace
