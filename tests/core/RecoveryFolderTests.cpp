// The recovery folder: the note beside the copy, the interval rule of settings.ini, the lock that
// keeps one editor to a data directory, setting a damaged copy aside and never touching a copy
// that is the user's own project.
#include "common/TestSupport.h"
#include "core/data/RecoveryFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSettings>
#include <QSysInfo>

#include <functional>

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace mosaiq;
using mosaiq::test::ScopedDataDir;

namespace {

TEST(RecoveryNote, RoundTripsAnyPathAndTheTime) {
    const QDateTime time =
        QDateTime::fromString(QStringLiteral("2026-03-04T05:06:07.089Z"), Qt::ISODateWithMs);
    for (const QString& path : {QString(), QStringLiteral("/home/ann/Collages/Summer.dcf"),
                                QStringLiteral("/tmp/two\nlines %41 and spaces/été 写真.dcf")}) {
        const std::optional<RecoveryNote> read =
            ParseRecoveryNote(EncodeRecoveryNote({path, time}));
        ASSERT_TRUE(read.has_value()) << path.toStdString();
        EXPECT_EQ(read->projectPath, path);
        EXPECT_EQ(read->time, time);
    }
}

TEST(RecoveryNote, RefusesWhatIsNotANote) {
    const QByteArray good =
        EncodeRecoveryNote({QStringLiteral("/a.dcf"), QDateTime::currentDateTimeUtc()});
    EXPECT_TRUE(ParseRecoveryNote(good).has_value());
    EXPECT_FALSE(ParseRecoveryNote(QByteArray()).has_value());
    EXPECT_FALSE(ParseRecoveryNote("mosaiq-recovery 2\ntime 2026-01-01T00:00:00Z\n").has_value());
    EXPECT_FALSE(
        ParseRecoveryNote("mosaiq-recovery 1\ntime yesterday\nproject /a.dcf\n").has_value());
    EXPECT_FALSE(ParseRecoveryNote("mosaiq-recovery 1\nproject /a.dcf\n").has_value());
    QByteArray padded = good;
    padded.append(QByteArray(int(kMaxRecoveryNoteBytes), ' '));
    EXPECT_FALSE(ParseRecoveryNote(padded).has_value());
}

TEST(RecoveryInterval, FollowsTheSettingsRule) {
    const struct {
        QVariant value;
        int ms;
    } cases[] = {
        {QVariant(), 30000},
        {QStringLiteral("30"), 30000},
        {QStringLiteral("0"), 0},
        {QStringLiteral("0.0"), 0},
        {QStringLiteral("0.4"), 1000},
        {QStringLiteral("-5"), 1000},
        {QStringLiteral("1"), 1000},
        {QStringLiteral("2.5"), 2500},
        {QStringLiteral("3600"), 3600000},
        {QStringLiteral("3601"), 3600000},
        {QStringLiteral("1e9"), 3600000},
        {QStringLiteral(" 12 "), 12000},
        {QStringLiteral("soon"), 30000},
        {QStringLiteral("nan"), 30000},
        {QStringLiteral(""), 30000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecoveryIntervalMs(c.value), c.ms) << c.value.toString().toStdString();
}

TEST(RecoveryInterval, IsReadFromSettingsIni) {
    ScopedDataDir data;
    EXPECT_EQ(RecoveryIntervalMsFromSettings(data.Path()), 30000);
    {
        QSettings settings(data.File(QStringLiteral("settings.ini")), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Recovery/intervalSeconds"), 7);
    }
    EXPECT_EQ(RecoveryIntervalMsFromSettings(data.Path()), 7000);
}

class RecoveryFolderTest : public ::testing::Test {
protected:
    ScopedDataDir data;
    RecoveryFolder folder{data.Path()};

    void PutCopy(const QByteArray& bytes = "copy bytes") {
        ASSERT_TRUE(QDir().mkpath(folder.Dir()));
        ASSERT_TRUE(test::WriteAll(folder.CopyPath(), bytes));
        ASSERT_TRUE(
            folder.WriteNote({QStringLiteral("/p.dcf"), QDateTime::currentDateTimeUtc()}, nullptr));
    }
};

TEST_F(RecoveryFolderTest, OneEditorHoldsTheFolderUntilItReleasesIt) {
    ASSERT_TRUE(folder.Claim());
    EXPECT_TRUE(QFileInfo(folder.Dir()).isDir());
    RecoveryFolder second(data.Path());
    EXPECT_FALSE(second.Claim()); // the lock's editor (this process) is running
    folder.Release();
    EXPECT_TRUE(second.Claim());
    EXPECT_FALSE(folder.Claim());
}

TEST_F(RecoveryFolderTest, FoldersOfOtherDataDirectoriesAreApart) {
    ScopedDataDir other;
    RecoveryFolder second(other.Path());
    ASSERT_TRUE(folder.Claim());
    EXPECT_TRUE(second.Claim());
    EXPECT_NE(folder.CopyPath(), second.CopyPath());
}

TEST_F(RecoveryFolderTest, TakesOverTheLockOfAnEditorThatIsGone) {
    // A lock written by a process that has ended, as a killed editor leaves it.
    QProcess gone;
    gone.start(QStringLiteral("/bin/true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    const auto writeLock = [&](qint64 owner, const QString& program) {
        return test::WriteAll(folder.Dir() + QStringLiteral("session.lock"),
                              QByteArray::number(owner) + '\n' + program.toUtf8() + '\n' +
                                  QSysInfo::machineHostName().toUtf8() + '\n');
    };
    ASSERT_TRUE(QDir().mkpath(folder.Dir()));
    // The same lock held by a running editor (this process) is respected...
    ASSERT_TRUE(writeLock(QCoreApplication::applicationPid(),
                          QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
    EXPECT_FALSE(folder.Claim());
    // ...and taken over once its editor is gone.
    ASSERT_TRUE(writeLock(pid, QStringLiteral("mosaiq")));
    EXPECT_TRUE(folder.Claim());
}

TEST_F(RecoveryFolderTest, ReadsTheNoteOnlyFromARegularFileOfSensibleSize) {
    PutCopy();
    ASSERT_TRUE(folder.ReadNote().has_value());
    EXPECT_EQ(folder.ReadNote()->projectPath, QStringLiteral("/p.dcf"));
    ASSERT_TRUE(
        test::WriteAll(folder.NotePath(), QByteArray(int(kMaxRecoveryNoteBytes) + 10, 'x')));
    EXPECT_FALSE(folder.ReadNote().has_value());
    ASSERT_TRUE(QFile::remove(folder.NotePath()));
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.NotePath()).constData(), 0600), 0);
    EXPECT_FALSE(folder.ReadNote().has_value()); // returns instead of waiting for a writer
}

TEST_F(RecoveryFolderTest, SetsDamagedCopiesAsideWithoutReplacingEarlierOnes) {
    PutCopy("first");
    const QString first = folder.SetAside();
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(first.endsWith(QStringLiteral(".dcf.damaged")));
    EXPECT_FALSE(folder.HasCopy());
    EXPECT_FALSE(QFile::exists(folder.NotePath()));
    PutCopy("second");
    const QString second = folder.SetAside();
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    EXPECT_EQ(test::ReadAll(first), QByteArray("first"));
    EXPECT_EQ(test::ReadAll(second), QByteArray("second"));
}

TEST_F(RecoveryFolderTest, NeverRemovesACopyThatIsTheUsersProject) {
    PutCopy();
    folder.Remove(folder.CopyPath()); // the user saved the project as the copy's own file
    EXPECT_TRUE(folder.HasCopy());
    EXPECT_FALSE(QFile::exists(folder.NotePath()));

    // The same through a link: the project is the copy's file under another name.
    const QString link = data.File(QStringLiteral("mine.dcf"));
    ASSERT_TRUE(QFile::link(folder.CopyPath(), link));
    EXPECT_TRUE(folder.IsCopy(link));
    folder.Remove(link);
    EXPECT_TRUE(folder.HasCopy());

    EXPECT_FALSE(folder.IsCopy(QString()));
    EXPECT_FALSE(folder.IsCopy(data.File(QStringLiteral("other.dcf"))));
    folder.Remove(data.File(QStringLiteral("other.dcf")));
    EXPECT_FALSE(folder.HasCopy());
}

// Only regular files are opened or removed in the folder: a pipe (which would block the start for
// ever) or a folder in the place of the lock, the copy or the note turns recovery off for the run,
// with one line that names it, and stays where it is.
TEST_F(RecoveryFolderTest, AnythingButARegularFileTurnsRecoveryOffAndStays) {
    const std::pair<const char*, std::function<QString(const RecoveryFolder&)>> places[] = {
        {"lock", [](const RecoveryFolder& f) { return f.LockPath(); }},
        {"copy", [](const RecoveryFolder& f) { return f.CopyPath(); }},
        {"note", [](const RecoveryFolder& f) { return f.NotePath(); }},
    };
    for (const auto& [what, place] : places) {
        for (const bool pipe : {true, false}) {
            SCOPED_TRACE(std::string(what) + (pipe ? " pipe" : " folder"));
            ScopedDataDir own;
            RecoveryFolder f(own.Path());
            ASSERT_TRUE(QDir().mkpath(f.Dir()));
            const QString path = place(f);
            const QByteArray name = QFile::encodeName(path);
            ASSERT_TRUE(pipe ? mkfifo(name.constData(), 0600) == 0 : QDir().mkpath(path));
            std::future<bool> claimed = std::async(std::launch::async, [&f] { return f.Claim(); });
            if (claimed.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
                // Let the blocked open go, so the test can end and report.
                const int unblock = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
                if (unblock >= 0)
                    ::close(unblock);
                ADD_FAILURE() << "Claim blocked on " << path.toStdString();
            }
            EXPECT_FALSE(claimed.get());
            EXPECT_TRUE(f.ClaimError().contains(path)) << f.ClaimError().toStdString();
            EXPECT_FALSE(f.ClaimError().contains(QLatin1Char('\n')));
            EXPECT_FALSE(f.HasCopy());
            f.Remove();
            EXPECT_EQ(f.SetAside(), QString());
            struct stat info {};
            ASSERT_EQ(::lstat(name.constData(), &info), 0);
            EXPECT_EQ(pipe ? S_ISFIFO(info.st_mode) : S_ISDIR(info.st_mode), true);
        }
    }
}

} // namespace
