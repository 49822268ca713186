// Photos turned upright by their orientation tags, through the one decoder every path uses.
#include "imaging/decode/PictureDecoder.h"
#include "imaging/decode/PictureLoaders.h"
#include "imaging/decode/PictureMetadata.h"

#include "common/PhonePictures.h"
#include "common/TestSupport.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

constexpr int kWidth = 160, kHeight = 96;

// The eight orientations in four formats, made once for the whole suite.
class PhotoOrientation : public ::testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        QString log;
        s_made = MakeOrientedOnce(&log);
        if (!s_made)
            ADD_FAILURE() << log.toStdString();
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    static bool MakeOrientedOnce(QString* log) {
        return test::MakeOrientedPictures(s_dir->path(), kWidth, kHeight, log);
    }
    static QString File(int orientation, const char* extension) {
        return s_dir->path() + QStringLiteral("/o%1.%2").arg(orientation).arg(extension);
    }
    static QImage Upright() { return QImage(s_dir->path() + QStringLiteral("/upright.png")); }

    static QTemporaryDir* s_dir;
    static bool s_made;
};
QTemporaryDir* PhotoOrientation::s_dir = nullptr;
bool PhotoOrientation::s_made = false;

TEST_P(PhotoOrientation, EveryTagDecodesUpright) {
    ASSERT_TRUE(s_made);
    const QImage upright = Upright();
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(o);
        const DecodedPicture picture = DecodePicture(File(o, GetParam()));
        ASSERT_TRUE(picture.Ok()) << picture.error.toStdString();
        EXPECT_EQ(picture.orientation, o);
        EXPECT_EQ(picture.fullSize, QSize(kWidth, kHeight));
        EXPECT_EQ(picture.image.size(), QSize(kWidth, kHeight));
        EXPECT_TRUE(test::QuadrantsMatch(picture.image, upright, 12))
            << test::SaveFailureImage(picture.image, QStringLiteral("orient.png")).toStdString();
        QSize size;
        ASSERT_TRUE(ReadPictureSize(File(o, GetParam()), &size));
        EXPECT_EQ(size, QSize(kWidth, kHeight));
    }
}

TEST_P(PhotoOrientation, AsStoredKeepsTheStoredPixels) {
    ASSERT_TRUE(s_made);
    for (int o : {1, 3, 6, 8}) {
        SCOPED_TRACE(o);
        const QSize stored = o >= 5 ? QSize(kHeight, kWidth) : QSize(kWidth, kHeight);
        const DecodedPicture picture =
            DecodePicture(File(o, GetParam()), QSize(), PictureTurn::AsStored);
        ASSERT_TRUE(picture.Ok());
        EXPECT_EQ(picture.fullSize, stored);
        EXPECT_EQ(picture.image.size(), stored);
        QSize size;
        ASSERT_TRUE(ReadPictureSize(File(o, GetParam()), &size, nullptr, PictureTurn::AsStored));
        EXPECT_EQ(size, stored);
        // Turned by hand, the stored pixels are the upright picture.
        EXPECT_TRUE(test::QuadrantsMatch(OrientImage(picture.image, o), Upright(), 12));
    }
}

TEST_P(PhotoOrientation, LoadersSeeTheUprightPicture) {
    ASSERT_TRUE(s_made);
    const QImage upright = Upright();
    for (int o : {2, 5, 6, 7}) {
        SCOPED_TRACE(o);
        const WorkingPicture working = LoadWorkingPicture(File(o, GetParam()));
        ASSERT_TRUE(working.ok);
        EXPECT_EQ(QSize(working.fullWidth, working.fullHeight), QSize(kWidth, kHeight));
        const QImage view(reinterpret_cast<const uchar*>(working.pixels.constData()), working.width,
                          working.height, working.width * 3, QImage::Format_BGR888);
        EXPECT_TRUE(test::QuadrantsMatch(view, upright, 12));
        // The thumbnail loader: bottom-up RGB, stretched to 40 x 40.
        std::vector<unsigned char> thumb(40 * 40 * 3);
        ASSERT_EQ(LoadThumbnailPixels(File(o, GetParam()), thumb.data(), 40, 40), 1);
        const QImage bottomUp(thumb.data(), 40, 40, 120, QImage::Format_RGB888);
        EXPECT_TRUE(test::QuadrantsMatch(bottomUp.mirrored(false, true), upright, 16));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PhotoOrientation, ::testing::Values("jpg", "png", "webp", "tif"));

// The minimum a caller asks for is in upright sides: a sideways JPEG decoded at a reduced scale
// must still be at least that tall once turned.
TEST_P(PhotoOrientation, ReducedDecodeMeetsTheUprightMinimum) {
    ASSERT_TRUE(s_made);
    for (int o : {1, 6, 8}) {
        SCOPED_TRACE(o);
        const DecodedPicture picture = DecodePicture(File(o, GetParam()), QSize(12, 80));
        ASSERT_TRUE(picture.Ok());
        EXPECT_EQ(picture.fullSize, QSize(kWidth, kHeight));
        EXPECT_GE(picture.image.height(), 80);
        EXPECT_GT(picture.image.width(), picture.image.height());
    }
}

// A little-endian or big-endian TIFF block with one directory entry for the orientation tag.
QByteArray OrientationBlock(bool little, quint16 type, quint32 count, quint16 value) {
    QByteArray b(8 + 2 + 12 + 4, '\0');
    auto* d = reinterpret_cast<uchar*>(b.data());
    const auto u16 = [&](int at, quint16 v) {
        little ? qToLittleEndian(v, d + at) : qToBigEndian(v, d + at);
    };
    const auto u32 = [&](int at, quint32 v) {
        little ? qToLittleEndian(v, d + at) : qToBigEndian(v, d + at);
    };
    d[0] = d[1] = little ? 'I' : 'M';
    u16(2, 42);
    u32(4, 8);
    u16(8, 1);
    u16(10, 0x0112);
    u16(12, type);
    u32(14, count);
    u16(18, value);
    return b;
}

int Orientation(const QByteArray& b) {
    return TiffOrientation(reinterpret_cast<const uchar*>(b.constData()), std::size_t(b.size()));
}

TEST(TiffOrientationTag, ReadInBothByteOrders) {
    EXPECT_EQ(Orientation(OrientationBlock(true, 3, 1, 6)), 6);
    EXPECT_EQ(Orientation(OrientationBlock(false, 3, 1, 8)), 8);
}

TEST(TiffOrientationTag, DamagedOrStrangeTagsMeanUpright) {
    EXPECT_EQ(Orientation(OrientationBlock(true, 3, 1, 9)), 1); // out of range
    EXPECT_EQ(Orientation(OrientationBlock(true, 3, 1, 0)), 1);
    EXPECT_EQ(Orientation(OrientationBlock(true, 4, 1, 6)), 1); // not a SHORT
    EXPECT_EQ(Orientation(OrientationBlock(true, 3, 2, 6)), 1); // two values
    QByteArray b = OrientationBlock(true, 3, 1, 6);
    EXPECT_EQ(Orientation(b.left(20)), 1);          // the entry cut short
    qToLittleEndian<quint16>(0xFFFF, b.data() + 8); // more entries than bytes
    EXPECT_EQ(Orientation(b), 1);
    b = OrientationBlock(true, 3, 1, 6);
    qToLittleEndian<quint32>(0xFFFFFFF0u, b.data() + 4); // directory past the end
    EXPECT_EQ(Orientation(b), 1);
    EXPECT_EQ(Orientation(QByteArray("II*")), 1);
}

// Every cut of a tagged JPEG, PNG and WebP: the scan never reads outside the bytes (the address
// sanitizer build checks that) and gives an orientation in range.
TEST_P(PhotoOrientation, EveryCutScansSafely) {
    ASSERT_TRUE(s_made);
    const QByteArray bytes = test::ReadAll(File(6, GetParam()));
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    EXPECT_EQ(ScanPictureMetadata(data, std::size_t(bytes.size())).orientation, 6);
    for (qsizetype cut = 0; cut < std::min<qsizetype>(bytes.size(), 600); ++cut) {
        // A copy of exactly cut bytes, so reading past it is caught by the sanitizers.
        const QByteArray part(bytes.constData(), cut);
        const int o =
            ScanPictureMetadata(reinterpret_cast<const uchar*>(part.constData()), std::size_t(cut))
                .orientation;
        EXPECT_TRUE(o >= 1 && o <= 8);
    }
}

} // namespace
} // namespace mosaiq
