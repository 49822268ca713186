#include "library/items/LibraryPicture.h"
#include "library/items/PictureList.h"

#include "common/TestSupport.h"
#include "library/LibraryTestFiles.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

TEST(PictureList, LayoutIsCountThenSizeThenBgraRowsTopToBottom) {
    QImage image(2, 2, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(1, 2, 3, 4));
    image.setPixel(1, 0, qRgba(5, 6, 7, 8));
    image.setPixel(0, 1, qRgba(9, 10, 11, 12));
    image.setPixel(1, 1, qRgba(13, 14, 15, 16));
    const QByteArray expected = Int32Bytes(1) + Int32Bytes(2) + Int32Bytes(2) +
                                QByteArray::fromHex("03020104070605080b0a090c0f0e0d10");
    EXPECT_EQ(EncodePictureList({image}), expected);
}

TEST(PictureList, RoundTripFromAnyFormatKeepsStraightAlpha) {
    ScopedDataDir data;
    const QString path = data.File(QStringLiteral("clipart.cfg"));
    QImage premultiplied(3, 2, QImage::Format_ARGB32_Premultiplied);
    premultiplied.fill(qRgba(0, 0, 0, 0));
    premultiplied.setPixel(1, 1, qPremultiply(qRgba(200, 100, 50, 128)));
    QImage grey(5, 1, QImage::Format_Grayscale8);
    grey.fill(77);
    const std::vector<QImage> pictures{SolidPicture(4, 3, qRgba(10, 20, 30, 40), qRgb(1, 2, 3)),
                                       premultiplied, grey};
    ASSERT_TRUE(WritePictureList(path, pictures));
    ASSERT_EQ(ReadPictureListCount(path), 3);
    const std::vector<QImage> read = ReadPictureList(path);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0], pictures[0].convertToFormat(QImage::Format_ARGB32));
    // Un-premultiplying a half-transparent pixel may be off by one per channel.
    const QRgb half = read[1].pixel(1, 1);
    EXPECT_EQ(qAlpha(half), 128);
    EXPECT_NEAR(qRed(half), 200, 1);
    EXPECT_NEAR(qGreen(half), 100, 1);
    EXPECT_NEAR(qBlue(half), 50, 1);
    EXPECT_EQ(read[1].pixel(0, 0), qRgba(0, 0, 0, 0));
    EXPECT_EQ(read[2].pixel(4, 0), qRgb(77, 77, 77));
    EXPECT_EQ(ReadPictureListEntry(path, 1)->format(), QImage::Format_ARGB32);
    EXPECT_EQ(ReadThumbnail(path, 2)->size(), QSize(5, 1));
    EXPECT_FALSE(ReadPictureListEntry(path, 3));
    EXPECT_FALSE(ReadPictureListEntry(path, -1));
}

TEST(PictureList, HostileFilesGiveNoResult) {
    ScopedDataDir data;
    const QString path = data.File(QStringLiteral("brushs"));
    const QByteArray good = EncodePictureList({SolidPicture(3, 3, qRgb(1, 1, 1), qRgb(2, 2, 2)),
                                               SolidPicture(2, 5, qRgb(3, 3, 3), qRgb(4, 4, 4))});
    const QByteArray header = Int32Bytes(1);
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty file", QByteArray()},
        {"short count", QByteArray("\x01\x00", 2)},
        {"negative count", Int32Bytes(-3)},
        {"count beyond the file", Int32Bytes(1 << 30) + good.mid(4)},
        {"negative width", header + Int32Bytes(-1) + Int32Bytes(4) + QByteArray(64, 'x')},
        {"w*h*4 overflows", header + Int32Bytes(0x40000000) + Int32Bytes(0x40000000)},
        {"w*h*4 wraps to 0 in 32 bits", header + Int32Bytes(0x10000) + Int32Bytes(0x4000)},
        {"size beyond the file", header + Int32Bytes(100) + Int32Bytes(100) + QByteArray(400, 'x')},
        {"wider than the cap", header + Int32Bytes(20000) + Int32Bytes(1) + QByteArray(80000, 'x')},
    };
    for (const auto& [name, bytes] : cases) {
        ASSERT_TRUE(WriteAll(path, bytes));
        EXPECT_FALSE(ReadPictureListEntry(path, 0)) << name;
        EXPECT_TRUE(ReadPictureList(path).empty()) << name;
    }
    EXPECT_EQ(ReadPictureListCount(path), 1); // the last case's count is sound
    ASSERT_TRUE(WriteAll(path, Int32Bytes(-3)));
    EXPECT_EQ(ReadPictureListCount(path), -1);
    EXPECT_EQ(ReadPictureListCount(data.File(QStringLiteral("missing"))), -1);

    for (qsizetype len = 0; len < good.size(); ++len) {
        ASSERT_TRUE(WriteAll(path, good.left(len)));
        EXPECT_FALSE(ReadPictureListEntry(path, 1)) << len;
        EXPECT_LT(ReadPictureList(path).size(), 2u) << len;
    }
}

TEST(PictureList, ListReadingKeepsIndicesAndStopsAtDamage) {
    ScopedDataDir data;
    const QString path = data.File(QStringLiteral("clipart.cfg"));
    // An empty entry in the middle keeps its place as a null picture.
    QByteArray bytes =
        EncodePictureList({SolidPicture(2, 2, qRgb(1, 1, 1), qRgb(1, 1, 1)), QImage(),
                           SolidPicture(1, 1, qRgb(9, 9, 9), qRgb(9, 9, 9))});
    ASSERT_TRUE(WriteAll(path, bytes));
    std::vector<QImage> read = ReadPictureList(path);
    ASSERT_EQ(read.size(), 3u);
    EXPECT_TRUE(read[1].isNull());
    EXPECT_EQ(read[2].pixel(0, 0), qRgb(9, 9, 9));
    EXPECT_FALSE(ReadPictureListEntry(path, 1));
    // The count promises a fourth entry that is not there: the three before it still come back.
    bytes.replace(0, 4, Int32Bytes(4));
    bytes += Int32Bytes(7);
    ASSERT_TRUE(WriteAll(path, bytes));
    EXPECT_EQ(ReadPictureList(path).size(), 3u);
}

TEST(PictureList, WritingIsAtomicAndAppendingRewritesTheCount) {
    ScopedDataDir data;
    const QString path = data.File(QStringLiteral("tbframe.cfg"));
    const QImage a = SolidPicture(3, 2, qRgb(1, 2, 3), qRgb(4, 5, 6));
    const QImage b = SolidPicture(2, 3, qRgb(7, 8, 9), qRgb(0, 0, 0));
    ASSERT_TRUE(AppendRawPictureEntry(path, a));
    ASSERT_TRUE(AppendRawPictureEntry(path, b));
    EXPECT_EQ(ReadAll(path), EncodePictureList({a, b}));

    QString error;
    EXPECT_FALSE(WritePictureList(data.File(QStringLiteral("no/dir/list.cfg")), {a}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(data.File(QStringLiteral("no"))));
}

TEST(LibraryPicture, ItemCodeChoosesFileAndEntry) {
    ScopedDataDir data;
    std::vector<QImage> cliparts;
    for (int i = 0; i < 1000; ++i)
        cliparts.push_back(
            SolidPicture(1, 1, qRgb(i % 256, i / 256, 7), qRgb(i % 256, i / 256, 7)));
    ASSERT_TRUE(WritePictureList(data.File(QStringLiteral("clipart.cfg")), cliparts));
    ASSERT_TRUE(WritePictureList(data.File(QStringLiteral("chrome_p.cfg")),
                                 {SolidPicture(2, 1, qRgb(50, 60, 70), qRgb(50, 60, 70))}));
    ASSERT_TRUE(WritePictureList(data.File(QStringLiteral("neon_p.cfg")),
                                 {QImage(), SolidPicture(1, 3, qRgb(1, 1, 1), qRgb(1, 1, 1))}));

    EXPECT_EQ(LoadLibraryPicture(999)->pixel(0, 0), qRgb(999 % 256, 999 / 256, 7));
    EXPECT_EQ(LoadLibraryPicture(0)->pixel(0, 0), qRgb(0, 0, 7));
    EXPECT_EQ(LoadLibraryPicture(1000)->pixel(0, 0), qRgb(50, 60, 70));
    EXPECT_EQ(LoadLibraryPicture(6001)->size(), QSize(1, 3));
    EXPECT_FALSE(LoadLibraryPicture(6000)); // an empty entry is no picture
    EXPECT_FALSE(LoadLibraryPicture(1001));
    EXPECT_FALSE(LoadLibraryPicture(2000)); // ca_p.cfg is missing
    EXPECT_FALSE(LoadLibraryPicture(7000));
    EXPECT_FALSE(LoadLibraryPicture(-1));
    EXPECT_EQ(LibraryPictureFileName(3), QStringLiteral("emboss_p.cfg"));
    EXPECT_EQ(LibraryPictureFileName(7), QStringLiteral("decorate_t")); // the Imported family
    EXPECT_TRUE(LibraryPictureFileName(8).isEmpty());
}
