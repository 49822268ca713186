#include "library/items/FrameLibrary.h"

#include "common/TestSupport.h"
#include "library/LibraryTestFiles.h"

#include <gtest/gtest.h>

#include <limits>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

QImage FramePicture(int w, int h) {
    // Opaque border, transparent window: what a frame picture looks like.
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(qRgba(200, 100, 50, 255));
    for (int y = h / 4; y < h * 3 / 4; ++y)
        for (int x = w / 4; x < w * 3 / 4; ++x)
            image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
}

struct FrameFiles : ::testing::Test {
    ScopedDataDir data;
    QString path = data.File(QStringLiteral("frame.cfg"));
    std::vector<std::pair<QImage, FrameWindow>> frames{
        {FramePicture(40, 30), FrameWindow{0.25f, 0.25f, 0.75f, 0.75f}},
        {FramePicture(16, 64), FrameWindow{0.1f, 0.05f, 0.9f, 0.125f}}};
    QByteArray file = EncodeFrameLibrary(frames);

    void SetUp() override { ASSERT_TRUE(WriteAll(path, file)); }
};

} // namespace

TEST_F(FrameFiles, ReadsPicturesAndWindows) {
    for (int i = 0; i < 2; ++i) {
        const std::optional<QImage> picture = ReadFrame(path, i);
        ASSERT_TRUE(picture) << i;
        EXPECT_EQ(picture->size(), frames[size_t(i)].first.size());
        EXPECT_EQ(picture->format(), QImage::Format_ARGB32);
        EXPECT_EQ(picture->pixel(0, 0), qRgba(200, 100, 50, 255));
        EXPECT_EQ(qAlpha(picture->pixel(picture->width() / 2, picture->height() / 2)), 0);
        EXPECT_EQ(ReadFrameWindow(path, i), frames[size_t(i)].second);
    }
    EXPECT_EQ(ReadFrameWindow(1), frames[1].second);
    EXPECT_TRUE(ReadFrame(0));
    // The window's floats are stored little-endian right after the length.
    EXPECT_EQ(file.mid(4 + 12, 4), QByteArray::fromHex("0000803e")); // 0.25f
}

TEST_F(FrameFiles, OutOfRangeTruncatedAndHostileEntriesGiveNoResult) {
    EXPECT_FALSE(ReadFrame(path, 2));
    EXPECT_FALSE(ReadFrameWindow(path, -1));
    EXPECT_FALSE(ReadFrame(data.File(QStringLiteral("missing.cfg")), 0));

    for (qsizetype len = 0; len < file.size(); ++len) {
        ASSERT_TRUE(WriteAll(path, file.left(len)));
        EXPECT_FALSE(ReadFrame(path, 1)) << len;
        EXPECT_FALSE(ReadFrameWindow(path, 1)) << len;
    }

    QByteArray notANumber = file;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    notANumber.replace(4 + 12 + 8, 4, Int32Bytes(std::bit_cast<std::int32_t>(nan)));
    ASSERT_TRUE(WriteAll(path, notANumber));
    EXPECT_FALSE(ReadFrameWindow(path, 0));
    EXPECT_FALSE(ReadFrame(path, 0));
    EXPECT_TRUE(ReadFrameWindow(path, 1));

    QByteArray longLength = file;
    longLength.replace(4 + 8, 4, Int32Bytes(file.size()));
    ASSERT_TRUE(WriteAll(path, longLength));
    EXPECT_FALSE(ReadFrameWindow(path, 0));
    EXPECT_FALSE(ReadFrameWindow(path, 1));
}

TEST_F(FrameFiles, AppendAddsAReadableEntry) {
    const QImage extra = FramePicture(20, 20);
    const QByteArray png = PngBytes(extra);
    const FrameWindow window{0.2f, 0.3f, 0.8f, 0.7f};
    ASSERT_TRUE(AppendFrameEntry(path, 20, 20, window, png));
    EXPECT_EQ(ReadAll(path).left(4), Int32Bytes(3));
    EXPECT_EQ(ReadFrameWindow(path, 2), window);
    EXPECT_EQ(ReadFrame(path, 2)->size(), QSize(20, 20));
    EXPECT_EQ(ReadFrameWindow(path, 0), frames[0].second);
    EXPECT_EQ(ReadAll(path).mid(4, file.size() - 4), file.mid(4));
}
