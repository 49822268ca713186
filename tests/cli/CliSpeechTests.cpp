// What mosaiq-cli says: the usage paths, messages that name what the user knows, the converter's
// lines, and headless readers of projects that carry effect pictures.
#include "canvas/document/CollageDocument.h"
#include "canvas/project/EffectPictures.h"
#include "canvas/project/ProjectFile.h"
#include "common/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Outcome RunCli(const QStringList& args) {
    QProcess process;
    process.setProgram(QStringLiteral(MOSAIQ_CLI_PATH));
    process.setArguments(args);
    process.start();
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

class CliSpeechTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    Outcome Cli(const QStringList& args) {
        return RunCli(QStringList{QStringLiteral("--data"), data.Path()} + args);
    }
    QString Picture(const QString& name, QColor colour) {
        QImage image(24, 16, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = data.File(name);
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        EXPECT_TRUE(image.save(path));
        return path;
    }
};

} // namespace

TEST(CliUsage, WithoutArgumentsOnStandardErrorHelpAndVersionOnStandardOutput) {
    const Outcome none = RunCli({});
    EXPECT_EQ(none.status, 2);
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_TRUE(none.err.startsWith("usage: mosaiq-cli [--data DIR] COMMAND [ARGS]"))
        << none.err.constData();
    EXPECT_TRUE(none.err.contains("\n  render PROJECT.dcf OUT.ext"));

    for (const char* option : {"--help", "-h"}) {
        const Outcome help = RunCli({QLatin1String(option)});
        EXPECT_EQ(help.status, 0) << option;
        EXPECT_EQ(help.out, none.err) << option;
        EXPECT_TRUE(help.err.isEmpty());
    }
    const Outcome version = RunCli({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QByteArray("mosaiq-cli " MOSAIQ_VERSION "\n"));

    // A command's own help, -h as well.
    const Outcome one = RunCli({QStringLiteral("dump"), QStringLiteral("-h")});
    EXPECT_EQ(one.status, 0);
    EXPECT_TRUE(one.out.startsWith("usage: mosaiq-cli [--data DIR] dump PROJECT.dcf\n"));
    // --data without its folder: the usage, on standard error.
    const Outcome data = RunCli({QStringLiteral("--data")});
    EXPECT_EQ(data.status, 2);
    EXPECT_TRUE(data.err.startsWith("usage: mosaiq-cli"));
}

TEST_F(CliSpeechTest, APathThroughAFileIsNamed) {
    ASSERT_TRUE(test::WriteAll(data.File(QStringLiteral("notes.txt")), "x"));
    const QString through = data.File(QStringLiteral("notes.txt/sub"));
    const QString source = Picture(QStringLiteral("in.png"), Qt::red);
    const QByteArray expected =
        QString(data.File(QStringLiteral("notes.txt")) + QStringLiteral(" is a file, not a folder"))
            .toUtf8();

    const Outcome convert =
        Cli({QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("png"),
             QStringLiteral("--output"), through, source});
    EXPECT_EQ(convert.status, 1);
    EXPECT_TRUE(convert.err.contains(expected)) << convert.err.constData();
    const Outcome calendar = Cli({QStringLiteral("calendar"), QStringLiteral("2026"),
                                  QStringLiteral("5"), through + QStringLiteral("/c.png")});
    EXPECT_EQ(calendar.status, 1);
    EXPECT_TRUE(calendar.err.contains(expected)) << calendar.err.constData();
    const Outcome init = RunCli({QStringLiteral("--data"), through, QStringLiteral("init")});
    EXPECT_EQ(init.status, 1);
    EXPECT_TRUE(init.err.contains(expected)) << init.err.constData();
}

TEST_F(CliSpeechTest, ConvertNamesClashingOutputsInTheOrderOfTheInputs) {
    const QString out = data.File(QStringLiteral("out"));
    const QStringList inputs = {
        Picture(QStringLiteral("r.bmp"), Qt::red), Picture(QStringLiteral("a.png"), Qt::green),
        Picture(QStringLiteral("r.ppm"), Qt::blue), Picture(QStringLiteral("b/r.png"), Qt::yellow),
        Picture(QStringLiteral("z.png"), Qt::gray)};
    const Outcome run = Cli(QStringList{QStringLiteral("convert"), QStringLiteral("--format"),
                                        QStringLiteral("PNG"), QStringLiteral("--output"), out} +
                            inputs);
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 6);
    const auto line = [&](int input, const char* output) {
        return QString(QStringLiteral("converted ") + inputs[input] + QStringLiteral(" -> ") + out +
                       QLatin1Char('/') + QLatin1String(output))
            .toUtf8();
    };
    EXPECT_EQ(lines[0], line(0, "r.png"));
    EXPECT_EQ(lines[1], line(1, "a.png"));
    EXPECT_EQ(lines[2], line(2, "r (2).png (an earlier input of this run took r.png)"));
    EXPECT_TRUE(lines[3].endsWith("r (3).png (an earlier input of this run took r.png)"));
    EXPECT_EQ(lines[5], "converted 5, skipped 0");
    EXPECT_EQ(QImage(out + QStringLiteral("/r (2).png")).pixelColor(2, 2), QColor(Qt::blue));
}

TEST_F(CliSpeechTest, DumpRenderAndResaveLeaveTheEffectsFolderAlone) {
    // A project made elsewhere: its photo is an effect picture the project carries.
    QImage effect(30, 20, QImage::Format_RGB32);
    effect.fill(QColor(30, 160, 220));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(effect.save(&buffer, "PNG"));
    const QString elsewhere = data.File(QStringLiteral("far/Effects/")) + EffectPictureName(png);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(elsewhere).absolutePath()));
    ASSERT_TRUE(test::WriteAll(elsewhere, png));
    CollageDocument doc;
    doc.width = 60;
    doc.height = 40;
    ASSERT_TRUE(doc.AddPhoto(elsewhere, 30, 20, 0, 0));
    const QString project = data.File(QStringLiteral("p.dcf"));
    ASSERT_TRUE(SaveProject(doc, project).ok);
    ASSERT_TRUE(QDir(data.File(QStringLiteral("far"))).removeRecursively());

    const Outcome dump = Cli({QStringLiteral("dump"), project});
    ASSERT_EQ(dump.status, 0) << dump.err.constData();
    const QJsonArray effects = QJsonDocument::fromJson(dump.out)
                                   .object()
                                   .value(QStringLiteral("effectPictures"))
                                   .toArray();
    ASSERT_EQ(effects.size(), 1);
    EXPECT_EQ(effects[0].toString(), EffectPictureName(png));

    const QString picture = data.File(QStringLiteral("r.png"));
    const Outcome render = Cli({QStringLiteral("render"), project, picture});
    ASSERT_EQ(render.status, 0) << render.err.constData();
    EXPECT_FALSE(render.err.contains("not found")) << render.err.constData();
    const PhotoRecord& r = *doc.objects[0].Photo();
    EXPECT_EQ(QImage(picture).pixelColor(r.x + 2, r.y + 2), QColor(30, 160, 220));

    const QString again = data.File(QStringLiteral("again.dcf"));
    ASSERT_EQ(Cli({QStringLiteral("resave"), project, again}).status, 0);
    EXPECT_EQ(test::ReadAll(again), test::ReadAll(project));
    EXPECT_FALSE(QFileInfo::exists(data.File(QStringLiteral("Effects"))));
}
