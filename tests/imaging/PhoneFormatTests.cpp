// HEIC, AVIF and WebP against their own reference decoders; HEIF transform boxes; pictures with
// embedded colour profiles against their sRGB originals; hostile phone-format files refused.
#include "imaging/colour/ColourProfile.h"
#include "imaging/decode/HeifReader.h"
#include "imaging/decode/PictureDecoder.h"
#include "imaging/decode/PictureMetadata.h"
#include "imaging/encode/PngWriter.h"

#include "common/PhonePictures.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <tuple>

#include <libheif/heif.h>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

// A smooth, photo-like 8-bit picture of saturated and pale colours (160 x 96), as "src.png".
const char kSourceScript[] = R"(
import sys, math
from PIL import Image
w, h = 160, 96
im = Image.new('RGB', (w, h))
for y in range(h):
    for x in range(w):
        r = int(127 + 120 * math.sin(x / 17.0))
        g = int(127 + 120 * math.cos(y / 13.0))
        b = int(127 + 120 * math.sin((x + y) / 23.0))
        im.putpixel((x, y), (r, g, b))
im.save(sys.argv[1] + '/src.png')
)";

// The source converted to a wide-gamut space and saved with that profile embedded, in every
// format that carries one.
const char kProfileScript[] = R"(
import sys
from PIL import Image, ImageCms
out, icc = sys.argv[1], sys.argv[2]
src = Image.open(out + '/src.png').convert('RGB')
wide = ImageCms.getOpenProfile(icc)
srgb = ImageCms.createProfile('sRGB')
converted = ImageCms.profileToProfile(src, srgb, wide, renderingIntent=0, outputMode='RGB')
data = wide.tobytes()
converted.save(out + '/wide.png', icc_profile=data)
converted.save(out + '/wide.jpg', quality=98, subsampling=0, icc_profile=data)
converted.save(out + '/wide.tif', icc_profile=data)
converted.save(out + '/wide.webp', lossless=True, icc_profile=data)
)";

const QString kWideProfile = QStringLiteral("/usr/share/color/icc/colord/ProPhotoRGB.icc");

class PhoneFormats : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        QString log;
        s_ready = test::RunPillow(QString::fromLatin1(kSourceScript), {s_dir->path()}, &log);
        if (!s_ready)
            ADD_FAILURE() << log.toStdString();
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    static QString File(const QString& name) { return s_dir->path() + QLatin1Char('/') + name; }
    static QImage Source() { return QImage(File(QStringLiteral("src.png"))); }

    // Runs a tool, failing the test with its output when it fails.
    static bool Run(const QString& tool, const QStringList& args) {
        QString log;
        const bool ok = test::RunTool(tool, args, &log);
        if (!ok)
            ADD_FAILURE() << tool.toStdString() << ": " << log.toStdString();
        return ok;
    }

    // Our decode of encoded against the reference decoder's PNG of it.
    static void ExpectLikeReference(const QString& encoded, const QString& reference) {
        const DecodedPicture ours = DecodePicture(encoded);
        ASSERT_TRUE(ours.Ok()) << ours.error.toStdString();
        const QImage theirs(reference);
        ASSERT_FALSE(theirs.isNull());
        EXPECT_EQ(ours.fullSize, theirs.size());
        EXPECT_GE(test::Psnr(ours.image, theirs), 40.0)
            << test::SaveFailureImage(ours.image, QFileInfo(encoded).fileName() + ".png")
                   .toStdString();
        // And near the source it was encoded from (lossy at quality 90).
        EXPECT_GE(test::Psnr(ours.image, Source()), 30.0);
    }

    static QTemporaryDir* s_dir;
    static bool s_ready;
};
QTemporaryDir* PhoneFormats::s_dir = nullptr;
bool PhoneFormats::s_ready = false;

TEST_F(PhoneFormats, HeicDecodesLikeLibheifsOwnDecoder) {
    ASSERT_TRUE(s_ready);
    const QString heic = File(QStringLiteral("p.heic"));
    ASSERT_TRUE(Run(QStringLiteral("heif-enc"),
                    {QStringLiteral("-q"), QStringLiteral("90"), File(QStringLiteral("src.png")),
                     QStringLiteral("-o"), heic}));
    ASSERT_TRUE(Run(QStringLiteral("heif-convert"), {heic, File(QStringLiteral("heic-ref.png"))}));
    ExpectLikeReference(heic, File(QStringLiteral("heic-ref.png")));
    // A caller that needs a small picture gets one reduced by a whole factor, never below what
    // it asked for, each pixel the mean of its block.
    const DecodedPicture small = DecodePicture(heic, QSize(20, 30));
    ASSERT_TRUE(small.Ok());
    EXPECT_EQ(small.fullSize, QSize(160, 96));
    EXPECT_EQ(small.image.size(), QSize(53, 32));
    const QImage reference = QImage(File(QStringLiteral("heic-ref.png")))
                                 .copy(0, 0, 159, 96)
                                 .scaled(53, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_GE(test::Psnr(small.image, reference), 30.0);
    QSize size;
    ASSERT_TRUE(ReadPictureSize(heic, &size));
    EXPECT_EQ(size, QSize(160, 96));
}

TEST_F(PhoneFormats, AvifDecodesLikeLibheifsOwnDecoder) {
    ASSERT_TRUE(s_ready);
    const QString avif = File(QStringLiteral("p.avif"));
    ASSERT_TRUE(Run(QStringLiteral("heif-enc"),
                    {QStringLiteral("-q"), QStringLiteral("90"), File(QStringLiteral("src.png")),
                     QStringLiteral("-o"), avif}));
    ASSERT_TRUE(Run(QStringLiteral("heif-convert"), {avif, File(QStringLiteral("avif-ref.png"))}));
    ExpectLikeReference(avif, File(QStringLiteral("avif-ref.png")));
}

TEST_F(PhoneFormats, WebpDecodesLikeLibwebpsOwnDecoder) {
    ASSERT_TRUE(s_ready);
    const QString webp = File(QStringLiteral("p.webp"));
    ASSERT_TRUE(Run(QStringLiteral("cwebp"),
                    {QStringLiteral("-quiet"), QStringLiteral("-q"), QStringLiteral("90"),
                     File(QStringLiteral("src.png")), QStringLiteral("-o"), webp}));
    ASSERT_TRUE(Run(QStringLiteral("dwebp"), {QStringLiteral("-quiet"), webp, QStringLiteral("-o"),
                                              File(QStringLiteral("webp-ref.png"))}));
    ExpectLikeReference(webp, File(QStringLiteral("webp-ref.png")));
}

heif_error Append(heif_context*, const void* data, size_t size, void* target) {
    static_cast<QByteArray*>(target)->append(static_cast<const char*>(data), qsizetype(size));
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

// A HEIC of picture whose transform boxes (irot/imir, written by libheif) carry orientation; with
// exifToo, an EXIF orientation of the same value is stored beside them.
// With nclx, the picture is coded without loss (RGB samples, no chroma subsampling) and the file
// gets that "nclx" colour box.
QByteArray HeicWithTransform(const QImage& picture, heif_orientation orientation, bool exifToo,
                             const heif_color_profile_nclx* nclx = nullptr) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    heif_image* image = nullptr;
    heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                      &image);
    heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(plane + y * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 95);
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = orientation;
    if (nclx) {
        heif_encoder_set_lossless(encoder, 1);
        heif_encoder_set_parameter_string(encoder, "chroma", "444");
        heif_image_set_nclx_color_profile(image, nclx);
        options->output_nclx_profile = const_cast<heif_color_profile_nclx*>(nclx);
        options->macOS_compatibility_workaround_no_nclx_profile = 0;
    }
    heif_image_handle* handle = nullptr;
    const heif_error encoded = heif_context_encode_image(context, image, encoder, options, &handle);
    EXPECT_EQ(encoded.code, heif_error_Ok) << encoded.message;
    if (exifToo) {
        QByteArray exif("Exif\0\0MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\0\0\0\0\0\0\0",
                        32);
        exif[6 + 8 + 2 + 8] = char(orientation);
        heif_context_add_exif_metadata(context, handle, exif.constData(), int(exif.size()));
    }
    QByteArray bytes;
    heif_writer writer{1, &Append};
    heif_context_write(context, &writer, &bytes);
    heif_image_handle_release(handle);
    heif_encoding_options_free(options);
    heif_encoder_release(encoder);
    heif_image_release(image);
    heif_context_free(context);
    return bytes;
}

// The transform boxes turn the picture once: the EXIF orientation beside them is not applied on
// top, and AsStored does not undo them (they are part of the HEIF picture itself).
TEST_F(PhoneFormats, HeifTransformBoxesTurnThePictureOnce) {
    QTemporaryDir dir;
    QString log;
    ASSERT_TRUE(test::MakeOrientedPictures(dir.path(), 160, 96, &log)) << log.toStdString();
    const QImage upright(dir.filePath(QStringLiteral("upright.png")));
    for (int o : {3, 6, 8}) {
        SCOPED_TRACE(o);
        const QImage stored = DecodePicture(dir.filePath(QStringLiteral("o%1.png").arg(o)), QSize(),
                                            PictureTurn::AsStored)
                                  .image;
        const QString path = dir.filePath(QStringLiteral("t%1.heic").arg(o));
        ASSERT_TRUE(test::WriteAll(path, HeicWithTransform(stored, heif_orientation(o), true)));
        for (PictureTurn turn : {PictureTurn::Upright, PictureTurn::AsStored}) {
            const DecodedPicture picture = DecodePicture(path, QSize(), turn);
            ASSERT_TRUE(picture.Ok()) << picture.error.toStdString();
            EXPECT_EQ(picture.fullSize, QSize(160, 96));
            EXPECT_TRUE(test::QuadrantsMatch(picture.image, upright, 16))
                << test::SaveFailureImage(picture.image, QStringLiteral("heif-turn.png"))
                       .toStdString();
        }
        QSize size;
        ASSERT_TRUE(ReadPictureSize(path, &size));
        EXPECT_EQ(size, QSize(160, 96));
        EXPECT_EQ(ReadPictureOrientation(path), 1);
    }
}

TEST_F(PhoneFormats, EmbeddedProfilesAreConvertedToSrgb) {
    ASSERT_TRUE(s_ready);
    ASSERT_TRUE(QFileInfo::exists(kWideProfile));
    QString log;
    ASSERT_TRUE(
        test::RunPillow(QString::fromLatin1(kProfileScript), {s_dir->path(), kWideProfile}, &log))
        << log.toStdString();
    // A HEIC from the wide-gamut PNG: heif-enc keeps its profile.
    const QString heic = File(QStringLiteral("wide.heic"));
    ASSERT_TRUE(Run(QStringLiteral("heif-enc"),
                    {QStringLiteral("-q"), QStringLiteral("95"), File(QStringLiteral("wide.png")),
                     QStringLiteral("-o"), heic}));
    const QImage source = Source();
    for (const char* name : {"wide.png", "wide.jpg", "wide.tif", "wide.webp", "wide.heic"}) {
        SCOPED_TRACE(name);
        const QString path = File(QString::fromLatin1(name));
        const DecodedPicture picture = DecodePicture(path);
        ASSERT_TRUE(picture.Ok()) << picture.error.toStdString();
        // ProPhoto stored in 8 bits loses some precision; left unconverted it is far off.
        EXPECT_GE(test::Psnr(picture.image, source), 30.0)
            << test::SaveFailureImage(picture.image, QString::fromLatin1(name) + ".png")
                   .toStdString();
        EXPECT_LT(test::Psnr(QImage(path).convertToFormat(QImage::Format_RGB32), source), 25.0);
    }
}

TEST(ColourProfiles, DamagedOrForeignProfilesLeaveThePictureAsItIs) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(200, 40, 10));
    const QImage before = image;
    EXPECT_FALSE(ConvertProfileToSrgb(image, QByteArray(200, 'x')));
    EXPECT_FALSE(ConvertProfileToSrgb(image, QByteArray()));
    QByteArray cut = test::ReadAll(kWideProfile);
    ASSERT_FALSE(cut.isEmpty());
    cut.truncate(cut.size() / 2);
    EXPECT_FALSE(ConvertProfileToSrgb(image, cut));
    EXPECT_EQ(image, before);
    EXPECT_TRUE(IsRgbProfile(test::ReadAll(kWideProfile)));
}

// sRGB's transfer curve, both ways (IEC 61966-2-1).
double SrgbToLinear(double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
double LinearToSrgb(double v) {
    v = std::clamp(v, 0.0, 1.0);
    return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
}

// Phones that write wide-gamut HEIF pictures without an ICC profile describe them by an "nclx"
// box instead: the samples are converted from its primaries as from a profile. A flat colour
// coded without loss is checked against the published Display P3 to sRGB matrix.
TEST_F(PhoneFormats, NclxColourBoxesAreConvertedToSrgb) {
    QTemporaryDir dir;
    QImage flat(64, 64, QImage::Format_RGB32);
    const int p3[3] = {180, 120, 90};
    flat.fill(qRgb(p3[0], p3[1], p3[2]));
    // primariesInFile, when given, overwrites the code in the written colour box (one the
    // encoder would refuse).
    const auto encode = [&](const char* name, int primaries, int transfer,
                            int primariesInFile = -1, int grey = -1) {
        if (grey >= 0)
            flat.fill(qRgb(grey, grey, grey));
        const QString heic = dir.filePath(QString::fromLatin1(name));
        heif_color_profile_nclx* nclx = heif_nclx_color_profile_alloc();
        heif_nclx_color_profile_set_color_primaries(nclx, uint16_t(primaries));
        heif_nclx_color_profile_set_transfer_characteristics(nclx, uint16_t(transfer));
        heif_nclx_color_profile_set_matrix_coefficients(nclx, 0);
        nclx->full_range_flag = 1;
        QByteArray bytes = HeicWithTransform(flat, heif_orientation_normal, false, nclx);
        heif_nclx_color_profile_free(nclx);
        // "colr", "nclx", then the primaries code (16 bits, big-endian).
        const qsizetype box = bytes.indexOf("colrnclx");
        EXPECT_GT(box, 0);
        if (box > 0 && primariesInFile >= 0)
            qToBigEndian<quint16>(quint16(primariesInFile), bytes.data() + box + 8);
        EXPECT_TRUE(test::WriteAll(heic, bytes));
        const DecodedPicture picture = DecodePicture(heic);
        EXPECT_TRUE(picture.Ok()) << picture.error.toStdString();
        return picture.Ok() ? QColor(picture.image.pixel(32, 32)) : QColor();
    };
    const auto near = [](const QColor& c, int r, int g, int b) {
        return std::abs(c.red() - r) <= 2 && std::abs(c.green() - g) <= 2 &&
               std::abs(c.blue() - b) <= 2;
    };

    // Display P3 (primaries 12) with sRGB's transfer (13).
    const double m[3][3] = {{1.2249, -0.2247, 0.0}, {-0.0420, 1.0419, 0.0},
                            {-0.0197, -0.0786, 1.0979}};
    int expected[3];
    for (int row = 0; row < 3; ++row) {
        double linear = 0;
        for (int col = 0; col < 3; ++col)
            linear += m[row][col] * SrgbToLinear(p3[col] / 255.0);
        expected[row] = int(std::lround(LinearToSrgb(linear) * 255.0));
    }
    const QColor converted = encode("p3.heic", 12, 13);
    EXPECT_TRUE(near(converted, expected[0], expected[1], expected[2]))
        << converted.name().toStdString() << " for " << expected[0] << "," << expected[1] << ","
        << expected[2];

    // sRGB and BT.709 descriptions are sRGB already.
    for (const auto& [name, primaries, transfer] :
         {std::tuple{"srgb.heic", 1, 13}, std::tuple{"bt709.heic", 1, 1}}) {
        SCOPED_TRACE(name);
        const QColor kept = encode(name, primaries, transfer);
        EXPECT_TRUE(near(kept, p3[0], p3[1], p3[2])) << kept.name().toStdString();
    }

    // A primaries code no standard gives is read as no description (and nothing is leaked).
    const QColor unknown = encode("unknown.heic", 12, 13, 3);
    EXPECT_TRUE(near(unknown, p3[0], p3[1], p3[2])) << unknown.name().toStdString();

    // High dynamic range greys (BT.2020 primaries, so grey stays grey): PQ codes luminance in
    // cd/m², HLG relative to a 1000 cd/m² display; both put reference white at 203 cd/m².
    const auto pqCode = [](double nits) { // SMPTE ST 2084's inverse EOTF
        const double m1 = 0.1593017578125, m2 = 78.84375, c1 = 0.8359375, c2 = 18.8515625,
                     c3 = 18.6875;
        const double y = std::pow(nits / 10000.0, m1);
        return int(std::lround(std::pow((c1 + c2 * y) / (1 + c3 * y), m2) * 255.0));
    };
    const auto grey = [&](const char* name, int transfer, int code) {
        return encode(name, 9, transfer, -1, code).red();
    };
    // Mid-tones are shown as an sRGB display shows that share of its white (100 of 203 cd/m²),
    // instead of the dim grey the coded value would give as it stands.
    const int mid = grey("pq100.heic", 16, pqCode(100));
    EXPECT_NEAR(mid, std::lround(LinearToSrgb(100.0 / 203.0) * 255.0), 6);
    EXPECT_GT(mid - pqCode(100), 40);
    // Reference white is near white; brighter tones stay brighter, up to white, none clipped
    // early.
    const int white = grey("pq203.heic", 16, pqCode(203));
    const int bright = grey("pq600.heic", 16, pqCode(600));
    const int peak = grey("pq10000.heic", 16, 255);
    EXPECT_GE(white, 225);
    EXPECT_LT(white, bright);
    EXPECT_LT(bright, peak);
    EXPECT_GE(peak, 254);
    // HLG's reference white (coded 0.75) looks like PQ's.
    EXPECT_NEAR(grey("hlg75.heic", 18, 191), white, 4);
    EXPECT_LT(grey("hlg50.heic", 18, 128), white);
    flat.fill(qRgb(p3[0], p3[1], p3[2]));

    // Damaged chromaticities make no profile at all.
    CodedColour damaged;
    damaged.primaries = 12;
    damaged.transfer = 13;
    EXPECT_TRUE(ProfileFromCodedColour(damaged).isEmpty());
    damaged.red[0] = damaged.green[0] = damaged.blue[0] = damaged.white[0] = 0.9f;
    damaged.red[1] = damaged.green[1] = damaged.blue[1] = damaged.white[1] = 0.9f;
    EXPECT_TRUE(ProfileFromCodedColour(damaged).isEmpty());
}

// The picture's box of a HEIF ("ispe": version and flags, width, height) rewritten to claim
// width x height.
QByteArray WithClaimedSize(QByteArray heif, quint32 width, quint32 height) {
    const qsizetype at = heif.indexOf("ispe");
    EXPECT_GT(at, 0);
    qToBigEndian(width, heif.data() + at + 8);
    qToBigEndian(height, heif.data() + at + 12);
    return heif;
}

TEST_F(PhoneFormats, HostilePhoneFilesAreRefused) {
    ASSERT_TRUE(s_ready);
    const QString heic = File(QStringLiteral("h.heic"));
    const QString webp = File(QStringLiteral("h.webp"));
    ASSERT_TRUE(Run(QStringLiteral("heif-enc"),
                    {QStringLiteral("-q"), QStringLiteral("50"), File(QStringLiteral("src.png")),
                     QStringLiteral("-o"), heic}));
    ASSERT_TRUE(Run(QStringLiteral("cwebp"),
                    {QStringLiteral("-quiet"), QStringLiteral("-q"), QStringLiteral("50"),
                     File(QStringLiteral("src.png")), QStringLiteral("-o"), webp}));
    const QByteArray heicBytes = test::ReadAll(heic);
    const QByteArray webpBytes = test::ReadAll(webp);
    QByteArray garbage = heicBytes.left(40);
    garbage.append(QByteArray(400, char(0xA5)));
    QByteArray hugeWebp = webpBytes;
    // The lossy frame header after "VP8 " and its 3-byte tag and start code: 14-bit sides.
    const qsizetype frame = hugeWebp.indexOf("VP8 ");
    ASSERT_GT(frame, 0);
    qToLittleEndian<quint16>(16383, hugeWebp.data() + frame + 14);
    qToLittleEndian<quint16>(16383, hugeWebp.data() + frame + 16);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"cut.heic", heicBytes.left(heicBytes.size() / 2)},
        {"header-only.heic", heicBytes.left(300)},
        {"huge.heic", WithClaimedSize(heicBytes, 60000, 60000)},
        {"wide.heic", WithClaimedSize(heicBytes, 60000, 96)},
        {"garbage.heic", garbage},
        {"cut.avif", garbage.replace("heic", "avif")},
        {"cut.webp", webpBytes.left(webpBytes.size() / 2)},
        {"huge.webp", hugeWebp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = File(QString::fromLatin1(c.name));
        ASSERT_TRUE(test::WriteAll(path, c.bytes));
        const DecodedPicture picture = DecodePicture(path);
        EXPECT_FALSE(picture.Ok());
        EXPECT_FALSE(picture.error.isEmpty());
        EXPECT_FALSE(DecodePicture(path, QSize(20, 20)).Ok());
    }
    QSize size;
    EXPECT_FALSE(ReadPictureSize(File(QStringLiteral("huge.heic")), &size));
    EXPECT_FALSE(ReadPictureSize(File(QStringLiteral("huge.webp")), &size));
}

} // namespace
} // namespace mosaiq

namespace mosaiq {
namespace {

// Pictures are written in sRGB, and the PNG writer says so before the image data.
TEST(ColourProfiles, PngOutputCarriesTheSrgbChunk) {
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    const QByteArray png = EncodePng(image, {});
    const qsizetype srgb = png.indexOf("sRGB");
    ASSERT_GT(srgb, 0);
    EXPECT_LT(srgb, png.indexOf("IDAT"));
    EXPECT_EQ(png.mid(srgb - 4, 4), QByteArray("\0\0\0\x01", 4));
    EXPECT_EQ(png[srgb + 4], '\0');
    const QImage read = QImage::fromData(png).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(read.size(), image.size());
    EXPECT_EQ(read.pixel(5, 5), image.pixel(5, 5));
}

} // namespace
} // namespace mosaiq
