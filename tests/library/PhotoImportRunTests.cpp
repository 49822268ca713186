// One import into a photo list: every file tried in order, the rules for duplicates and sizes,
// stopping, and the summary the user sees.
#include "library/photos/PhotoImportRun.h"

#include "imaging/subject/SubjectCache.h"
#include "imaging/subject/SubjectQueue.h"

#include "common/TestSupport.h"

#include <QEventLoop>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

class PhotoImportRunTest : public ::testing::Test {
protected:
    QString Photo(const QString& name, QSize size) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkYellow);
        const QString path = dir.File(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    // Runs an import to its end and returns the summary.
    PhotoImportSummary Import(const QStringList& paths, int threads = 2, bool subjects = true) {
        handled.clear();
        missing.clear();
        PhotoImportRun run(list);
        run.SetFindSubjects(subjects);
        QEventLoop loop;
        QObject::connect(&run, &PhotoImportRun::fileHandled,
                         [&](const QString& path, AddPhotoResult, int, int done, int total) {
                             handled << path;
                             EXPECT_EQ(total, paths.size());
                             EXPECT_EQ(done, handled.size() + missing.size());
                         });
        QObject::connect(&run, &PhotoImportRun::fileMissing,
                         [&](const QString& path, int, int) { missing << path; });
        QObject::connect(&run, &PhotoImportRun::finished, &loop, &QEventLoop::quit);
        EXPECT_TRUE(run.Start(paths, threads));
        EXPECT_FALSE(run.Start(paths, threads)); // one run at a time
        loop.exec();
        return run.Summary();
    }

    test::ScopedDataDir dir;
    PhotoList list;
    QStringList handled;
    QStringList missing;
};

TEST_F(PhotoImportRunTest, EveryFileIsTriedAndTheSummaryCountsEachReason) {
    const QString a = Photo(QStringLiteral("a.png"), QSize(60, 40));
    const QString thin = Photo(QStringLiteral("thin.png"), QSize(5, 200));
    const QString six = Photo(QStringLiteral("six.png"), QSize(6, 6));
    const QString broken = dir.File(QStringLiteral("broken.jpg"));
    ASSERT_TRUE(test::WriteAll(broken, "\xFF\xD8 not really a jpeg"));
    const QString gone = dir.File(QStringLiteral("gone.png"));
    const QString b = Photo(QStringLiteral("b.png"), QSize(40, 60));

    const PhotoImportSummary s = Import({gone, a, thin, broken, a, six, b});
    EXPECT_EQ(s.added, 3);
    EXPECT_EQ(s.duplicates, QStringList{a});
    ASSERT_EQ(s.tooSmall.size(), 1u);
    EXPECT_EQ(s.tooSmall[0].first, thin);
    EXPECT_EQ(s.missing, QStringList{gone});
    ASSERT_EQ(s.unreadable.size(), 1u);
    EXPECT_EQ(s.unreadable[0].first, broken);
    EXPECT_EQ(s.Skipped(), 4);
    EXPECT_TRUE(s.AnyFailed());
    EXPECT_FALSE(s.stopped);
    // Added in the chosen order, whatever order the workers finished in.
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(EntryPath(list.Records()[0]), a);
    EXPECT_EQ(EntryPath(list.Records()[1]), six);
    EXPECT_EQ(EntryPath(list.Records()[2]), b);
    EXPECT_EQ(handled, (QStringList{a, thin, broken, a, six, b}));

    const QString text = s.Text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("3 photos were added to the library. 4 files were "
                                               "skipped.")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Already in the library (1):\n  a.png")));
    EXPECT_TRUE(text.contains(QStringLiteral("Not found (1):\n  gone.png")));
    EXPECT_TRUE(text.contains(QStringLiteral("broken.jpg: ")));
    EXPECT_TRUE(text.contains(QStringLiteral("(1):\n  thin.png")));
}

TEST_F(PhotoImportRunTest, RuleSkipsAreNotFailures) {
    const QString a = Photo(QStringLiteral("a.png"), QSize(60, 40));
    Import({a});
    const PhotoImportSummary s = Import({a, Photo(QStringLiteral("t.png"), QSize(200, 5))});
    EXPECT_EQ(s.added, 0);
    EXPECT_EQ(s.Skipped(), 2);
    EXPECT_FALSE(s.AnyFailed());
    EXPECT_EQ(s.Text().left(35), QStringLiteral("0 photos were added to the library."));
}

TEST_F(PhotoImportRunTest, SameFileAddsOnceAndAgainAfterRemovalSurvivingSaveAndLoad) {
    const QString a = Photo(QStringLiteral("a.png"), QSize(60, 40));
    const QString b = Photo(QStringLiteral("b.png"), QSize(60, 40));
    EXPECT_EQ(Import({a, b}).added, 2);
    EXPECT_EQ(Import({a}).added, 0);
    list.Hide(0);
    // The removed photo is left out of the saved list and does not come back on loading.
    const QString file = dir.File(QStringLiteral("srcmedia.cfg"));
    ASSERT_TRUE(list.Save(file));
    PhotoList reloaded;
    reloaded.Load(file);
    ASSERT_EQ(reloaded.Count(), 1);
    EXPECT_EQ(EntryPath(reloaded.Records()[0]), b);
    // Imported again after its removal, it is added again.
    EXPECT_EQ(Import({a}).added, 1);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Records()[2].number, 2u);
}

TEST_F(PhotoImportRunTest, StopEndsTheRunAndCountsWhatWasNotReached) {
    QStringList paths;
    for (int i = 0; i < 40; ++i)
        paths << Photo(QStringLiteral("p%1.png").arg(i), QSize(600, 400));
    PhotoImportRun run(list);
    QEventLoop loop;
    int reported = 0;
    QObject::connect(&run, &PhotoImportRun::fileHandled, [&] {
        if (++reported == 3)
            run.RequestStop();
    });
    QObject::connect(&run, &PhotoImportRun::finished, &loop, &QEventLoop::quit);
    ASSERT_TRUE(run.Start(paths, 1));
    loop.exec();
    const PhotoImportSummary& s = run.Summary();
    EXPECT_TRUE(s.stopped);
    // Nothing is added after the stop request.
    EXPECT_EQ(reported, 3);
    EXPECT_EQ(s.added, 3);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(s.notReached, 37);
    EXPECT_TRUE(s.Text().contains(QStringLiteral("stopped; 37 files were not imported")));
    EXPECT_FALSE(run.IsRunning());
    // A new run can start after a stopped one.
    EXPECT_EQ(Import({paths.last(), Photo(QStringLiteral("new.png"), QSize(30, 30))}).added, 2);
}

TEST_F(PhotoImportRunTest, SubjectsOfTheAddedPhotosAreFoundAfterTheImport) {
    const QString a = Photo(QStringLiteral("sa.png"), QSize(300, 200));
    const QString b = Photo(QStringLiteral("sb.png"), QSize(200, 300));
    const QString c = Photo(QStringLiteral("sc.png"), QSize(250, 250));
    ForgetSubjectCache();
    EXPECT_EQ(Import({a, b}).added, 2);
    ASSERT_TRUE(SubjectQueue::Instance().WaitIdle(120000));
    EXPECT_TRUE(LookUpSubject(a, true, SubjectLookup::CacheOnly));
    EXPECT_TRUE(LookUpSubject(b, true, SubjectLookup::CacheOnly));
    EXPECT_TRUE(QFile::exists(dir.File(QString::fromLatin1(kSubjectCacheFile))));
    // A run told not to (the command line's) leaves them to their first use.
    EXPECT_EQ(Import({c}, 2, false).added, 1);
    ASSERT_TRUE(SubjectQueue::Instance().WaitIdle(120000));
    EXPECT_FALSE(LookUpSubject(c, true, SubjectLookup::CacheOnly));
}

} // namespace
} // namespace mosaiq
