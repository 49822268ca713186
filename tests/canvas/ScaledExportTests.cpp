// Exports past the canvas size: the band renderer against the one-piece renderer and today's
// export, detail kept from the photos' own files, resolutions read back from every streaming
// writer, PDF pages, the enlarged-photo warning, cancelling and the refusals.
#include "CanvasTestScene.h"

#include "canvas/output/BandRenderer.h"
#include "canvas/output/CollageExport.h"
#include "canvas/render/DisplayScaling.h"
#include "canvas/output/ScaledExport.h"
#include "imaging/encode/BandWriter.h"
#include "library/items/FrameLibrary.h"
#include "library/items/MaskLibrary.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A picture of fine random detail: every pixel its own colour.
QImage NoisePicture(int w, int h, quint32 seed) {
    QRandomGenerator random(seed);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, 0xFF000000u | (random.generate() & 0xFFFFFFu));
    return image;
}

// Largest difference of any channel between two pictures of one size; 256 for other sizes.
int MaxChannelDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 256;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

double MeanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

class ScaledExportTest : public ::testing::Test {
protected:
    ScopedDataDir data;
    CanvasScene scene;
    CollageDocument& doc = scene.doc;
    QTemporaryDir out;

    QString OutFile(const QString& name) const { return out.filePath(name); }

    // Turned, masked and framed photos, a clipart-free stamp-free scene with text over them.
    void BuildRichScene() {
        QImage mask = SolidImage(20, 20, Qt::black);
        for (int y = 0; y < 20; ++y)
            for (int x = 12; x < 20; ++x)
                mask.setPixel(x, y, qRgb(255, 255, 255));
        ASSERT_TRUE(
            WriteAll(data.File("mask.cfg"), EncodeKeyedLibrary({{20, 20, Guid(), Png(mask)}})));
        QImage frame = SolidImage(100, 100, QColor(0, 0, 255));
        for (int y = 15; y < 85; ++y)
            for (int x = 15; x < 85; ++x)
                frame.setPixel(x, y, qRgba(0, 0, 0, 0));
        ASSERT_TRUE(WriteAll(data.File("frame.cfg"),
                             EncodeFrameLibrary({{frame, {0.15f, 0.15f, 0.85f, 0.85f}}})));
        doc.backgroundColour = MakeColorref(30, 140, 60);
        const QString a = scene.WritePicture("a.png", NoisePicture(160, 120, 1));
        const QString b = scene.WritePicture("b.png", NoisePicture(90, 90, 2));
        PhotoRecord& turned = scene.AddPhoto(a, {160, 120}, 10, 10);
        turned.angle = 27.0f;
        turned.maskId = 1;
        PhotoRecord& framed = scene.AddPhoto(b, {90, 90}, 100, 40);
        framed.frameId = 1;
        framed.frameWindow = {0.15f, 0.15f, 0.85f, 0.85f};
        framed.angle = -12.0f;
        TextRecord t;
        t.font.lfHeight = 30;
        WriteFixedText(t.font.lfFaceName, QStringLiteral("DejaVu Sans"));
        WriteFixedText(t.text, QStringLiteral("Band"));
        t.style = 3;
        t.firstColour = MakeColorref(250, 220, 0);
        t.secondColour = MakeColorref(200, 0, 0);
        t.textWidth = 90;
        t.textHeight = 36;
        t.x = 50;
        t.y = 70;
        t.scale = 1.2f;
        t.angle = 15.0f;
        scene.Add(CanvasObject(t));
    }
};

} // namespace

TEST_F(ScaledExportTest, BandsMatchOnePieceAndScaleOneMatchesTodaysExport) {
    BuildRichScene();
    for (const double scale : {1.0, 2.5}) {
        const QImage whole = RenderCollageScaled(doc, scale);
        ASSERT_EQ(whole.size(), ScaledCanvasSize(doc, scale));
        QImage banded(whole.size(), QImage::Format_RGB32);
        banded.fill(Qt::black);
        int bands = 0;
        ASSERT_TRUE(RenderCollageInBands(doc, scale, 40, [&](const QImage& band, int top) {
            EXPECT_EQ(band.width(), whole.width());
            for (int y = 0; y < band.height(); ++y)
                std::memcpy(banded.scanLine(top + y), band.constScanLine(y),
                            size_t(band.bytesPerLine()));
            ++bands;
            return true;
        }));
        EXPECT_EQ(bands, (whole.height() + 39) / 40);
        EXPECT_LE(MaxChannelDifference(whole, banded), 1) << "scale " << scale;
    }
    // At scale 1 the bands draw turned objects through their prepared pictures, today's export
    // directly: only antialiased edges may differ.
    EXPECT_LT(MeanDifference(RenderCollageScaled(doc, 1.0), RenderCollage(doc)), 0.2);
    EXPECT_EQ(doc.view.zoom, 1.0f);
}

TEST_F(ScaledExportTest, APhotoShownSmallKeepsItsDetailAtFourTimes) {
    const QImage original = NoisePicture(320, 240, 7);
    const QString path = scene.WritePicture("detail.png", original);
    scene.AddPhoto(path, {320, 240}, 20, 20).scale = 0.125f; // shown 40 x 28 on the canvas
    const QImage rendered = RenderCollageScaled(doc, 4.0);
    const QImage photo = rendered.copy(80, 80, 160, 120);
    // The output holds the original reduced to the box, not the canvas picture enlarged.
    const QImage expected = ScaleForDisplay(original, QSize(160, 120));
    EXPECT_LE(MaxChannelDifference(photo, expected.convertToFormat(QImage::Format_RGB32)), 2);
    const QImage canvasEnlarged =
        RenderCollage(doc)
            .copy(20, 20, 40, 28)
            .scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_GT(MeanDifference(canvasEnlarged, expected.convertToFormat(QImage::Format_RGB32)),
              10.0 * std::max(0.1, MeanDifference(photo, expected)));
}

TEST_F(ScaledExportTest, EveryStreamingWriterKeepsPixelsAndWritesItsResolution) {
    BuildRichScene();
    const QImage reference = RenderCollageScaled(doc, 1.5);
    ExportSettings settings;
    settings.scale = 1.5;
    settings.dpi = 200;
    for (const char* name : {"out.png", "out.bmp", "out.tif", "out.jpg"}) {
        const QString path = OutFile(QString::fromLatin1(name));
        const ScaledExportResult result = ExportCollageScaled(doc, path, settings);
        ASSERT_TRUE(result.ok) << name << ": " << result.error.toStdString();
        EXPECT_EQ(result.pixels, QSize(300, 225));
        const QImage read(path);
        ASSERT_EQ(read.size(), QSize(300, 225)) << name;
        EXPECT_NEAR(read.dotsPerMeterX(), DotsPerMetre(200), 1) << name;
        EXPECT_NEAR(read.dotsPerMeterY(), DotsPerMetre(200), 1) << name;
        const bool lossy = QString::fromLatin1(name).endsWith(QLatin1String(".jpg"));
        if (lossy)
            EXPECT_LT(MeanDifference(read.convertToFormat(QImage::Format_RGB32), reference), 16.0);
        else
            EXPECT_EQ(MaxChannelDifference(read, reference), 0) << name;
    }
}

TEST_F(ScaledExportTest, PdfPageIsTheRenderedSizeAtTheDpiOrThePaper) {
    doc.width = 400;
    doc.height = 300;
    scene.AddPhoto(scene.WritePicture("p.png", NoisePicture(100, 80, 3)), {100, 80}, 10, 10);
    const auto mediaBox = [](const QString& path) -> std::pair<QString, QString> {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(file.readAll());
        const QRegularExpressionMatch box =
            QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
                .match(text);
        const auto number = [](const QString& v) { return QString::number(v.toDouble()); };
        const QRegularExpressionMatch image =
            QRegularExpression(QStringLiteral("/Width (\\d+)\\s*/Height (\\d+)")).match(text);
        return {number(box.captured(1)) + QLatin1Char(' ') + number(box.captured(2)),
                image.captured(1) + QLatin1Char(' ') + image.captured(2)};
    };
    ExportSettings settings;
    settings.scale = 2.0; // 800 x 600 at 200 dpi: a 4 x 3 inch page
    settings.dpi = 200;
    ASSERT_TRUE(ExportCollageScaled(doc, OutFile("plain.pdf"), settings).ok);
    EXPECT_EQ(PdfPageSizePoints(doc, settings), QSizeF(288, 216));
    auto [page, picture] = mediaBox(OutFile("plain.pdf"));
    EXPECT_EQ(page, QStringLiteral("288 216"));
    EXPECT_EQ(picture, QStringLiteral("800 600"));

    settings = {};
    settings.paper = PaperByName(QStringLiteral("a4")); // 2480 x 3508 at 300 dpi
    ASSERT_TRUE(ExportCollageScaled(doc, OutFile("a4.pdf"), settings).ok);
    std::tie(page, picture) = mediaBox(OutFile("a4.pdf"));
    EXPECT_EQ(page, QStringLiteral("595 842"));
    EXPECT_EQ(picture, QStringLiteral("2480 1860")); // fitted to the width, aspect kept

    settings.paper = PaperByName(QStringLiteral("A4L"));
    EXPECT_EQ(ExportPixelSize(doc, settings), QSize(3306, 2480)); // fitted to the height
}

TEST_F(ScaledExportTest, PhotosEnlargedPastTheirPixelsAreNamedWithTheirDpi) {
    scene.AddPhoto(scene.WritePicture("photo_012.png", NoisePicture(100, 100, 4)), {100, 100}, 0,
                   0);
    PhotoRecord& big =
        scene.AddPhoto(scene.WritePicture("big.png", NoisePicture(400, 400, 5)), {400, 400}, 0, 0);
    big.scale = 0.25f;
    ExportSettings settings;
    settings.scale = 4.0;
    const std::vector<EnlargedPhoto> enlarged = EnlargedPhotos(doc, settings);
    ASSERT_EQ(enlarged.size(), 1u);
    EXPECT_EQ(EnlargedPhotoLine(enlarged[0]), QStringLiteral("photo_012.png will print at 75 dpi"));
    settings.scale = 1.0;
    EXPECT_TRUE(EnlargedPhotos(doc, settings).empty());
}

TEST_F(ScaledExportTest, CancelKeepsTheOldFileAndRefusalsWriteNothing) {
    const QString path = OutFile("kept.png");
    ASSERT_TRUE(WriteAll(path, QByteArray("old")));
    ExportSettings settings;
    settings.scale = 2.0;
    const ScaledExportResult cancelled =
        ExportCollageScaled(doc, path, settings, [](int, int) { return false; });
    EXPECT_FALSE(cancelled.ok);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(ReadAll(path), QByteArray("old"));

    struct Case {
        double scale;
        int dpi;
        const char* extension;
        const char* says;
    };
    doc.width = 3000;
    doc.height = 2000;
    const Case cases[] = {
        {0.05, 0, "png", "scale"},     {8.5, 0, "png", "scale"},
        {1.0, 9, "png", "resolution"}, {1.0, 2401, "png", "resolution"},
        {6.0, 0, "png", "too large"},
    };
    for (const Case& c : cases) {
        settings.scale = c.scale;
        settings.dpi = c.dpi;
        const QString reason = CheckExportSettings(doc, settings, QString::fromLatin1(c.extension));
        EXPECT_TRUE(reason.contains(QLatin1String(c.says))) << reason.toStdString();
        EXPECT_FALSE(reason.contains(QLatin1Char('\n')));
        const QString target = OutFile(QStringLiteral("refused.") + c.extension);
        EXPECT_FALSE(ExportCollageScaled(doc, target, settings).ok);
        EXPECT_FALSE(QFile::exists(target));
    }
    doc.width = 4096; // 16384 a side: a picture may have it, a WebP file may not
    settings.scale = 4.0;
    settings.dpi = 0;
    EXPECT_TRUE(CheckExportSettings(doc, settings, QStringLiteral("png")).isEmpty());
    EXPECT_TRUE(CheckExportSettings(doc, settings, QStringLiteral("webp")).contains("WebP"));
    settings = {};
    doc.width = 5;
    doc.height = 5;
    settings.scale = 0.1;
    EXPECT_FALSE(CheckExportSettings(doc, settings, QStringLiteral("png")).isEmpty());
    EXPECT_FALSE(PaperByName(QStringLiteral("B5")));
    EXPECT_TRUE(PaperByName(QStringLiteral("13x18l"))->landscape);
}
