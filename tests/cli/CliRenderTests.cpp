// mosaiq-cli render with a size: today's bytes without one, the size and resolution with one,
// PDF pages, and the refusals that write nothing.
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"
#include "common/TestSupport.h"
#include "core/text/FixedText.h"

#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

struct RenderRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

RenderRun Render(const QString& dataDir, const QStringList& args) {
    QProcess process;
    process.setProgram(QStringLiteral(MOSAIQ_CLI_PATH));
    process.setArguments(QStringList{QStringLiteral("--data"), dataDir, QStringLiteral("render")} +
                         args);
    process.start();
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

class CliRenderTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;

    QString SaveCanvas(int width, int height) {
        CollageDocument doc;
        doc.width = width;
        doc.height = height;
        doc.backgroundColour = MakeColorref(0x20, 0x80, 0xC0);
        TextRecord text;
        WriteFixedText(text.text, QStringLiteral("Print"));
        WriteFixedText(text.font.lfFaceName, QStringLiteral("DejaVu Sans"));
        text.font.lfHeight = 40;
        text.textWidth = 120;
        text.textHeight = 40;
        text.x = text.y = 30;
        text.scale = 1.0f;
        doc.objects.emplace_back(text);
        doc.CreateRegion(doc.objects.back());
        const QString path = data.File(QStringLiteral("c%1.dcf").arg(width));
        EXPECT_TRUE(SaveProject(doc, path).ok);
        return path;
    }
};

} // namespace

TEST_F(CliRenderTest, ScaleOneAloneIsTodaysExportByteForByte) {
    const QString project = SaveCanvas(320, 240);
    for (const char* ext : {"png", "jpg", "bmp"}) {
        const QString today = data.File(QStringLiteral("today.") + ext);
        const QString one = data.File(QStringLiteral("one.") + ext);
        ASSERT_EQ(Render(data.Path(), {project, today}).status, 0);
        const RenderRun run =
            Render(data.Path(), {project, one, QStringLiteral("--scale"), QStringLiteral("1")});
        ASSERT_EQ(run.status, 0) << run.err.constData();
        EXPECT_EQ(test::ReadAll(one), test::ReadAll(today)) << ext;
    }
}

TEST_F(CliRenderTest, ScaleAndDpiGiveTheSizeAndTheResolution) {
    const QString project = SaveCanvas(320, 240);
    const QString png = data.File(QStringLiteral("big.png"));
    const RenderRun run =
        Render(data.Path(), {project, png, QStringLiteral("--scale"), QStringLiteral("2.5"),
                             QStringLiteral("--dpi"), QStringLiteral("150")});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    EXPECT_TRUE(run.out.contains("800 x 600 at 150 dpi")) << run.out.constData();
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(800, 600));
    EXPECT_EQ(image.dotsPerMeterX(), 5906);
    EXPECT_EQ(image.pixelColor(2, 2), QColor(0x20, 0x80, 0xC0));

    // --scale alone writes 300 dpi; --dpi alone keeps the canvas size.
    const QString tif = data.File(QStringLiteral("big.tif"));
    ASSERT_EQ(
        Render(data.Path(), {project, tif, QStringLiteral("--scale"), QStringLiteral("2")}).status,
        0);
    EXPECT_EQ(QImage(tif).dotsPerMeterX(), 11811);
    const QString jpg = data.File(QStringLiteral("same.jpg"));
    ASSERT_EQ(
        Render(data.Path(), {project, jpg, QStringLiteral("--dpi"), QStringLiteral("72")}).status,
        0);
    EXPECT_EQ(QImage(jpg).size(), QSize(320, 240));
    EXPECT_NEAR(QImage(jpg).dotsPerMeterX(), 2835, 1); // Qt reads 72 dpi back truncated

    const QString pdf = data.File(QStringLiteral("page.pdf"));
    const RenderRun page =
        Render(data.Path(), {project, pdf, QStringLiteral("--paper"), QStringLiteral("a5l")});
    ASSERT_EQ(page.status, 0) << page.err.constData();
    EXPECT_TRUE(test::ReadAll(pdf).startsWith("%PDF-"));
}

TEST_F(CliRenderTest, RefusalsSayOneLineAndWriteNothing) {
    const QString project = SaveCanvas(3200, 2400);
    struct Case {
        QStringList options;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{"--scale", "9"}, 2, "--scale"},
        {{"--scale", "0.05"}, 2, "--scale"},
        {{"--scale", "x"}, 2, "--scale"},
        {{"--dpi", "9"}, 2, "--dpi"},
        {{"--dpi", "2401"}, 2, "--dpi"},
        {{"--paper", "B7"}, 2, "unknown paper"},
        {{"--paper", "A4", "--scale", "2"}, 2, "together"},
        {{"--scale", "6"}, 1, "too large"},
        {{"--dpi"}, 2, "needs a value"},
    };
    const QString out = data.File(QStringLiteral("refused.png"));
    for (const Case& c : cases) {
        const RenderRun run = Render(data.Path(), QStringList{project, out} + c.options);
        EXPECT_EQ(run.status, c.status) << c.options.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.constData();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
        EXPECT_FALSE(QFile::exists(out));
    }
}
