#include "core/text/FixedText.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"
#include "common/TestSupport.h"
#include "library/items/MaskLibrary.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

CliRun Cli(const QString& dataDir, const QStringList& args) {
    QProcess process;
    process.setProgram(QStringLiteral(MOSAIQ_CLI_PATH));
    process.setArguments(QStringList{QStringLiteral("--data"), dataDir} + args);
    process.start();
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

class CliTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;

    QString SaveSample() {
        CollageDocument doc;
        doc.width = 640;
        doc.height = 480;
        doc.backgroundColour = MakeColorref(0x12, 0x34, 0x56);
        PhotoRecord photo;
        WriteFixedText(photo.path, data.File(QStringLiteral("missing.jpg")));
        photo.boxWidth = photo.boxHeight = 100;
        photo.frameWindow.left = 0.05f;
        doc.objects.emplace_back(photo);
        TextRecord text;
        WriteFixedText(text.text, QStringLiteral("Grüße"));
        doc.objects.emplace_back(text);
        for (CanvasObject& o : doc.objects)
            doc.CreateRegion(o);
        const QString path = data.File(QStringLiteral("sample.dcf"));
        EXPECT_TRUE(SaveProject(doc, path).ok);
        return path;
    }
};

} // namespace

TEST_F(CliTest, InitWritesTheDataFilesAndKeepsThemTheSecondTime) {
    const CliRun first = Cli(data.Path(), {QStringLiteral("init")});
    ASSERT_EQ(first.status, 0) << first.err.constData();
    for (const char* name : {"lang.mfd", "mask.cfg", "tbmask.cfg", "clipart.cfg", "brushs",
                             "frame.cfg", "tbframe.cfg", "neon_p.cfg"})
        EXPECT_TRUE(QFileInfo::exists(data.File(QLatin1String(name)))) << name;
    const CliRun second = Cli(data.Path(), {QStringLiteral("init")});
    EXPECT_EQ(second.status, 0);
    EXPECT_TRUE(second.out.contains("kept"));
}

TEST_F(CliTest, DumpPrintsEveryObjectAsJson) {
    const QString path = SaveSample();
    const CliRun run = Cli(data.Path(), {QStringLiteral("dump"), path});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const QJsonObject root = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(root.value(QStringLiteral("width")).toInt(), 640);
    EXPECT_EQ(root.value(QStringLiteral("backgroundColour")).toString(), QStringLiteral("#123456"));
    const QJsonArray objects = root.value(QStringLiteral("objects")).toArray();
    ASSERT_EQ(objects.size(), 2);
    const QJsonObject photo = objects[0].toObject();
    EXPECT_EQ(photo.value(QStringLiteral("kind")).toString(), QStringLiteral("Photo"));
    EXPECT_EQ(photo.value(QStringLiteral("frameWindow"))
                  .toObject()
                  .value(QStringLiteral("left"))
                  .toDouble(),
              0.05);
    EXPECT_EQ(photo.value(QStringLiteral("maskKey")).toString(),
              QStringLiteral("{00000000-0000-0000-0000-000000000000}"));
    EXPECT_EQ(objects[1].toObject().value(QStringLiteral("text")).toString(),
              QStringLiteral("Grüße"));
}

TEST_F(CliTest, UnreadableProjectsFailWithOneLine) {
    ASSERT_TRUE(test::WriteAll(data.File(QStringLiteral("short.dcf")), QByteArray(279, '\0')));
    for (const QString& name : {QStringLiteral("short.dcf"), QStringLiteral("absent.dcf")}) {
        const CliRun dump = Cli(data.Path(), {QStringLiteral("dump"), data.File(name)});
        EXPECT_EQ(dump.status, 1) << name.toStdString();
        EXPECT_EQ(dump.err.count('\n'), 1) << dump.err.constData();
        const CliRun resave = Cli(data.Path(), {QStringLiteral("resave"), data.File(name),
                                                data.File(QStringLiteral("out.dcf"))});
        EXPECT_EQ(resave.status, 1);
    }
    EXPECT_FALSE(QFileInfo::exists(data.File(QStringLiteral("out.dcf"))));
    EXPECT_EQ(Cli(data.Path(), {QStringLiteral("dump")}).status, 2);
    EXPECT_EQ(Cli(data.Path(), {QStringLiteral("no-such-command")}).status, 2);
}

TEST_F(CliTest, ResaveAndRenderAProject) {
    const QString path = SaveSample();
    const QString again = data.File(QStringLiteral("again.dcf"));
    ASSERT_EQ(Cli(data.Path(), {QStringLiteral("resave"), path, again}).status, 0);
    EXPECT_EQ(test::ReadAll(again), test::ReadAll(path));

    const QString png = data.File(QStringLiteral("out.png"));
    const CliRun render = Cli(data.Path(), {QStringLiteral("render"), path, png});
    ASSERT_EQ(render.status, 0) << render.err.constData();
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(640, 480));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(0x12, 0x34, 0x56));

    EXPECT_EQ(Cli(data.Path(), {QStringLiteral("render"), path, data.File("out.xyz")}).status, 1);
    EXPECT_EQ(
        Cli(data.Path(), {QStringLiteral("render"), path, data.File("no/dir/out.png")}).status, 1);
}

TEST_F(CliTest, ImportPhotosAddsGoodPicturesAndNamesTheRestOnStandardError) {
    QImage good(120, 90, QImage::Format_RGB32);
    good.fill(Qt::darkCyan);
    ASSERT_TRUE(good.save(data.File(QStringLiteral("good.png"))));
    QImage thin(5, 200, QImage::Format_RGB32);
    thin.fill(Qt::red);
    ASSERT_TRUE(thin.save(data.File(QStringLiteral("thin.png"))));
    ASSERT_TRUE(test::WriteAll(data.File(QStringLiteral("notes.png")), "not a picture"));

    const CliRun run =
        Cli(data.Path(),
            {QStringLiteral("import-photos"), data.File(QStringLiteral("good.png")),
             data.File(QStringLiteral("thin.png")), data.File(QStringLiteral("notes.png"))});
    // An unreadable file is a failure (status 1); the others are still handled.
    EXPECT_EQ(run.status, 1) << run.err.constData();
    EXPECT_TRUE(run.out.contains("added 1, skipped 2")) << run.out.constData();
    EXPECT_TRUE(run.err.contains("thin.png")) << run.err.constData();
    EXPECT_TRUE(run.err.contains("notes.png"));
    const QByteArray skippedLine =
        QByteArray("skipped ").append(data.File(QStringLiteral("thin.png")).toUtf8());
    EXPECT_FALSE(run.out.contains(skippedLine));
    EXPECT_TRUE(QFileInfo::exists(data.File(QStringLiteral("srcmedia.cfg"))));

    // The same picture again is a duplicate.
    const CliRun again =
        Cli(data.Path(), {QStringLiteral("import-photos"), data.File(QStringLiteral("good.png"))});
    EXPECT_TRUE(again.out.contains("added 0, skipped 1")) << again.out.constData();
    // Duplicates and pictures too small are skipped by rule, not failures.
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(Cli(data.Path(), {QStringLiteral("import-photos"),
                                data.File(QStringLiteral("thin.png"))})
                  .status,
              0);
}

TEST_F(CliTest, ImportPhotosTriesEveryFileAfterAMissingOne) {
    QImage good(64, 48, QImage::Format_RGB32);
    good.fill(Qt::darkCyan);
    ASSERT_TRUE(good.save(data.File(QStringLiteral("second.png"))));
    const CliRun run = Cli(data.Path(), {QStringLiteral("import-photos"),
                                         data.File(QStringLiteral("first-gone.png")),
                                         data.File(QStringLiteral("second.png"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.contains("added 1, skipped 1")) << run.out.constData();
    EXPECT_TRUE(run.err.contains("first-gone.png: not found")) << run.err.constData();
}

TEST_F(CliTest, RenderChangesNothingInTheDataDirectoryAndNamesMissingPhotos) {
    // A photo with a custom mask the library already holds: render must not append it again.
    const Guid key = Guid::Create();
    QImage maskPicture(8, 8, QImage::Format_RGB32);
    maskPicture.fill(Qt::black);
    QByteArray maskBytes;
    QBuffer buffer(&maskBytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(maskPicture.save(&buffer, "PNG"));
    const QString library = data.File(QStringLiteral("cusmask.cfg"));
    ASSERT_TRUE(AppendCustomMask(library, 8, 8, key, maskBytes));
    CollageDocument doc;
    PhotoRecord photo;
    WriteFixedText(photo.path, data.File(QStringLiteral("gone.jpg")));
    photo.boxWidth = photo.boxHeight = 100;
    photo.maskId = 29;
    photo.customMask = 1;
    photo.maskKey = key;
    doc.objects.emplace_back(photo);
    doc.CreateRegion(doc.objects.back());
    const QString project = data.File(QStringLiteral("masked.dcf"));
    ASSERT_TRUE(SaveProject(doc, project, library).ok);
    const QByteArray before = test::ReadAll(library);

    for (int i = 0; i < 2; ++i) {
        const CliRun render = Cli(data.Path(), {QStringLiteral("render"), project,
                                                data.File(QStringLiteral("out.png"))});
        EXPECT_EQ(render.status, 0) << render.err.constData();
        EXPECT_TRUE(render.err.contains("gone.jpg")) << render.err.constData();
        const CliRun dump = Cli(data.Path(), {QStringLiteral("dump"), project});
        EXPECT_EQ(dump.status, 0);
    }
    EXPECT_EQ(test::ReadAll(library), before);
}
