// The starter libraries: the bundles the executable carries, their expansion into the data
// directory, and what a user finds there.
#include "library/items/FrameLibrary.h"
#include "library/items/PictureList.h"
#include "library/packs/StarterBundle.h"
#include "library/packs/StarterLibraries.h"

#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

using test::ReadAll;
using test::ScopedDataDir;
using test::WriteAll;

struct PictureLibrary {
    const char* file;
    int minCount;
    int minSide;
    int maxSide;
};

constexpr PictureLibrary kPictureLibraries[] = {
    {"clipart.cfg", 30, 120, 300}, {"chrome_p.cfg", 8, 100, 300}, {"ca_p.cfg", 8, 100, 300},
    {"emboss_p.cfg", 8, 100, 300}, {"cloth_p.cfg", 8, 100, 300},  {"glow_p.cfg", 8, 100, 300},
    {"neon_p.cfg", 8, 100, 300},   {"brushs", 10, 24, 96},
};

bool IsDecoration(const QString& file) {
    return file.endsWith(QStringLiteral("_p.cfg"));
}

WriteOutReport WriteInto(const QString& dir) {
    WriteOutReport report;
    WriteStarterLibraries(dir, report);
    return report;
}

struct AlphaCounts {
    int opaque = 0;
    int transparent = 0;
};

AlphaCounts CountAlpha(const QImage& image) {
    AlphaCounts counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(image.pixel(x, y));
            counts.opaque += a == 255;
            counts.transparent += a == 0;
        }
    }
    return counts;
}

class StarterLibrariesTest : public ::testing::Test {
protected:
    ScopedDataDir m_data;
};

TEST_F(StarterLibrariesTest, EveryPictureLibraryIsWrittenAndReadsBackCompletely) {
    const WriteOutReport report = WriteInto(m_data.Path());
    EXPECT_TRUE(report.failed.isEmpty()) << report.failed.join(u',').toStdString();
    for (const PictureLibrary& lib : kPictureLibraries) {
        const QString file = QString::fromLatin1(lib.file);
        SCOPED_TRACE(lib.file);
        EXPECT_TRUE(report.written.contains(file));
        const QString path = m_data.File(file);
        const std::vector<QImage> items = ReadPictureList(path);
        ASSERT_GE(int(items.size()), lib.minCount);
        EXPECT_EQ(ReadPictureListCount(path), int(items.size()));
        // The entries account for every byte of the file: nothing is left unread.
        qint64 expectedSize = 4;
        for (size_t i = 0; i < items.size(); ++i) {
            const QImage& item = items[i];
            SCOPED_TRACE(i);
            ASSERT_FALSE(item.isNull());
            expectedSize += 8 + qint64(item.width()) * item.height() * 4;
            EXPECT_GE(std::min(item.width(), item.height()), lib.minSide);
            EXPECT_LE(std::max(item.width(), item.height()), lib.maxSide);
            const AlphaCounts alpha = CountAlpha(item);
            EXPECT_GT(alpha.opaque, 0);
            EXPECT_GT(alpha.transparent, 0);
        }
        EXPECT_EQ(QFileInfo(path).size(), expectedSize);
    }
}

TEST_F(StarterLibrariesTest, DecorationsAreGreyAndBrushesWhite) {
    WriteInto(m_data.Path());
    for (const PictureLibrary& lib : kPictureLibraries) {
        const QString file = QString::fromLatin1(lib.file);
        const bool decoration = IsDecoration(file);
        if (!decoration && file != QStringLiteral("brushs"))
            continue;
        SCOPED_TRACE(lib.file);
        int index = 0;
        for (const QImage& item : ReadPictureList(m_data.File(file))) {
            int wrong = 0;
            for (int y = 0; y < item.height(); ++y) {
                for (int x = 0; x < item.width(); ++x) {
                    const QRgb p = item.pixel(x, y);
                    if (qAlpha(p) < 16)
                        continue;
                    const bool grey = qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
                    const bool white = qRed(p) >= 250 && qGreen(p) >= 250 && qBlue(p) >= 250;
                    wrong += decoration ? !grey : !white;
                }
            }
            EXPECT_EQ(wrong, 0) << "item " << index;
            ++index;
        }
    }
}

TEST_F(StarterLibrariesTest, FramesPairWithThumbnailsAndOpenWhereThePhotoShows) {
    const WriteOutReport report = WriteInto(m_data.Path());
    EXPECT_TRUE(report.written.contains(QStringLiteral("frame.cfg")));
    EXPECT_TRUE(report.written.contains(QStringLiteral("tbframe.cfg")));
    const QString frames = m_data.File(QStringLiteral("frame.cfg"));
    const QString thumbs = m_data.File(QStringLiteral("tbframe.cfg"));
    const int count = ReadPictureListCount(thumbs);
    ASSERT_GE(count, 10);
    EXPECT_FALSE(ReadFrame(frames, count).has_value()) << "frame.cfg holds more than tbframe.cfg";
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        const std::optional<QImage> frame = ReadFrame(frames, i);
        const std::optional<FrameWindow> window = ReadFrameWindow(frames, i);
        const std::optional<QImage> thumb = ReadThumbnail(thumbs, i);
        ASSERT_TRUE(frame && window && thumb);
        EXPECT_EQ(thumb->width(), 120);
        EXPECT_NEAR(thumb->height(), frame->height() * 120.0 / frame->width(), 1.0);
        EXPECT_LT(0.0f, window->left);
        EXPECT_LT(window->left, window->right);
        EXPECT_LE(window->right, 1.0f);
        EXPECT_LT(0.0f, window->top);
        EXPECT_LT(window->top, window->bottom);
        EXPECT_LE(window->bottom, 1.0f);
        EXPECT_GT((window->right - window->left) * (window->bottom - window->top), 0.4f);
        // The photo shows through the middle of the window; the frame is solid just outside it.
        const QPoint middle(int(frame->width() * (window->left + window->right) / 2),
                            int(frame->height() * (window->top + window->bottom) / 2));
        EXPECT_EQ(qAlpha(frame->pixel(middle)), 0);
        const QPoint border(frame->width() / 2, int(frame->height() * window->top) - 3);
        EXPECT_EQ(qAlpha(frame->pixel(border)), 255);
        const AlphaCounts alpha = CountAlpha(*thumb);
        EXPECT_GT(alpha.opaque, 0);
        EXPECT_GT(alpha.transparent, 0);
    }
}

TEST_F(StarterLibrariesTest, ExistingFilesAreNeverOverwritten) {
    const QByteArray mine("the user's own clipart library");
    ASSERT_TRUE(WriteAll(m_data.File(QStringLiteral("clipart.cfg")), mine));
    ASSERT_TRUE(WriteAll(m_data.File(QStringLiteral("neon_p.cfg")), QByteArray()));
    const WriteOutReport first = WriteInto(m_data.Path());
    EXPECT_EQ(ReadAll(m_data.File(QStringLiteral("clipart.cfg"))), mine);
    EXPECT_EQ(QFileInfo(m_data.File(QStringLiteral("neon_p.cfg"))).size(), 0);
    EXPECT_TRUE(first.kept.contains(QStringLiteral("clipart.cfg")));
    EXPECT_TRUE(first.kept.contains(QStringLiteral("neon_p.cfg")));
    EXPECT_TRUE(first.written.contains(QStringLiteral("glow_p.cfg")));

    // A second start finds everything in place and writes nothing.
    const QByteArray glow = ReadAll(m_data.File(QStringLiteral("glow_p.cfg")));
    const WriteOutReport second = WriteInto(m_data.Path());
    EXPECT_TRUE(second.written.isEmpty());
    EXPECT_TRUE(second.failed.isEmpty());
    EXPECT_EQ(second.kept.size(), StarterLibraryFiles().size());
    EXPECT_EQ(ReadAll(m_data.File(QStringLiteral("glow_p.cfg"))), glow);
}

TEST_F(StarterLibrariesTest, FramePairIsTreatedAsOne) {
    // Thumbnails without frames are the user's: neither file is written beside them.
    const QByteArray thumbs("user thumbnails");
    ASSERT_TRUE(WriteAll(m_data.File(QStringLiteral("tbframe.cfg")), thumbs));
    WriteOutReport report = WriteInto(m_data.Path());
    EXPECT_FALSE(QFileInfo::exists(m_data.File(QStringLiteral("frame.cfg"))));
    EXPECT_EQ(ReadAll(m_data.File(QStringLiteral("tbframe.cfg"))), thumbs);
    EXPECT_TRUE(report.kept.contains(QStringLiteral("tbframe.cfg")));

    // Frames whose thumbnails went missing get thumbnails of their own frames back.
    ScopedDataDir other;
    WriteInto(other.Path());
    const QString frames = other.File(QStringLiteral("frame.cfg"));
    const QByteArray framesBefore = ReadAll(frames);
    ASSERT_TRUE(QFile::remove(other.File(QStringLiteral("tbframe.cfg"))));
    report = WriteInto(other.Path());
    EXPECT_TRUE(report.written.contains(QStringLiteral("tbframe.cfg")));
    EXPECT_TRUE(report.kept.contains(QStringLiteral("frame.cfg")));
    EXPECT_EQ(ReadAll(frames), framesBefore);
    const std::vector<QImage> regenerated =
        ReadPictureList(other.File(QStringLiteral("tbframe.cfg")));
    ASSERT_EQ(int(regenerated.size()),
              ReadPictureListCount(other.File(QStringLiteral("tbframe.cfg"))));
    for (size_t i = 0; i < regenerated.size(); ++i)
        EXPECT_EQ(regenerated[i].width(), 120);
    EXPECT_TRUE(ReadFrame(frames, int(regenerated.size()) - 1).has_value());
    EXPECT_FALSE(ReadFrame(frames, int(regenerated.size())).has_value());
}

TEST_F(StarterLibrariesTest, TwoWriteOutsAreByteIdentical) {
    ScopedDataDir other;
    WriteInto(m_data.Path());
    WriteInto(other.Path());
    for (const QString& file : StarterLibraryFiles()) {
        SCOPED_TRACE(file.toStdString());
        const QByteArray a = ReadAll(m_data.File(file));
        ASSERT_FALSE(a.isEmpty());
        EXPECT_TRUE(a == ReadAll(other.File(file)));
    }
}

TEST_F(StarterLibrariesTest, UnwritableDirectoryFailsEveryFileAndLeavesNoHalfPair) {
    ASSERT_TRUE(WriteAll(m_data.File(QStringLiteral("plain-file")), "x"));
    const QString dir = m_data.File(QStringLiteral("plain-file/"));
    const WriteOutReport report = WriteInto(dir);
    EXPECT_TRUE(report.written.isEmpty());
    EXPECT_EQ(report.failed.size(), StarterLibraryFiles().size());
}

TEST(StarterBundle, RoundTripsAndRefusesDamagedBytes) {
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(qRgba(10, 20, 30, 128));
    StarterItem item;
    item.window = {0.1f, 0.2f, 0.9f, 0.8f};
    item.picturePng = EncodeStarterPng(picture);
    const QByteArray bytes = EncodeStarterBundle({item, StarterItem{}});

    const auto decoded = DecodeStarterBundle(bytes);
    ASSERT_TRUE(decoded.has_value());
    ASSERT_EQ(decoded->size(), 2u);
    EXPECT_EQ((*decoded)[0].window, item.window);
    EXPECT_EQ(DecodeStarterPng((*decoded)[0].picturePng), picture);
    EXPECT_TRUE((*decoded)[0].thumbnailPng.isEmpty());
    EXPECT_TRUE((*decoded)[1].picturePng.isEmpty());

    // Every cut short of the whole bundle, and a byte too many, is refused.
    for (qsizetype n = 0; n < bytes.size(); ++n)
        EXPECT_FALSE(DecodeStarterBundle(bytes.left(n)).has_value()) << n;
    EXPECT_FALSE(DecodeStarterBundle(bytes + 'x').has_value());
    QByteArray wrongMagic = bytes;
    wrongMagic[0] = 'X';
    EXPECT_FALSE(DecodeStarterBundle(wrongMagic).has_value());
    // A count far beyond what the bytes hold is refused before anything is reserved.
    QByteArray hugeCount = bytes;
    hugeCount[8] = hugeCount[9] = hugeCount[10] = char(0xFF);
    hugeCount[11] = char(0x7F);
    EXPECT_FALSE(DecodeStarterBundle(hugeCount).has_value());
    EXPECT_TRUE(DecodeStarterPng("not a png").isNull());
}

TEST(StarterBundle, PngEncodingIsStable) {
    QImage picture(40, 30, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    picture.setPixel(5, 5, qRgba(100, 50, 25, 200));
    EXPECT_EQ(EncodeStarterPng(picture), EncodeStarterPng(picture.copy()));
    const QImage back = DecodeStarterPng(EncodeStarterPng(picture));
    EXPECT_EQ(back.format(), QImage::Format_ARGB32);
    EXPECT_EQ(back.size(), picture.size());
    EXPECT_EQ(qAlpha(back.pixel(5, 5)), 200);
}

} // namespace
} // namespace mosaiq
