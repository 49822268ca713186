#include "library/items/CustomMasks.h"

#include "core/data/BuiltinData.h"
#include "common/TestSupport.h"
#include "library/LibraryTestFiles.h"
#include "library/items/MaskLibrary.h"
#include "library/items/PictureList.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

int KeyedCount(const QString& path) {
    const QByteArray bytes = ReadAll(path);
    if (bytes.size() < 4)
        return -1;
    return int(std::uint8_t(bytes[0])) | int(std::uint8_t(bytes[1])) << 8 |
           int(std::uint8_t(bytes[2])) << 16 | int(std::uint8_t(bytes[3])) << 24;
}

struct CustomMaskFiles : ::testing::Test {
    ScopedDataDir data;
    QString maskPath = data.File(QStringLiteral("mask.cfg"));
    QString customPath = data.File(QStringLiteral("cusmask.cfg"));
    QString thumbPath = data.File(QStringLiteral("tbmask.cfg"));

    void SetUp() override { ASSERT_TRUE(WriteBuiltinDataFiles(data.Path()).failed.isEmpty()); }

    QString Picture(const QString& name, int w, int h) {
        const QString path = data.File(name);
        EXPECT_TRUE(
            WriteAll(path, PngBytes(SolidPicture(w, h, qRgb(0, 0, 0), qRgb(255, 255, 255)))));
        return path;
    }
};

} // namespace

TEST_F(CustomMaskFiles, ImportAppendsOneKeyedRecordToAllThreeFiles) {
    const MaskImportResult result = ImportCustomMask(data.Path(), Picture("heart.png", 300, 200));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.index, 28);
    EXPECT_EQ(KeyedCount(maskPath), 29);
    EXPECT_EQ(KeyedCount(customPath), 1);
    EXPECT_EQ(ReadPictureListCount(thumbPath), 29);

    EXPECT_EQ(ReadMaskKey(maskPath, 28), result.key);
    const std::optional<MaskPicture> mask = ReadMask(maskPath, 28);
    ASSERT_TRUE(mask);
    EXPECT_EQ(QSize(mask->width, mask->height), QSize(300, 200));
    const std::optional<MaskPicture> custom = FindCustomMask(customPath, result.key);
    ASSERT_TRUE(custom);
    EXPECT_EQ(custom->image.pixel(0, 0), mask->image.pixel(0, 0));
    // The thumbnail is 120 pixels wide like the built-in ones, not the picture's full size.
    const std::optional<QImage> thumb = ReadThumbnail(thumbPath, 28);
    ASSERT_TRUE(thumb);
    EXPECT_EQ(thumb->size(), QSize(120, 80));

    // A second import gets a key of its own.
    const MaskImportResult second = ImportCustomMask(data.Path(), Picture("star.png", 50, 100));
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.index, 29);
    EXPECT_NE(second.key, result.key);
    EXPECT_EQ(KeyedCount(customPath), 2);
    EXPECT_EQ(ReadThumbnail(thumbPath, 29)->size(), QSize(120, 240));
}

TEST_F(CustomMaskFiles, APictureThatCannotBeReadAppendsNothing) {
    const QByteArray masks = ReadAll(maskPath);
    const QByteArray thumbs = ReadAll(thumbPath);
    const QString bad = data.File(QStringLiteral("broken.png"));
    ASSERT_TRUE(WriteAll(bad, QByteArray("\x89PNG\r\n\x1a\n not really", 20)));
    for (const QString& path : {bad, data.File(QStringLiteral("missing.png"))}) {
        const MaskImportResult result = ImportCustomMask(data.Path(), path);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.error.isEmpty());
    }
    EXPECT_EQ(ReadAll(maskPath), masks);
    EXPECT_EQ(ReadAll(thumbPath), thumbs);
    EXPECT_FALSE(QFile::exists(customPath));
}

TEST_F(CustomMaskFiles, ADamagedMaskFileStopsTheImportAndKeepsEveryFile) {
    QByteArray thumbs = ReadAll(thumbPath);
    thumbs.chop(100);
    ASSERT_TRUE(WriteAll(thumbPath, thumbs));
    const QByteArray masks = ReadAll(maskPath);
    const MaskImportResult result = ImportCustomMask(data.Path(), Picture("a.png", 40, 40));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(QStringLiteral("tbmask.cfg")));
    EXPECT_EQ(ReadAll(maskPath), masks);
    EXPECT_EQ(ReadAll(thumbPath), thumbs);
    EXPECT_FALSE(QFile::exists(customPath));
}

TEST_F(CustomMaskFiles, ResetPutsTheBuiltInPairBackAndLeavesCustomMasks) {
    const QByteArray masks = ReadAll(maskPath);
    const QByteArray thumbs = ReadAll(thumbPath);
    ASSERT_TRUE(ImportCustomMask(data.Path(), Picture("a.png", 40, 40)).ok);
    const QByteArray customs = ReadAll(customPath);
    ASSERT_TRUE(ResetMaskLibrary(data.Path()));
    EXPECT_EQ(ReadAll(maskPath), masks);
    EXPECT_EQ(ReadAll(thumbPath), thumbs);
    EXPECT_EQ(ReadAll(customPath), customs);
}

TEST_F(CustomMaskFiles, BookkeepingWritesTheMasksAfterTheBuiltInOnes) {
    const MaskImportResult result = ImportCustomMask(data.Path(), Picture("a.png", 40, 30));
    ASSERT_TRUE(result.ok);
    // A project's mask appended to the custom file only: not part of "mask.cfg".
    ASSERT_TRUE(AppendCustomMask(customPath, 8, 8, Guid::Create(),
                                 PngBytes(SolidPicture(8, 8, qRgb(0, 0, 0), qRgb(0, 0, 0)))));
    ASSERT_EQ(KeyedCount(customPath), 2);
    EXPECT_EQ(KeepCustomMasks(data.Path()), CustomMaskUpkeep::Written);
    EXPECT_EQ(KeyedCount(customPath), 1);
    ASSERT_TRUE(FindCustomMask(customPath, result.key));
}

TEST_F(CustomMaskFiles, BookkeepingAfterResetRemovesTheCustomFile) {
    ASSERT_TRUE(ImportCustomMask(data.Path(), Picture("a.png", 40, 30)).ok);
    ASSERT_TRUE(ResetMaskLibrary(data.Path()));
    EXPECT_EQ(KeepCustomMasks(data.Path()), CustomMaskUpkeep::Removed);
    EXPECT_FALSE(QFile::exists(customPath));
}

TEST_F(CustomMaskFiles, BookkeepingLeavesTheCustomFileWhenTheMaskLibraryIsDamagedOrMissing) {
    ASSERT_TRUE(ImportCustomMask(data.Path(), Picture("a.png", 40, 30)).ok);
    const QByteArray customs = ReadAll(customPath);
    QByteArray masks = ReadAll(maskPath);
    masks.chop(10); // the imported mask's picture is cut short
    ASSERT_TRUE(WriteAll(maskPath, masks));
    EXPECT_EQ(KeepCustomMasks(data.Path()), CustomMaskUpkeep::LeftAlone);
    EXPECT_EQ(ReadAll(customPath), customs);
    ASSERT_TRUE(QFile::remove(maskPath));
    EXPECT_EQ(KeepCustomMasks(data.Path()), CustomMaskUpkeep::LeftAlone);
    EXPECT_EQ(ReadAll(customPath), customs);
}
