#include "core/files/FileSetReplace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(FileSetReplace, ReplacesEveryFileAndLeavesNoBackups) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.cfg"), b = dir.filePath("b.cfg");
    Write(a, "old a");
    ASSERT_TRUE(ReplaceFilesTogether({{a, "new a"}, {b, "new b"}}));
    EXPECT_EQ(Read(a), "new a");
    EXPECT_EQ(Read(b), "new b");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST(FileSetReplace, AFailingTargetPutsEveryOldFileBack) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.cfg"), c = dir.filePath("c.cfg");
    Write(a, "old a");
    // The second target lies under a regular file: it can be neither written nor renamed to.
    Write(dir.filePath("plain"), "x");
    const QString blocked = dir.filePath("plain/b.cfg");
    QString error;
    EXPECT_FALSE(ReplaceFilesTogether({{a, "new a"}, {c, "new c"}, {blocked, "new b"}}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Read(a), "old a");
    EXPECT_EQ(Read(c), "<missing>"); // did not exist before
    QStringList left = QDir(dir.path()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, QStringList({"a.cfg", "plain"}));
}

} // namespace
} // namespace mosaiq
