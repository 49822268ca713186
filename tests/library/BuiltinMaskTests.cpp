#include "core/data/BuiltinData.h"
#include "library/items/MaskLibrary.h"
#include "library/items/PictureList.h"

#include "common/TestSupport.h"

#include <QFile>

#include <cmath>
#include <set>

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

struct BuiltinMasks : ::testing::Test {
    ScopedDataDir data;
    QString masks = data.File(QStringLiteral("mask.cfg"));
    QString thumbs = data.File(QStringLiteral("tbmask.cfg"));
    void SetUp() override { ASSERT_TRUE(WriteBuiltinDataFiles(data.Path()).failed.isEmpty()); }
};

int Grey(const QImage& image, int x, int y) {
    return qBlue(image.pixel(x, y));
}

} // namespace

TEST_F(BuiltinMasks, TwentyEightPngMasksWithUniqueKeys) {
    EXPECT_EQ(ReadAll(masks).left(4), QByteArray("\x1c\0\0\0", 4));
    std::set<QString> keys;
    QFile file(masks);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    for (int i = 0; i < 28; ++i) {
        const std::optional<KeyedEntry> entry = ReadKeyedEntry(file, i);
        ASSERT_TRUE(entry) << i;
        ASSERT_TRUE(file.seek(0));
        EXPECT_TRUE(entry->encoded.startsWith("\x89PNG")) << i;
        EXPECT_FALSE(entry->key.IsNull()) << i;
        keys.insert(entry->key.ToText());

        const std::optional<MaskPicture> mask = ReadMask(masks, i);
        ASSERT_TRUE(mask) << i;
        EXPECT_EQ(mask->width, entry->width) << i;
        EXPECT_EQ(mask->height, entry->height) << i;
        EXPECT_GE(std::min(mask->width, mask->height), 288) << i;
        EXPECT_LE(std::max(mask->width, mask->height), 800) << i;
        // Black keeps the photo in the middle, white removes it at the corner.
        const QImage& img = mask->image;
        EXPECT_LT(Grey(img, img.width() / 2, img.height() / 2), 64) << i;
        EXPECT_GT(Grey(img, 0, 0), 200) << i;
    }
    EXPECT_EQ(keys.size(), 28u);
    EXPECT_FALSE(ReadMask(masks, 28));
}

TEST_F(BuiltinMasks, ThumbnailsAre120WideWithTheMaskAspect) {
    ASSERT_EQ(ReadPictureListCount(thumbs), 28);
    const std::vector<QImage> list = ReadPictureList(thumbs);
    ASSERT_EQ(list.size(), 28u);
    for (int i = 0; i < 28; ++i) {
        const QImage& thumb = list[size_t(i)];
        const std::optional<MaskPicture> mask = ReadMask(masks, i);
        ASSERT_TRUE(mask) << i;
        EXPECT_EQ(thumb.width(), 120) << i;
        EXPECT_EQ(thumb.height(), int(std::lround(120.0 * mask->height / mask->width))) << i;
        // The shape is drawn dark on white, where the mask has it.
        EXPECT_LT(qGray(thumb.pixel(60, thumb.height() / 2)), 128) << i;
        EXPECT_EQ(thumb.pixel(0, 0), qRgb(255, 255, 255)) << i;
        EXPECT_EQ(qAlpha(thumb.pixel(60, thumb.height() / 2)), 255) << i;
    }
}
