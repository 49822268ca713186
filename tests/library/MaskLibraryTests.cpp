#include "library/items/MaskLibrary.h"

#include "common/TestSupport.h"
#include "library/items/FrameLibrary.h"
#include "library/LibraryTestFiles.h"
#include "library/items/PictureList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

Guid KeyOf(std::uint8_t seed) {
    Guid g;
    for (size_t i = 0; i < g.bytes.size(); ++i)
        g.bytes[i] = std::uint8_t(seed + i);
    return g;
}

KeyedEntry PngEntry(int w, int h, std::uint8_t keySeed, QRgb fill) {
    const QByteArray png = PngBytes(SolidPicture(w, h, fill, qRgb(255, 255, 255)));
    return KeyedEntry{w, h, KeyOf(keySeed), png};
}

struct MaskFiles : ::testing::Test {
    ScopedDataDir data;
    QString path = data.File(QStringLiteral("mask.cfg"));
    std::vector<KeyedEntry> entries{PngEntry(30, 20, 1, qRgb(0, 0, 0)),
                                    PngEntry(12, 40, 2, qRgb(128, 128, 128)),
                                    PngEntry(5, 5, 3, qRgb(10, 20, 30))};
    QByteArray file = EncodeKeyedLibrary(entries);

    void SetUp() override { ASSERT_TRUE(WriteAll(path, file)); }
};

} // namespace

TEST_F(MaskFiles, ReadsEveryEntryDecodedWithItsKey) {
    for (int i = 0; i < 3; ++i) {
        const std::optional<MaskPicture> mask = ReadMask(path, i);
        ASSERT_TRUE(mask) << i;
        EXPECT_EQ(mask->width, entries[size_t(i)].width);
        EXPECT_EQ(mask->height, entries[size_t(i)].height);
        EXPECT_EQ(mask->image.size(), QSize(mask->width, mask->height));
        EXPECT_EQ(mask->image.format(), QImage::Format_ARGB32);
        EXPECT_EQ(mask->key, entries[size_t(i)].key);
        EXPECT_EQ(ReadMaskKey(path, i), entries[size_t(i)].key);
    }
    // B, G, R, A in memory: the corner is white, the rest the fill.
    const std::optional<MaskPicture> third = ReadMask(path, 2);
    const uchar* px = third->image.constScanLine(1);
    EXPECT_EQ(px[0], 30);
    EXPECT_EQ(px[1], 20);
    EXPECT_EQ(px[2], 10);
    EXPECT_EQ(px[3], 255);
    EXPECT_EQ(third->image.pixel(0, 0), qRgb(255, 255, 255));
}

TEST_F(MaskFiles, DefaultPathIsTheDataDirectory) {
    ASSERT_TRUE(ReadMask(0));
    EXPECT_EQ(ReadMaskKey(1), entries[1].key);
}

TEST_F(MaskFiles, IndexOutsideTheCountAndMissingFileGiveNoResult) {
    EXPECT_FALSE(ReadMask(path, -1));
    EXPECT_FALSE(ReadMask(path, 3));
    EXPECT_FALSE(ReadMaskKey(path, 3));
    EXPECT_FALSE(ReadMaskKey(path, INT32_MAX));
    EXPECT_FALSE(ReadMask(data.File(QStringLiteral("none.cfg")), 0));
    EXPECT_FALSE(ReadMaskKey(data.File(QStringLiteral("none.cfg")), 0));
    // Entries after the count are not reachable even though they are in the file.
    QByteArray shorter = file;
    shorter.replace(0, 4, Int32Bytes(2));
    ASSERT_TRUE(WriteAll(path, shorter));
    EXPECT_TRUE(ReadMask(path, 1));
    EXPECT_FALSE(ReadMask(path, 2));
}

TEST_F(MaskFiles, EveryTruncationIsRefusedWithoutCrashing) {
    const qsizetype endOfSecond =
        4 + 2 * 28 + entries[0].encoded.size() + entries[1].encoded.size();
    for (qsizetype len = 0; len < file.size(); ++len) {
        ASSERT_TRUE(WriteAll(path, file.left(len)));
        // Entry 2 needs the whole file; entry 1 is readable once its bytes are all there.
        EXPECT_FALSE(ReadMask(path, 2)) << len;
        EXPECT_EQ(ReadMaskKey(path, 1).has_value(), len >= endOfSecond) << len;
    }
}

TEST_F(MaskFiles, HostileSizesGiveNoResult) {
    auto withInt = [&](qsizetype offset, std::int32_t v) {
        QByteArray bad = file;
        bad.replace(offset, 4, Int32Bytes(v));
        return bad;
    };
    const qsizetype lengthOfFirst = 4 + 8;
    const std::pair<const char*, QByteArray> cases[] = {
        {"count beyond the file", withInt(0, 1000000)},
        {"negative count", withInt(0, -1)},
        {"negative length", withInt(lengthOfFirst, -5)},
        {"length beyond the file", withInt(lengthOfFirst, 0x7FFFFFFF)},
    };
    for (const auto& [name, bytes] : cases) {
        ASSERT_TRUE(WriteAll(path, bytes));
        EXPECT_FALSE(ReadMask(path, 0)) << name;
        EXPECT_FALSE(ReadMaskKey(path, 1)) << name;
        EXPECT_FALSE(FindCustomMask(path, entries[1].key)) << name;
    }
}

TEST_F(MaskFiles, UndecodableOrHugePicturesGiveNoResult) {
    // A BMP whose header claims 20000 x 20000 pixels is refused before decoding.
    QByteArray huge = QByteArray("BM") + Int32Bytes(54) + Int32Bytes(0) + Int32Bytes(54) +
                      Int32Bytes(40) + Int32Bytes(20000) + Int32Bytes(20000) +
                      QByteArray::fromHex("01001800") + QByteArray(24, '\0');
    // Formats outside the stored ones (here a valid PPM) are not handed to their decoders.
    const QByteArray ppm = QByteArray("P6\n2 2\n255\n") + QByteArray(12, '\x40');
    ASSERT_FALSE(QImage::fromData(ppm).isNull());
    const std::vector<KeyedEntry> bad{{4, 4, KeyOf(9), QByteArray("not a picture")},
                                      {20000, 20000, KeyOf(8), huge},
                                      {0, 0, KeyOf(7), QByteArray()},
                                      {2, 2, KeyOf(6), ppm}};
    ASSERT_TRUE(WriteAll(path, EncodeKeyedLibrary(bad)));
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(ReadMask(path, i)) << i;
        EXPECT_EQ(ReadMaskKey(path, i), bad[size_t(i)].key) << i;
    }
}

TEST_F(MaskFiles, DecodedSizeWinsOverTheStoredSize) {
    std::vector<KeyedEntry> lying{entries[0]};
    lying[0].width = 999;
    lying[0].height = 3;
    ASSERT_TRUE(WriteAll(path, EncodeKeyedLibrary(lying)));
    const std::optional<MaskPicture> mask = ReadMask(path, 0);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->width, 30);
    EXPECT_EQ(mask->height, 20);
}

TEST(CustomMasks, SearchFindsTheFirstMatchingKeyWithinTheCount) {
    ScopedDataDir data;
    const QString path = data.File(QStringLiteral("cusmask.cfg"));
    ASSERT_TRUE(WriteAll(path, Int32Bytes(0)));
    EXPECT_FALSE(FindCustomMask(path, KeyOf(1)));
    EXPECT_FALSE(FindCustomMaskRaw(path, KeyOf(1)));
    EXPECT_FALSE(FindCustomMask(KeyOf(0))); // cusmask.cfg in the data directory, count 0

    std::vector<KeyedEntry> entries{
        PngEntry(10, 10, 1, qRgb(0, 0, 0)), PngEntry(20, 10, 5, qRgb(0, 0, 0)),
        PngEntry(30, 10, 5, qRgb(0, 0, 0)), PngEntry(40, 10, 6, qRgb(0, 0, 0))};
    QByteArray file = EncodeKeyedLibrary(entries);
    file.replace(0, 4, Int32Bytes(3)); // the fourth entry is outside the count
    ASSERT_TRUE(WriteAll(path, file));

    const std::optional<MaskPicture> found = FindCustomMask(path, KeyOf(5));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->width, 20);
    EXPECT_EQ(found->key, KeyOf(5));
    const std::optional<KeyedEntry> raw = FindCustomMaskRaw(KeyOf(5));
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->width, 20);
    EXPECT_EQ(raw->encoded, entries[1].encoded);
    EXPECT_FALSE(FindCustomMaskRaw(path, KeyOf(6)));
    EXPECT_FALSE(FindCustomMask(path, KeyOf(42)));
}

TEST(CustomMasks, AppendCreatesThenExtendsAndRewritesTheCount) {
    ScopedDataDir data;
    const QString path = data.File(QStringLiteral("cusmask.cfg"));
    const KeyedEntry a = PngEntry(10, 12, 1, qRgb(0, 0, 0));
    const KeyedEntry b = PngEntry(14, 16, 2, qRgb(9, 9, 9));
    ASSERT_TRUE(AppendCustomMask(a.width, a.height, a.key, a.encoded));
    EXPECT_EQ(ReadAll(path), EncodeKeyedLibrary({a}));
    ASSERT_TRUE(AppendCustomMask(path, b.width, b.height, b.key, b.encoded));
    EXPECT_EQ(ReadAll(path), EncodeKeyedLibrary({a, b}));
    // The same key again is appended, not merged; the search still finds the first.
    ASSERT_TRUE(AppendKeyedEncodedEntry(path, b.width, b.height, a.key, b.encoded));
    EXPECT_EQ(ReadAll(path).left(4), Int32Bytes(3));
    EXPECT_EQ(FindCustomMask(path, a.key)->width, 10);
}

TEST(CustomMasks, AppendNeverRemovesBytesFromADamagedFile) {
    ScopedDataDir data;
    const QString path = data.File(QStringLiteral("cusmask.cfg"));
    const KeyedEntry a = PngEntry(10, 12, 1, qRgb(0, 0, 0));
    const KeyedEntry b = PngEntry(14, 16, 2, qRgb(0, 0, 0));
    const QByteArray whole = EncodeKeyedLibrary({a, b});
    QByteArray promisesMore = whole;
    promisesMore.replace(0, 4, Int32Bytes(5)); // promises five entries
    promisesMore.chop(3);                      // and the second is cut short
    QByteArray tailAfterCount = whole;
    tailAfterCount.replace(0, 4, Int32Bytes(1)); // the second entry is beyond the count
    QByteArray negativeCount = whole;
    negativeCount.replace(0, 4, Int32Bytes(-2));
    for (const QByteArray& damaged : {promisesMore, tailAfterCount, negativeCount, whole.left(2)}) {
        ASSERT_TRUE(WriteAll(path, damaged));
        QString error;
        EXPECT_FALSE(AppendCustomMask(path, b.width, b.height, b.key, b.encoded, &error));
        EXPECT_TRUE(error.contains(QLatin1String("damaged"))) << error.toStdString();
        EXPECT_EQ(ReadAll(path), damaged);
    }
    // An empty file holds nothing to lose: the entry becomes its first.
    ASSERT_TRUE(WriteAll(path, QByteArray()));
    ASSERT_TRUE(AppendCustomMask(path, a.width, a.height, a.key, a.encoded));
    EXPECT_EQ(ReadAll(path), EncodeKeyedLibrary({a}));

    // A path that exists but cannot be read as a file is left alone.
    const QString dir = data.File(QStringLiteral("adir"));
    ASSERT_TRUE(QDir().mkpath(dir));
    QString error;
    EXPECT_FALSE(AppendCustomMask(dir, a.width, a.height, a.key, a.encoded, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(dir).isDir());
    EXPECT_FALSE(AppendKeyedEncodedEntry(path, -1, 5, a.key, a.encoded));
}

TEST(LibraryFiles, PipesAndDevicesAreNotReadAndNothingBlocks) {
    ScopedDataDir data;
    const QString pipe = data.File(QStringLiteral("pipe.cfg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QStringList paths{pipe};
    const QString zero = test::MakeZeroDevice(data.File(QStringLiteral("zero.cfg")));
    if (!zero.isEmpty())
        paths << zero;
    for (const QString& path : paths) {
        EXPECT_FALSE(ReadMask(path, 0));
        EXPECT_FALSE(ReadMaskKey(path, 0));
        EXPECT_FALSE(FindCustomMaskRaw(path, KeyOf(1)));
        EXPECT_EQ(ReadPictureListCount(path), -1);
        EXPECT_FALSE(ReadPictureListEntry(path, 0));
        EXPECT_TRUE(ReadPictureList(path).empty());
        EXPECT_FALSE(ReadFrame(path, 0));
        EXPECT_FALSE(ReadFrameWindow(path, 0));
        const KeyedEntry a = PngEntry(10, 12, 1, qRgb(0, 0, 0));
        QString error;
        EXPECT_FALSE(AppendCustomMask(path, a.width, a.height, a.key, a.encoded, &error));
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_FALSE(QFileInfo(path).isFile());
    }
}
