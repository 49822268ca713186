// Phone pictures that are valid but unusual, made by the formats' own encoders: grey AVIFs coded
// in video range, 10-bit PQ ramps, one-colour pictures of a few hundred bytes (and the bombs that
// look like them), AVIFs of a sequence alone, a picture box that claims the wrong size, lossless
// WebP palettes with transparent entries; and library messages kept to one line.
#include "core/text/DisplayText.h"
#include "imaging/colour/ColourProfile.h"
#include "imaging/decode/PictureDecoder.h"

#include "HeifGridFile.h"
#include "common/PhonePictures.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <set>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

// "ramp.png": 256 x 16 grey, one level a column; "ramp16.png": 1024 x 8 16-bit grey, one 10-bit
// code a column; "plain.png" 1920 x 1080 of one grey; "black.png" 4032 x 3024 black; three
// 64 x 48 frames of one colour each; "palette.png": a 32 x 32 palette picture whose left half uses
// a fully transparent entry.
const char kScript[] = R"(
import sys
from PIL import Image
out = sys.argv[1]
ramp = Image.new('L', (256, 16))
ramp.putdata([x for y in range(16) for x in range(256)])
ramp.save(out + '/ramp.png')
deep = Image.new('I;16', (1024, 8))
deep.putdata([x * 65535 // 1023 for y in range(8) for x in range(1024)])
deep.save(out + '/ramp16.png')
Image.new('RGB', (1920, 1080), (96, 96, 96)).save(out + '/plain.png')
Image.new('RGB', (4032, 3024), (0, 0, 0)).save(out + '/black.png')
for name, colour in (('f1', (220, 40, 40)), ('f2', (40, 200, 40)), ('f3', (40, 40, 220))):
    Image.new('RGB', (64, 48), colour).save(out + '/' + name + '.png')
pal = Image.new('P', (32, 32))
pal.putpalette([0, 0, 0, 250, 20, 20] + [0] * (254 * 3))
pal.putdata([0 if x < 16 else 1 for y in range(32) for x in range(32)])
pal.info['transparency'] = 0
pal.save(out + '/palette.png', transparency=0)
)";

class PhoneEdges : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        QString log;
        s_ready = test::RunPillow(QString::fromLatin1(kScript), {s_dir->path()}, &log);
        if (!s_ready)
            ADD_FAILURE() << log.toStdString();
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    static QString File(const char* name) { return s_dir->filePath(QString::fromLatin1(name)); }
    static bool Run(const QString& tool, const QStringList& args) {
        QString log;
        const bool ok = test::RunTool(tool, args, &log);
        if (!ok)
            ADD_FAILURE() << tool.toStdString() << ": " << log.toStdString();
        return ok;
    }
    static QTemporaryDir* s_dir;
    static bool s_ready;
};
QTemporaryDir* PhoneEdges::s_dir = nullptr;
bool PhoneEdges::s_ready = false;

std::set<int> Levels(const QImage& image, int row) {
    std::set<int> levels;
    for (int x = 0; x < image.width(); ++x)
        levels.insert(qGreen(image.pixel(x, row)));
    return levels;
}

// Grey AVIFs coded in video range come out in full range, as the reference decoder gives them.
TEST_F(PhoneEdges, GreyAvifInVideoRangeIsExpanded) {
    ASSERT_TRUE(s_ready);
    const QString avif = File("mono.avif");
    ASSERT_TRUE(Run(QStringLiteral("avifenc"),
                    {QStringLiteral("--yuv"), QStringLiteral("400"), QStringLiteral("--range"),
                     QStringLiteral("limited"), QStringLiteral("-s"), QStringLiteral("8"),
                     File("ramp.png"), avif}));
    ASSERT_TRUE(Run(QStringLiteral("avifdec"),
                    {QStringLiteral("-d"), QStringLiteral("16"), avif, File("mono-ref.png")}));
    const DecodedPicture ours = DecodePicture(avif);
    ASSERT_TRUE(ours.Ok()) << ours.error.toStdString();
    const QImage reference(File("mono-ref.png"));
    EXPECT_GE(test::Psnr(ours.image, reference.convertToFormat(QImage::Format_RGB32)), 38.0)
        << test::SaveFailureImage(ours.image, QStringLiteral("mono-avif.png")).toStdString();
    const std::set<int> levels = Levels(ours.image, 8);
    EXPECT_LE(*levels.begin(), 2);
    EXPECT_GE(*levels.rbegin(), 253);
    // A reduced decode is expanded the same way.
    const DecodedPicture small = DecodePicture(avif, QSize(64, 4));
    ASSERT_TRUE(small.Ok());
    EXPECT_EQ(small.fullSize, QSize(256, 16));
    EXPECT_GE(*Levels(small.image, 2).rbegin(), 250);
}

// A smooth 10-bit PQ ramp keeps (nearly) every level the curve gives in double precision,
// instead of the bands of samples cut to 8 bits before the curve.
TEST_F(PhoneEdges, PqRampDecodedAtItsCodedDepthKeepsItsLevels) {
    ASSERT_TRUE(s_ready);
    const QString avif = File("pq.avif");
    ASSERT_TRUE(Run(QStringLiteral("avifenc"),
                    {QStringLiteral("-d"), QStringLiteral("10"), QStringLiteral("--yuv"),
                     QStringLiteral("444"), QStringLiteral("--cicp"), QStringLiteral("9/16/9"),
                     QStringLiteral("-r"), QStringLiteral("full"), QStringLiteral("--min"),
                     QStringLiteral("0"), QStringLiteral("--max"), QStringLiteral("0"),
                     QStringLiteral("-s"), QStringLiteral("8"), File("ramp16.png"), avif}));
    std::set<int> expected;
    for (int code = 0; code < 1024; ++code) {
        const double light = HdrDisplayLight(16, code / 1023.0);
        const double encoded =
            light <= 0.0031308 ? 12.92 * light : 1.055 * std::pow(light, 1.0 / 2.4) - 0.055;
        expected.insert(int(std::lround(encoded * 255.0)));
    }
    const DecodedPicture ours = DecodePicture(avif);
    ASSERT_TRUE(ours.Ok()) << ours.error.toStdString();
    ASSERT_EQ(ours.image.width(), 1024);
    const std::set<int> levels = Levels(ours.image, 4);
    EXPECT_GE(double(levels.size()), 0.98 * double(expected.size()))
        << levels.size() << " of " << expected.size() << " levels";
    // Grey stays grey, and the ramp rises.
    const QRgb mid = ours.image.pixel(600, 4);
    EXPECT_NEAR(qRed(mid), qBlue(mid), 2);
    EXPECT_LT(qGreen(ours.image.pixel(300, 4)), qGreen(mid));
}

// One-colour pictures coded in a few hundred bytes are read; claims no budget allows are not.
TEST_F(PhoneEdges, OneColourPicturesAreReadAndBombsAreNot) {
    ASSERT_TRUE(s_ready);
    const QString avif = File("black.avif");
    const QString webp = File("plain.webp");
    ASSERT_TRUE(Run(QStringLiteral("avifenc"),
                    {QStringLiteral("-s"), QStringLiteral("8"), File("black.png"), avif}));
    ASSERT_TRUE(Run(QStringLiteral("cwebp"), {QStringLiteral("-quiet"), QStringLiteral("-lossless"),
                                              File("plain.png"), QStringLiteral("-o"), webp}));
    ASSERT_LT(QFileInfo(avif).size(), 3000);
    ASSERT_LT(QFileInfo(webp).size(), 400);
    const struct {
        QString path;
        QSize size;
        QRgb colour;
    } plain[] = {{avif, {4032, 3024}, qRgb(0, 0, 0)}, {webp, {1920, 1080}, qRgb(96, 96, 96)}};
    for (const auto& p : plain) {
        SCOPED_TRACE(p.path.toStdString());
        QSize size;
        QString reason;
        EXPECT_TRUE(ReadPictureSize(p.path, &size, &reason)) << reason.toStdString();
        EXPECT_EQ(size, p.size);
        const DecodedPicture picture = DecodePicture(p.path, QSize(100, 100));
        ASSERT_TRUE(picture.Ok()) << picture.error.toStdString();
        EXPECT_EQ(picture.fullSize, p.size);
        EXPECT_LE(std::abs(qGreen(picture.image.pixel(5, 5)) - qGreen(p.colour)), 2);
    }
    // The same lossless bytes claiming 16000 x 16000: within the picture limits, but far past
    // what a picture coded in 132 bytes may cost.
    QByteArray bomb = test::ReadAll(webp);
    const qsizetype vp8l = bomb.indexOf("VP8L");
    ASSERT_GT(vp8l, 0);
    quint32 bits = qFromLittleEndian<quint32>(bomb.constData() + vp8l + 9);
    bits = (bits & ~0x0FFFFFFFu) | (15999u) | (15999u << 14);
    qToLittleEndian(bits, bomb.data() + vp8l + 9);
    const QString bombPath = File("bomb.webp");
    ASSERT_TRUE(test::WriteAll(bombPath, bomb));
    const DecodedPicture refused = DecodePicture(bombPath);
    EXPECT_FALSE(refused.Ok());
    EXPECT_TRUE(refused.error.contains(QLatin1String("16000"))) << refused.error.toStdString();
}

// An AVIF that holds a sequence alone shows its first frame.
TEST_F(PhoneEdges, SequenceOnlyAvifShowsItsFirstFrame) {
    ASSERT_TRUE(s_ready);
    const QString avif = File("seq.avif");
    ASSERT_TRUE(
        Run(QStringLiteral("avifenc"), {QStringLiteral("-s"), QStringLiteral("8"), File("f1.png"),
                                        File("f2.png"), File("f3.png"), avif}));
    QSize size;
    QString reason;
    ASSERT_TRUE(ReadPictureSize(avif, &size, &reason)) << reason.toStdString();
    EXPECT_EQ(size, QSize(64, 48));
    const DecodedPicture first = DecodePicture(avif);
    ASSERT_TRUE(first.Ok()) << first.error.toStdString();
    const QRgb centre = first.image.pixel(32, 24);
    EXPECT_GT(qRed(centre), 180);
    EXPECT_LT(qGreen(centre), 90);
    EXPECT_FALSE(first.error.contains(QLatin1Char('\n')));
}

// A picture whose size box claims less than its coded frames is recorded at the size it is drawn.
TEST_F(PhoneEdges, SizeBoxThatDisagreesWithTheCodedPictureGivesWayToIt) {
    ASSERT_TRUE(s_ready);
    const QString coded = File("f1.avif");
    ASSERT_TRUE(Run(QStringLiteral("avifenc"),
                    {QStringLiteral("-s"), QStringLiteral("8"), File("f1.png"), coded}));
    QByteArray bytes = test::ReadAll(coded);
    const qsizetype ispe = bytes.indexOf("ispe");
    ASSERT_GT(ispe, 0);
    qToBigEndian<quint32>(32, bytes.data() + ispe + 8);
    qToBigEndian<quint32>(24, bytes.data() + ispe + 12);
    const QString patched = File("small-ispe.avif");
    ASSERT_TRUE(test::WriteAll(patched, bytes));
    QSize size;
    ASSERT_TRUE(ReadPictureSize(patched, &size));
    const DecodedPicture drawn = DecodePicture(patched);
    ASSERT_TRUE(drawn.Ok()) << drawn.error.toStdString();
    EXPECT_EQ(drawn.image.size(), QSize(64, 48));
    EXPECT_EQ(drawn.fullSize, drawn.image.size());
    EXPECT_EQ(size, drawn.image.size());
}

// A lossless WebP whose palette holds a transparent entry keeps it, even when its header's hint
// says the picture has no alpha.
TEST_F(PhoneEdges, LosslessWebpPaletteKeepsItsTransparency) {
    ASSERT_TRUE(s_ready);
    const QString webp = File("palette.webp");
    ASSERT_TRUE(Run(QStringLiteral("cwebp"),
                    {QStringLiteral("-quiet"), QStringLiteral("-lossless"),
                     QStringLiteral("-exact"), File("palette.png"), QStringLiteral("-o"), webp}));
    QByteArray bytes = test::ReadAll(webp);
    const qsizetype vp8l = bytes.indexOf("VP8L");
    ASSERT_GT(vp8l, 0);
    // Bit 28 of the header after the signature: alpha_is_used, a hint only.
    quint32 bits = qFromLittleEndian<quint32>(bytes.constData() + vp8l + 9);
    qToLittleEndian(bits & ~(1u << 28), bytes.data() + vp8l + 9);
    const QString hinted = File("palette-nohint.webp");
    ASSERT_TRUE(test::WriteAll(hinted, bytes));
    for (const QString& path : {webp, hinted}) {
        SCOPED_TRACE(path.toStdString());
        const DecodedPicture picture = DecodePicture(path);
        ASSERT_TRUE(picture.Ok()) << picture.error.toStdString();
        EXPECT_TRUE(picture.image.hasAlphaChannel());
        EXPECT_EQ(qAlpha(picture.image.pixel(4, 4)), 0);
        EXPECT_EQ(qAlpha(picture.image.pixel(28, 4)), 255);
        EXPECT_GT(qRed(picture.image.pixel(28, 4)), 200);
    }
}

// A grid of one tile repeated, claiming 16000 x 16000 from a couple of hundred kilobytes: its
// size is read, a reduced decode comes from its thumbnail when it has one, and a whole decode is
// refused before anything is decoded. Grids of ordinary size are read.
TEST(HeifGrids, ARepeatedTileClaimingAHugePictureIsNotDecodedWhole) {
    QTemporaryDir dir;
    for (const bool thumbnail : {false, true}) {
        SCOPED_TRACE(thumbnail ? "with a thumbnail" : "without");
        const QString path = dir.filePath(QStringLiteral("bomb%1.heic").arg(thumbnail));
        ASSERT_TRUE(test::WriteAll(path, test::RepeatedTileGrid({16000, 16000}, 512, thumbnail)));
        QSize size;
        QString reason;
        ASSERT_TRUE(ReadPictureSize(path, &size, &reason)) << reason.toStdString();
        EXPECT_EQ(size, QSize(16000, 16000));
        const DecodedPicture whole = DecodePicture(path);
        EXPECT_FALSE(whole.Ok());
        EXPECT_TRUE(whole.error.contains(QLatin1String("16000 x 16000")))
            << whole.error.toStdString();
        EXPECT_FALSE(whole.error.contains(QLatin1Char('\n')));
        const DecodedPicture reduced = DecodePicture(path, QSize(80, 80));
        EXPECT_EQ(reduced.Ok(), thumbnail) << reduced.error.toStdString();
        if (reduced.Ok()) {
            EXPECT_EQ(reduced.fullSize, QSize(16000, 16000));
            EXPECT_LE(reduced.image.width(), 512);
        }
    }
    const QString ordinary = dir.filePath(QStringLiteral("grid.heic"));
    ASSERT_TRUE(test::WriteAll(ordinary, test::RepeatedTileGrid({1500, 1000}, 512, false)));
    const DecodedPicture read = DecodePicture(ordinary);
    ASSERT_TRUE(read.Ok()) << read.error.toStdString();
    EXPECT_EQ(read.image.size(), QSize(1500, 1000));
}

// Quoted library messages never carry a line of their own.
TEST(LibraryMessages, StayOnOneLine) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Invalid input: No 'ftyp' box\n", "Invalid input: No 'ftyp' box"},
        {"two\nlines\r\n", "two lines"},
        {"tab\there  and\x01there", "tab here and there"},
        {"\n", ""},
        {nullptr, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LibraryMessage(c.in), QString::fromLatin1(c.out)) << (c.in ? c.in : "null");
    // A damaged HEIF's reason is one line from start to end.
    QByteArray garbage("\0\0\0\x18"
                       "ftypheic\0\0\0\0mif1heic",
                       24);
    garbage.append(QByteArray(300, char(0x5A)));
    const DecodedPicture picture = DecodePictureData(garbage, QStringLiteral("heic"));
    EXPECT_FALSE(picture.Ok());
    EXPECT_FALSE(picture.error.isEmpty());
    EXPECT_FALSE(picture.error.contains(QLatin1Char('\n'))) << picture.error.toStdString();
    EXPECT_FALSE(picture.error.endsWith(QLatin1Char(' ')));
}

} // namespace
} // namespace mosaiq
