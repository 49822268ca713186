#include "core/files/AtomicFile.h"
#include "core/data/BuiltinData.h"
#include "core/data/DataPath.h"
#include "core/text/UiText.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace mosaiq;
using mosaiq::test::ReadAll;
using mosaiq::test::ScopedDataDir;
using mosaiq::test::WriteAll;

TEST(DataPath, CreatesMissingDirectoryAndEndsWithSeparator) {
    ScopedDataDir data;
    const QString nested = data.Path() + QStringLiteral("deeper/Data");
    qputenv("MOSAIQ_DATA_DIR", QFile::encodeName(nested));
    const QString path = DataPath();
    EXPECT_TRUE(path.endsWith(QLatin1Char('/')));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(DataFile(QStringLiteral("mask.cfg")), path + QStringLiteral("mask.cfg"));
}

TEST(DataPath, OverrideWinsOverEnvironment) {
    ScopedDataDir env;
    QTemporaryDir other;
    const QString otherPath = other.path() + QLatin1Char('/');
    SetDataPathOverride(otherPath);
    EXPECT_EQ(DataPath(), otherPath);
    SetDataPathOverride(QString());
    EXPECT_EQ(DataPath(), env.Path());
}

TEST(UiText, EmptyBeforeLoadingAndNumberedAfter) {
    SetUiTextTable({});
    EXPECT_TRUE(GetUiText(23).isEmpty());

    ScopedDataDir data;
    WriteBuiltinDataFiles(data.Path());
    LoadUiTexts(data.Path());
    EXPECT_EQ(GetUiText(23), QStringLiteral("Mosaiq Photo Editor"));
    EXPECT_EQ(GetUiText(8), QStringLiteral("Frame"));
    EXPECT_EQ(GetUiText(22), QStringLiteral("Mask"));
    EXPECT_EQ(GetUiText(10), QStringLiteral("Clipart"));
    EXPECT_EQ(GetUiText(14), QStringLiteral("Text"));
    for (int n : {15, 17, 24, 25})
        EXPECT_FALSE(GetUiText(n).isEmpty()) << n;
    EXPECT_TRUE(GetUiText(-1).isEmpty());
    EXPECT_TRUE(GetUiText(252).isEmpty());
    SetUiTextTable({});
}

TEST(UiText, ShortOrUnterminatedFilesAreBounded) {
    ScopedDataDir data;
    // A slot of 260 non-NUL bytes: the text is cut at 259 bytes.
    QByteArray bytes(300, 'x');
    ASSERT_TRUE(WriteAll(data.File(QStringLiteral("lang.mfd")), bytes));
    const QByteArray table = LoadUiTextTable(data.File(QStringLiteral("lang.mfd")));
    ASSERT_EQ(table.size(), kUiTextTableSize);
    SetUiTextTable(table);
    EXPECT_EQ(GetUiText(0).size(), 259);
    EXPECT_EQ(GetUiText(1), QString(40, QLatin1Char('x')));
    EXPECT_TRUE(GetUiText(2).isEmpty());
    SetUiTextTable({});
    EXPECT_TRUE(LoadUiTextTable(data.File(QStringLiteral("missing.mfd"))).isEmpty());
}

TEST(BuiltinData, LangIsRewrittenEveryStartMasksOnlyWhenMissing) {
    ScopedDataDir data;
    WriteOutReport first = WriteBuiltinDataFiles(data.Path());
    EXPECT_TRUE(first.failed.isEmpty()) << first.failed.join(QStringLiteral(", ")).toStdString();
    EXPECT_TRUE(first.written.contains(QStringLiteral("lang.mfd")));
    EXPECT_EQ(QFileInfo(data.File(QStringLiteral("lang.mfd"))).size(), 252 * 260);

    // A user's edited lang.mfd is replaced; a present mask.cfg keeps both mask files untouched.
    ASSERT_TRUE(WriteAll(data.File(QStringLiteral("lang.mfd")), "edited"));
    ASSERT_TRUE(WriteAll(data.File(QStringLiteral("mask.cfg")), "user masks"));
    QFile::remove(data.File(QStringLiteral("tbmask.cfg")));
    WriteOutReport second = WriteBuiltinDataFiles(data.Path());
    EXPECT_EQ(QFileInfo(data.File(QStringLiteral("lang.mfd"))).size(), 252 * 260);
    EXPECT_EQ(ReadAll(data.File(QStringLiteral("mask.cfg"))), QByteArray("user masks"));
    EXPECT_FALSE(QFileInfo::exists(data.File(QStringLiteral("tbmask.cfg"))));
    EXPECT_TRUE(second.kept.contains(QStringLiteral("mask.cfg")));
}

TEST(BuiltinData, UnknownResourceAndUnwritablePathFail) {
    ScopedDataDir data;
    EXPECT_FALSE(ExtractResourceToFile(999, QStringLiteral("IDR_MASK_RES"), data.File("x")));
    EXPECT_FALSE(ExtractResourceToFile(229, QStringLiteral("IDR_MASK_RES"), data.File("x")));
    EXPECT_FALSE(ExtractResourceToFile(229, QStringLiteral("IDR_ENG_LANG"),
                                       data.File(QStringLiteral("no/such/dir/lang.mfd"))));
}

TEST(AtomicFile, FailedWriteKeepsOldFile) {
    ScopedDataDir data;
    const QString path = data.File(QStringLiteral("keep.bin"));
    ASSERT_TRUE(WriteFileAtomically(path, "old"));
    QString error;
    EXPECT_FALSE(WriteFileAtomically(data.File(QStringLiteral("missing/dir/f")), "x", &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(WriteFileAtomically(path, "new contents"));
    EXPECT_EQ(ReadAll(path), QByteArray("new contents"));
    // Nothing is left beside the target.
    EXPECT_EQ(QDir(data.Path()).entryList(QDir::Files).size(), 1);
}
