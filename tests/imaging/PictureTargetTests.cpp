// Picture writers replace only regular files, and the image library's private folders of killed
// runs are cleared away at start.
#include "common/TestSupport.h"
#include "imaging/magick/MagickTempFolders.h"
#include "imaging/files/ReplacingFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

using namespace mosaiq;

namespace {

// A process id that ran and has ended.
qint64 EndedProcessId() {
    QProcess process;
    process.start(QStringLiteral("/bin/true"), {});
    process.waitForStarted();
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

QString MakeFolder(const QString& path, bool withPolicy = true) {
    QDir().mkpath(path);
    if (withPolicy) {
        EXPECT_TRUE(test::WriteAll(path + QStringLiteral("/policy.xml"), "<policymap/>"));
    }
    return path;
}

void MakeOld(const QString& path) {
    struct utimbuf times {};
    times.actime = times.modtime = ::time(nullptr) - 2 * 3600;
    ASSERT_EQ(::utime(QFile::encodeName(path).constData(), &times), 0);
}

} // namespace

TEST(PictureTarget, APictureNeverReplacesAPipeOrAFolderAndFollowsALink) {
    test::ScopedDataDir dir;
    const QString pipe = dir.File(QStringLiteral("out.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QString error;
    EXPECT_FALSE(WritePictureFile(pipe, "png bytes", &error));
    EXPECT_TRUE(error.contains(pipe)) << error.toStdString();
    EXPECT_FALSE(QFileInfo(pipe).isFile());
    EXPECT_TRUE(QFileInfo::exists(pipe));
    const QString folder = MakeFolder(dir.File(QStringLiteral("folder.png")), false);
    EXPECT_FALSE(WritePictureFile(folder, "png bytes"));
    EXPECT_TRUE(QFileInfo(folder).isDir());

    const QString real = dir.File(QStringLiteral("real.png"));
    ASSERT_TRUE(test::WriteAll(real, "old"));
    const QString link = dir.File(QStringLiteral("link.png"));
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(WritePictureFile(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(test::ReadAll(real), QByteArray("new"));
    // Only the four names made here are left: no temporary file stayed behind.
    EXPECT_EQ(QDir(dir.Path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                  .size(),
              4);
}

TEST(PictureTarget, FoldersOfKilledRunsAreRemovedAndNothingElse) {
    test::ScopedDataDir dir;
    const QString tmp = dir.Path();
    const QString ended =
        MakeFolder(tmp + QStringLiteral("mosaiq-magick-%1-aB3dE9").arg(EndedProcessId()));
    const QString running = MakeFolder(
        QDir::cleanPath(QString(MagickFolderTemplate(tmp))
                            .replace(QStringLiteral("XXXXXX"), QStringLiteral("zzzzzz"))));
    const QString oldUnnumbered = MakeFolder(tmp + QStringLiteral("mosaiq-magick-Qw12Er"));
    MakeOld(oldUnnumbered);
    const QString newUnnumbered = MakeFolder(tmp + QStringLiteral("mosaiq-magick-Ty34Ui"));
    // A folder of the name that holds a file of someone else's is not ours to remove.
    const QString foreign =
        MakeFolder(tmp + QStringLiteral("mosaiq-magick-%1-Op56As").arg(EndedProcessId()));
    ASSERT_TRUE(test::WriteAll(foreign + QStringLiteral("/notes.txt"), "mine"));
    // A link of the name leads to a folder elsewhere; neither is touched.
    const QString elsewhere = MakeFolder(tmp + QStringLiteral("elsewhere"));
    const QString link = tmp + QStringLiteral("mosaiq-magick-%1-Df78Gh").arg(EndedProcessId());
    ASSERT_TRUE(QFile::link(elsewhere, link));

    EXPECT_EQ(RemoveStaleMagickFolders(QDir::cleanPath(tmp)), 2);
    EXPECT_FALSE(QFileInfo::exists(ended));
    EXPECT_FALSE(QFileInfo::exists(oldUnnumbered));
    EXPECT_TRUE(QFileInfo::exists(running + QStringLiteral("/policy.xml")));
    EXPECT_TRUE(QFileInfo::exists(newUnnumbered + QStringLiteral("/policy.xml")));
    EXPECT_TRUE(QFileInfo::exists(foreign + QStringLiteral("/notes.txt")));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(elsewhere + QStringLiteral("/policy.xml")));
}
