// The PDF writer: a page that holds the collage exactly as the picture export does (read back
// with Ghostscript at the page's own resolution), the collage's name as the title, and writes
// that fail part-way (a full disk) leaving the earlier file as it was, for every writer.
#include "CanvasTestScene.h"

#include "canvas/output/ScaledExport.h"
#include "imaging/files/ReplacingFile.h"

#include "common/PhonePictures.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

QImage Detailed(int w, int h, quint32 seed) {
    QRandomGenerator random(seed);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, 0xFF000000u | (random.generate() & 0xFFFFFFu));
    return image;
}

class PdfWriterTest : public ::testing::Test {
protected:
    ScopedDataDir data;
    CanvasScene scene;
    CollageDocument& doc = scene.doc;
    QTemporaryDir out;

    void SetUp() override {
        // 400 x 300 at scale 3 and 300 dpi: a page of exactly 288 x 216 points, 1200 x 900 pixels.
        doc.width = 400;
        doc.height = 300;
        doc.backgroundColour = MakeColorref(30, 140, 60);
        scene.AddPhoto(scene.WritePicture("a.png", Detailed(160, 120, 7)), {160, 120}, 20, 30);
        PhotoRecord& turned =
            scene.AddPhoto(scene.WritePicture("b.png", Detailed(120, 90, 8)), {120, 90}, 220, 120);
        turned.angle = 17.0f;
        doc.CreateRegion(doc.objects.back());
    }
    void TearDown() override { SetReplacingFileRoomForTests(-1); }
    QString OutFile(const QString& name) const { return out.filePath(name); }
    // Files other than those named: temporary files left behind.
    QStringList Leftovers(const QStringList& names) const {
        QStringList left = QDir(out.path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString& n : names)
            left.removeAll(n);
        return left;
    }
};

} // namespace

TEST_F(PdfWriterTest, PageHoldsExactlyThePngExportAndTheCollagesName) {
    if (!HaveTool(QStringLiteral("gs")))
        GTEST_SKIP() << "Ghostscript is not installed";
    doc.projectPath = OutFile(QStringLiteral("Summer holiday.dcf"));
    ExportSettings settings;
    settings.scale = 3.0;
    settings.dpi = 300;
    ASSERT_TRUE(ExportCollageScaled(doc, OutFile(QStringLiteral("page.png")), settings).ok);
    const ScaledExportResult pdf =
        ExportCollageScaled(doc, OutFile(QStringLiteral("page.pdf")), settings);
    ASSERT_TRUE(pdf.ok) << pdf.error.toStdString();
    QString log;
    ASSERT_TRUE(RunTool(QStringLiteral("gs"),
                        {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"),
                         QStringLiteral("-dBATCH"), QStringLiteral("-dSAFER"),
                         QStringLiteral("-sDEVICE=png16m"), QStringLiteral("-r300"),
                         QStringLiteral("-sOutputFile=") + OutFile(QStringLiteral("gs.png")),
                         OutFile(QStringLiteral("page.pdf"))},
                        &log))
        << log.toStdString();
    const QImage page =
        QImage(OutFile(QStringLiteral("gs.png"))).convertToFormat(QImage::Format_RGB32);
    const QImage png =
        QImage(OutFile(QStringLiteral("page.png"))).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(png.size(), QSize(1200, 900));
    EXPECT_EQ(page.size(), png.size());
    EXPECT_EQ(Psnr(page, png), 100.0)
        << SaveFailureImage(page, QStringLiteral("pdf-page.png")).toStdString();
    if (HaveTool(QStringLiteral("pdfinfo"))) {
        ASSERT_TRUE(
            RunTool(QStringLiteral("pdfinfo"), {OutFile(QStringLiteral("page.pdf"))}, &log));
        EXPECT_TRUE(log.contains(QRegularExpression(QStringLiteral("Title:\\s+Summer holiday\\n"))))
            << log.toStdString();
    }
}

// A disk that fills up part-way: every writer reports it in one line and the earlier file stays.
TEST_F(PdfWriterTest, AFullDiskKeepsTheEarlierFileForEveryWriter) {
    const QByteArray earlier("the earlier file, kept whole");
    for (const char* name :
         {"full.pdf", "full.png", "full.jpg", "full.tif", "full.bmp", "full.pcx"}) {
        SCOPED_TRACE(name);
        const QString path = OutFile(QString::fromLatin1(name));
        ASSERT_TRUE(WriteAll(path, earlier));
        SetReplacingFileRoomForTests(2000);
        ExportSettings settings;
        settings.scale = 2.0;
        const ScaledExportResult r = ExportCollageScaled(doc, path, settings);
        SetReplacingFileRoomForTests(-1);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.cancelled);
        EXPECT_TRUE(r.error.contains(path)) << r.error.toStdString();
        EXPECT_FALSE(r.error.contains(QLatin1Char('\n')));
        EXPECT_EQ(ReadAll(path), earlier);
        EXPECT_EQ(Leftovers({QString::fromLatin1(name)}), QStringList())
            << Leftovers({QString::fromLatin1(name)}).join(QLatin1Char(' ')).toStdString();
        QFile::remove(path);
    }
    // Print to a file alike; with room, it writes a whole page.
    const QString printed = OutFile(QStringLiteral("printed.pdf"));
    ASSERT_TRUE(WriteAll(printed, earlier));
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    SetReplacingFileRoomForTests(2000);
    const ScaledExportResult failed = PrintCollageToPdf(doc, printed, a4, 150);
    SetReplacingFileRoomForTests(-1);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(ReadAll(printed), earlier);
    const ScaledExportResult done = PrintCollageToPdf(doc, printed, a4, 150);
    ASSERT_TRUE(done.ok) << done.error.toStdString();
    const QByteArray pdf = ReadAll(printed);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_FALSE(pdf.contains("/DCTDecode")) << "a page picture stored as JPEG";
}
