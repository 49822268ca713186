// Writers replace only what is theirs: regular files (through a link, the file it leads to) or
// nothing; never a folder, pipe or device. Nodes are made inside the test's scratch folder.
#include "common/TestSupport.h"
#include "core/files/AtomicFile.h"
#include "core/files/FileSetReplace.h"
#include "core/files/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace mosaiq;

namespace {

bool IsFifo(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

bool IsCharDevice(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISCHR(info.st_mode);
}

// Targets no writer may replace, made in dir: a pipe, a folder, a link to the pipe, a link to
// nothing and (when this user may make one) a character device of the null device's numbers.
struct Hostile {
    QString pipe, folder, pipeLink, dangling, device;
    explicit Hostile(const test::ScopedDataDir& dir) {
        pipe = dir.File(QStringLiteral("pipe.dcf"));
        EXPECT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        folder = dir.File(QStringLiteral("folder.dcf"));
        QDir().mkpath(folder);
        pipeLink = dir.File(QStringLiteral("pipelink.dcf"));
        EXPECT_TRUE(QFile::link(pipe, pipeLink));
        dangling = dir.File(QStringLiteral("dangling.dcf"));
        EXPECT_TRUE(QFile::link(dir.File(QStringLiteral("gone")), dangling));
        const QString node = dir.File(QStringLiteral("device.dcf"));
        if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
            device = node;
    }
    QStringList All() const {
        QStringList all = {pipe, folder, pipeLink, dangling};
        if (!device.isEmpty())
            all << device;
        return all;
    }
};

} // namespace

TEST(WriteTarget, OnlyRegularFilesOrNothingAreReplaced) {
    test::ScopedDataDir dir;
    const Hostile hostile(dir);
    for (const QString& path : hostile.All()) {
        QString reason;
        EXPECT_TRUE(ReplaceableTarget(path, &reason).isEmpty()) << path.toStdString();
        EXPECT_TRUE(reason.contains(path)) << reason.toStdString();
        EXPECT_EQ(reason.count(QLatin1Char('\n')), 0);
        reason.clear();
        EXPECT_FALSE(WriteFileAtomically(path, "new", &reason)) << path.toStdString();
        EXPECT_FALSE(reason.isEmpty());
    }
    EXPECT_TRUE(IsFifo(hostile.pipe));
    EXPECT_TRUE(QFileInfo(hostile.folder).isDir());
    EXPECT_TRUE(QFileInfo(hostile.dangling).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(dir.File(QStringLiteral("gone"))));
    if (!hostile.device.isEmpty()) {
        EXPECT_TRUE(IsCharDevice(hostile.device));
    }
    // No temporary file was left behind.
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(),
              hostile.All().size() - 1); // every node but the folder

    const QString fresh = dir.File(QStringLiteral("fresh.dcf"));
    EXPECT_EQ(ReplaceableTarget(fresh), fresh);
    EXPECT_TRUE(WriteFileAtomically(fresh, "one"));
    EXPECT_EQ(test::ReadAll(fresh), QByteArray("one"));
}

TEST(WriteTarget, ALinkToARegularFileIsFollowedAndStays) {
    test::ScopedDataDir dir;
    QDir().mkpath(dir.File(QStringLiteral("real")));
    const QString real = dir.File(QStringLiteral("real/settings.ini"));
    ASSERT_TRUE(test::WriteAll(real, "old"));
    const QString link = dir.File(QStringLiteral("settings.ini"));
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_EQ(ReplaceableTarget(link), QFileInfo(real).canonicalFilePath());
    ASSERT_TRUE(WriteFileAtomically(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(test::ReadAll(real), QByteArray("new"));

    ASSERT_TRUE(ReplaceFilesTogether({{link, "together"}}));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(test::ReadAll(real), QByteArray("together"));
}

TEST(WriteTarget, ReplacingASetTouchesNoFileOfTheUsers) {
    test::ScopedDataDir dir;
    const QString frame = dir.File(QStringLiteral("frame.cfg"));
    const QString list = dir.File(QStringLiteral("Res_Info"));
    ASSERT_TRUE(test::WriteAll(frame, "old frame"));
    // Files of the user's that carry the names such a replacement once used for itself.
    const QStringList own = {QStringLiteral("frame.cfg.bak"), QStringLiteral("frame.cfg.new"),
                             QStringLiteral("Res_Info.bak"), QStringLiteral("Res_Info.new"),
                             QStringLiteral("tbframe.cfg.bak")};
    for (const QString& name : own)
        ASSERT_TRUE(test::WriteAll(dir.File(name), name.toUtf8()));
    ASSERT_TRUE(ReplaceFilesTogether({{frame, "new frame"}, {list, "new list"}}));
    EXPECT_EQ(test::ReadAll(frame), QByteArray("new frame"));
    EXPECT_EQ(test::ReadAll(list), QByteArray("new list"));
    for (const QString& name : own)
        EXPECT_EQ(test::ReadAll(dir.File(name)), name.toUtf8()) << name.toStdString();
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden).size(), own.size() + 2);

    // One target no writer may replace refuses the set before anything is written.
    const Hostile hostile(dir);
    for (const QString& path : hostile.All()) {
        QString error;
        EXPECT_FALSE(ReplaceFilesTogether({{frame, "third"}, {path, "x"}}, &error));
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_EQ(test::ReadAll(frame), QByteArray("new frame"));
    }
    EXPECT_TRUE(IsFifo(hostile.pipe));
    EXPECT_EQ(QDir(dir.Path())
                  .entryList({QStringLiteral(".*mosaiq-*")}, QDir::Files | QDir::Hidden)
                  .size(),
              0);
}
