#include "core/files/RegularFile.h"
#include "core/text/UiText.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace mosaiq;

TEST(RegularFile, OnlyRegularFilesAreOpenedAndNothingBlocks) {
    test::ScopedDataDir dir;
    const QString file = dir.File(QStringLiteral("file.bin"));
    ASSERT_TRUE(test::WriteAll(file, "bytes"));
    const QString link = dir.File(QStringLiteral("link.bin"));
    ASSERT_TRUE(QFile::link(file, link));
    const QString pipe = dir.File(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // A device node of the zero device's numbers made here (as root), or else a second pipe.
    const QString zeroNode = dir.File(QStringLiteral("zero"));
    if (::mknod(QFile::encodeName(zeroNode).constData(), S_IFCHR | 0600, makedev(1, 5)) != 0) {
        ASSERT_EQ(::mkfifo(QFile::encodeName(zeroNode).constData(), 0600), 0);
    }
    const QString zero = dir.File(QStringLiteral("zero.png"));
    ASSERT_TRUE(QFile::link(zeroNode, zero));
    const QString dangling = dir.File(QStringLiteral("dangling"));
    ASSERT_TRUE(QFile::link(dir.File(QStringLiteral("gone")), dangling));

    for (const QString& path : {file, link}) {
        QFile f;
        EXPECT_EQ(OpenRegularFile(f, path), OpenFailure::None);
        EXPECT_EQ(f.readAll(), QByteArray("bytes"));
        EXPECT_EQ(f.size(), 5);
        EXPECT_TRUE(IsRegularFile(path));
    }
    const struct {
        QString path;
        OpenFailure failure;
    } refused[] = {{pipe, OpenFailure::NotRegular},
                   {zero, OpenFailure::NotRegular},
                   {dir.Path(), OpenFailure::NotRegular},
                   {dangling, OpenFailure::Missing},
                   {dir.File(QStringLiteral("none")), OpenFailure::Missing},
                   {file + QStringLiteral("/child"), OpenFailure::Missing},
                   {QString(), OpenFailure::Missing}};
    for (const auto& r : refused) {
        QFile f;
        QString reason;
        EXPECT_EQ(OpenRegularFile(f, r.path, &reason), r.failure) << r.path.toStdString();
        EXPECT_FALSE(f.isOpen());
        EXPECT_TRUE(reason.contains(r.path)) << reason.toStdString();
        EXPECT_EQ(reason.count(QLatin1Char('\n')), 0);
        EXPECT_FALSE(IsRegularFile(r.path));
    }
    // The table of texts is not read from a pipe either.
    EXPECT_TRUE(LoadUiTextTable(pipe).isEmpty());
}
