// Pictures made to cost too much, and every PNG layout decoded to the pixels it describes.
#include "imaging/decode/DecodeCost.h"
#include "imaging/magick/ImageLibrary.h"
#include "imaging/decode/JpegStream.h"
#include "imaging/decode/PictureDecoder.h"
#include "imaging/files/PictureType.h"
#include "imaging/decode/PngStream.h"

#include "common/TestSupport.h"
#include "imaging/ImagingTestFiles.h"
#include "imaging/PngTestWriter.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace mosaiq {
namespace {

QByteArray JpegOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPEG", 80));
    return bytes;
}

// A JPEG whose one scan is repeated until it holds scans of them.
QByteArray JpegWithScans(int scans) {
    const QByteArray one = JpegOf(test::GradientImage(32, 32));
    const qsizetype sos = one.indexOf("\xFF\xDA");
    const qsizetype eoi = one.lastIndexOf("\xFF\xD9");
    QByteArray out = one.left(sos);
    const QByteArray scan = one.mid(sos, eoi - sos);
    for (int i = 0; i < scans; ++i)
        out += scan;
    return out + one.mid(eoi);
}

TEST(DecodeCost, JpegScanLimit) {
    EXPECT_EQ(ScanJpegStream(reinterpret_cast<const unsigned char*>(JpegWithScans(3).constData()),
                             JpegWithScans(3).size())
                  .scans,
              3);
    QString reason;
    EXPECT_TRUE(DecodeCostBounded(JpegWithScans(kMaxJpegScans), &reason));
    const QByteArray tooMany = JpegWithScans(kMaxJpegScans + 1);
    EXPECT_FALSE(DecodeCostBounded(tooMany, &reason));
    EXPECT_TRUE(reason.contains(QStringLiteral("%1 scans").arg(kMaxJpegScans + 1)))
        << reason.toStdString();
    // Both decoders refuse it before decoding.
    const DecodedPicture first = DecodePictureData(tooMany, QStringLiteral("jpg"));
    EXPECT_FALSE(first.Ok());
    EXPECT_EQ(first.error, reason);
    LibraryImage second(tooMany, kPictureJpeg);
    EXPECT_FALSE(second.IsValid());
    EXPECT_EQ(second.ErrorString(), reason);
}

test::PngLayout RgbLayout(int w, int h) {
    test::PngLayout layout;
    layout.width = w;
    layout.height = h;
    for (int i = 0; i < w * h * 3; ++i)
        layout.samples.push_back(std::uint16_t((i * 37) % 256));
    return layout;
}

TEST(DecodeCost, PngWhoseImageDataCannotFillItsSizeIsRefusedBeforeDecoding) {
    // A few kilobytes of garbage claiming 16,000 x 16,000 pixels.
    test::PngLayout huge = RgbLayout(1, 1);
    huge.width = huge.height = 16000;
    QByteArray garbage(40 * 1024, '\0');
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 131 + 7) % 251);
    const QByteArray bomb = test::MakePng(huge, &garbage);
    QString reason;
    EXPECT_FALSE(DecodeCostBounded(bomb, &reason));
    EXPECT_TRUE(reason.contains(QLatin1String("16000 x 16000"))) << reason.toStdString();
    EXPECT_EQ(DecodePictureData(bomb, QStringLiteral("png")).error, reason);
    EXPECT_EQ(LibraryImage(bomb, kPicturePng).ErrorString(), reason);

    // A real stream cut short, and one that ends one row early.
    const test::PngLayout layout = RgbLayout(64, 48);
    const QByteArray rows = test::PngRows(layout);
    const QByteArray cut = test::Deflated(rows).left(100);
    EXPECT_FALSE(DecodeCostBounded(test::MakePng(layout, &cut), nullptr));
    const QByteArray shortRows = test::Deflated(rows.left(rows.size() - (1 + 64 * 3)));
    const PngStreamInfo info = ScanPngStream(
        reinterpret_cast<const unsigned char*>(test::MakePng(layout, &shortRows).constData()),
        test::MakePng(layout, &shortRows).size(), true);
    EXPECT_EQ(info.neededBytes, 48 * (1 + 64 * 3));
    EXPECT_EQ(info.inflatedBytes, 47 * (1 + 64 * 3));
    EXPECT_FALSE(info.imageDataComplete);
    EXPECT_TRUE(DecodeCostBounded(test::MakePng(layout), nullptr));
}

TEST(DecodeCost, TheLargestClaimsAreCountedWithoutOverflow) {
    // 2^31 - 1 pixels a side (and 2^32 - 1, past what the format allows) in RGB and in 16-bit
    // RGBA, plain and interlaced: the bytes needed are huge and positive, so the picture is
    // refused on the bytes its file lacks.
    QByteArray garbage(4096, '\x5A');
    for (const std::uint32_t side : {0x7FFFFFFFu, 0xFFFFFFFFu})
        for (const int colourType : {2, 6})
            for (const bool interlaced : {false, true}) {
                test::PngLayout layout;
                layout.width = layout.height = int(side); // written as the same 32 bits
                layout.colourType = colourType;
                layout.bitDepth = colourType == 6 ? 16 : 8;
                layout.interlaced = interlaced;
                const QByteArray png = test::MakePng(layout, &garbage);
                const PngStreamInfo info = ScanPngStream(
                    reinterpret_cast<const unsigned char*>(png.constData()), png.size(), false);
                EXPECT_EQ(info.width, side);
                EXPECT_GT(info.neededBytes, std::int64_t(1) << 59) << side << " " << colourType;
                EXPECT_FALSE(DecodeCostBounded(png, nullptr)) << side << " " << colourType;
            }
}

TEST(DecodeCost, InterlacedAndPackedPngsOfOddSizesAreNotRefused) {
    for (const QSize size : {QSize(1, 1), QSize(3, 2), QSize(9, 17), QSize(33, 5)})
        for (const bool interlaced : {false, true}) {
            test::PngLayout layout;
            layout.width = size.width();
            layout.height = size.height();
            layout.bitDepth = 1;
            layout.colourType = 0;
            layout.interlaced = interlaced;
            for (int i = 0; i < layout.width * layout.height; ++i)
                layout.samples.push_back(std::uint16_t(i % 3 == 0));
            const QByteArray png = test::MakePng(layout);
            const DecodedPicture picture = DecodePictureData(png, QStringLiteral("png"));
            ASSERT_TRUE(picture.Ok()) << picture.error.toStdString() << " " << size.width();
            EXPECT_EQ(picture.image.pixel(0, 0), qRgb(255, 255, 255));
            EXPECT_EQ(picture.image.size(), size);
        }
}

// Every colour type and bit depth, with and without a colour key, against the pixels the
// format's rules give: samples scaled to 8 bits, a key or a palette entry making pixels clear.
struct PngCase {
    int colourType;
    int bitDepth;
    bool key;
};

QRgb ExpectedPixel(const test::PngLayout& layout, const std::vector<QRgb>& palette,
                   const std::vector<int>& paletteAlpha, std::uint16_t keyR, std::uint16_t keyG,
                   std::uint16_t keyB, bool key, int x, int y) {
    const int channels = test::PngChannels(layout.colourType);
    const auto sample = [&](int c) {
        return layout.samples[size_t((y * layout.width + x) * channels + c)];
    };
    const int maxValue = (1 << layout.bitDepth) - 1;
    const auto to8 = [&](std::uint16_t v) { return int((v * 255 + maxValue / 2) / maxValue); };
    switch (layout.colourType) {
    case 0: {
        const int g = to8(sample(0));
        return qRgba(g, g, g, key && sample(0) == keyR ? 0 : 255);
    }
    case 2:
        return qRgba(to8(sample(0)), to8(sample(1)), to8(sample(2)),
                     key && sample(0) == keyR && sample(1) == keyG && sample(2) == keyB ? 0 : 255);
    case 3: {
        const QRgb c = palette[sample(0)];
        return qRgba(qRed(c), qGreen(c), qBlue(c),
                     key && sample(0) < int(paletteAlpha.size()) ? paletteAlpha[sample(0)] : 255);
    }
    case 4: {
        const int g = to8(sample(0));
        return qRgba(g, g, g, to8(sample(1)));
    }
    default:
        return qRgba(to8(sample(0)), to8(sample(1)), to8(sample(2)), to8(sample(3)));
    }
}

TEST(PngDecoding, EveryColourTypeAndDepthWithAndWithoutAKey) {
    std::vector<PngCase> cases;
    for (int depth : {1, 2, 4, 8, 16})
        for (bool key : {false, true})
            cases.push_back({0, depth, key});
    for (int depth : {1, 2, 4, 8})
        for (bool key : {false, true})
            cases.push_back({3, depth, key});
    for (int depth : {8, 16}) {
        cases.push_back({2, depth, false});
        cases.push_back({2, depth, true});
        cases.push_back({4, depth, false});
        cases.push_back({6, depth, false});
    }
    const int w = 13, h = 7;
    for (const PngCase& c : cases) {
        test::PngLayout layout;
        layout.width = w;
        layout.height = h;
        layout.bitDepth = c.bitDepth;
        layout.colourType = c.colourType;
        const int channels = test::PngChannels(c.colourType);
        const int maxValue = (1 << c.bitDepth) - 1;
        const int entries = c.colourType == 3 ? std::min(maxValue + 1, 5) : 0;
        for (int i = 0; i < w * h * channels; ++i) {
            const int spread =
                c.colourType == 3
                    ? i % entries
                    : int(((unsigned(i) * 2654435761u) >> 7) % unsigned(maxValue + 1));
            layout.samples.push_back(std::uint16_t(spread));
        }
        // The key is the colour of pixel (2, 1), so some pixels match it and most do not.
        const auto at = [&](int x, int y, int ch) {
            return layout.samples[size_t((y * w + x) * channels + ch)];
        };
        std::uint16_t keyR = at(2, 1, 0), keyG = 0, keyB = 0;
        std::vector<QRgb> palette;
        std::vector<int> paletteAlpha;
        if (c.colourType == 2) {
            keyG = at(2, 1, 1);
            keyB = at(2, 1, 2);
        }
        if (c.colourType == 3) {
            for (int i = 0; i < entries; ++i) {
                palette.push_back(qRgb(40 * i + 10, 255 - 30 * i, 17 * i));
                layout.palette.append(char(qRed(palette.back())))
                    .append(char(qGreen(palette.back())))
                    .append(char(qBlue(palette.back())));
            }
            if (c.key)
                for (int i = 0; i < std::min(entries, 3); ++i) {
                    paletteAlpha.push_back(i * 100);
                    layout.transparency.append(char(i * 100));
                }
        } else if (c.key) {
            for (const std::uint16_t v : c.colourType == 0
                                             ? std::vector<std::uint16_t>{keyR}
                                             : std::vector<std::uint16_t>{keyR, keyG, keyB})
                layout.transparency.append(char(v >> 8)).append(char(v & 0xFF));
        }
        const DecodedPicture picture =
            DecodePictureData(test::MakePng(layout), QStringLiteral("png"));
        const std::string name = "colour type " + std::to_string(c.colourType) + ", " +
                                 std::to_string(c.bitDepth) + " bits" + (c.key ? ", key" : "");
        ASSERT_TRUE(picture.Ok()) << name << ": " << picture.error.toStdString();
        const QImage got = picture.image.convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(got.size(), QSize(w, h)) << name;
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const QRgb want =
                    ExpectedPixel(layout, palette, paletteAlpha, keyR, keyG, keyB, c.key, x, y);
                const QRgb have = got.pixel(x, y);
                const bool same =
                    std::abs(qAlpha(want) - qAlpha(have)) <= 1 &&
                    (qAlpha(want) < 8 || test::Near(want, have, 1 + 255 / qAlpha(want)));
                if (!same && wrong++ == 0)
                    ADD_FAILURE() << name << ": pixel " << x << "," << y << " is " << std::hex
                                  << have << ", expected " << want;
            }
        if (wrong)
            test::SaveFailureImage(
                got, QString::fromStdString("png-" + std::to_string(c.colourType) + "-" +
                                            std::to_string(c.bitDepth) + (c.key ? "-key" : "")));
    }
}

TEST(SpecialFiles, PicturesThatAreNotRegularFilesAreRefusedWithoutBlocking) {
    test::ScopedDataDir dir;
    const QString fifo = dir.File(QStringLiteral("pipe.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QStringList paths{fifo, dir.Path()};
    const QString zero = test::MakeZeroDevice(dir.File(QStringLiteral("zero.png")));
    if (!zero.isEmpty())
        paths << zero;
    for (const QString& path : paths) {
        const DecodedPicture picture = DecodePicture(path);
        EXPECT_FALSE(picture.Ok());
        EXPECT_TRUE(picture.error.contains(path)) << picture.error.toStdString();
        QSize size;
        EXPECT_FALSE(ReadPictureSize(path, &size, nullptr));
        EXPECT_FALSE(LibraryImage(path, kPicturePng).IsValid());
    }
}

} // namespace
} // namespace mosaiq
