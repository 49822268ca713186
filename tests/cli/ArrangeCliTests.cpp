// mosaiq-cli arrange as a user runs it: the new project it writes, its options and refusals.
#include "canvas/document/CollageDocument.h"
#include "canvas/document/ObjectGeometry.h"
#include "canvas/project/ProjectFile.h"
#include "common/TestSupport.h"
#include "core/text/FixedText.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

struct ArrangeRun {
    int status = -1;
    QString out;
    QString err;
};

class ArrangeCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        const int sizes[][2] = {{300, 200}, {200, 300}, {250, 250}, {400, 100}, {160, 120}};
        int k = 0;
        for (const auto& s : sizes) {
            const QString path = data.File(QStringLiteral("p%1.png").arg(k++));
            QImage image(s[0], s[1], QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            ASSERT_TRUE(image.save(path));
            photos << path;
        }
    }

    ArrangeRun Arrange(const QStringList& args) {
        QProcess process;
        process.setProgram(QStringLiteral(MOSAIQ_CLI_PATH));
        process.setWorkingDirectory(data.Path());
        process.setArguments(
            QStringList{QStringLiteral("--data"), data.Path(), QStringLiteral("arrange")} + args);
        process.start();
        process.waitForFinished(120000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    static QRect Shown(const PhotoRecord& p) {
        const QSize d = DisplayedSize(p.boxWidth, p.boxHeight, p.scale, 1.0f);
        return {p.x, p.y, d.width(), d.height()};
    }

    std::vector<QRect> Boxes(const CollageDocument& doc) {
        std::vector<QRect> boxes;
        for (const CanvasObject& o : doc.objects)
            if (const PhotoRecord* p = o.Photo())
                boxes.push_back(Shown(*p));
        return boxes;
    }

    test::ScopedDataDir data;
    QStringList photos;
};

TEST_F(ArrangeCliTest, NewProjectHoldsEveryReadablePhotoLaidOutAndNamesTheRest) {
    const QString out = data.File(QStringLiteral("out.dcf"));
    QFile junk(data.File(QStringLiteral("junk.jpg")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    const ArrangeRun run =
        Arrange(QStringList{out} + photos +
                QStringList{junk.fileName(), data.File(QStringLiteral("missing.jpg"))});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("junk.jpg")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("missing.jpg")));
    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, out, QString(), CarriedMaskUse::KeepInMemory).ok);
    EXPECT_EQ(doc.width, 1600);
    EXPECT_EQ(doc.height, 1200);
    EXPECT_EQ(doc.backgroundColour, MakeColorref(255, 255, 255));
    const std::vector<QRect> boxes = Boxes(doc);
    ASSERT_EQ(boxes.size(), 5u);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        // Default spacing 12 and margin 12.
        EXPECT_TRUE(QRect(12, 12, 1600 - 24, 1200 - 24).contains(boxes[i])) << i;
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(boxes[i].adjusted(-11, -11, 11, 11).intersects(boxes[j]));
    }
    // A name that looks like an option goes after "--" (names relative to the working folder).
    const QString dashed = data.File(QStringLiteral("--odd.png"));
    ASSERT_TRUE(QFile::copy(photos[0], dashed));
    const ArrangeRun named =
        Arrange({QStringLiteral("--"), QStringLiteral("d.dcf"), QStringLiteral("--odd.png")});
    EXPECT_EQ(named.status, 0) << named.err.toStdString();
    // Given order, the first photo is the first object; paths are absolute.
    EXPECT_EQ(ReadFixedText(doc.objects[0].Photo()->path), photos[0]);
    EXPECT_EQ(doc.objects[3].Photo()->pictureWidth, 400);
}

TEST_F(ArrangeCliTest, OptionsShapeTheProject) {
    const QString a = data.File(QStringLiteral("a.dcf"));
    const QString b = data.File(QStringLiteral("b.dcf"));
    const QString c = data.File(QStringLiteral("c.dcf"));
    ASSERT_EQ(Arrange(QStringList{QStringLiteral("--layout"), QStringLiteral("grid"),
                                  QStringLiteral("--size"), QStringLiteral("1003x801"),
                                  QStringLiteral("--background"), QStringLiteral("#102030"),
                                  QStringLiteral("--seed"), QStringLiteral("7"), a} +
                      photos)
                  .status,
              0);
    ASSERT_EQ(Arrange(QStringList{QStringLiteral("--layout"), QStringLiteral("grid"),
                                  QStringLiteral("--size"), QStringLiteral("1003x801"),
                                  QStringLiteral("--background"), QStringLiteral("#102030"),
                                  QStringLiteral("--seed"), QStringLiteral("7"), b} +
                      photos)
                  .status,
              0);
    EXPECT_EQ(test::ReadAll(a), test::ReadAll(b)); // the same seed, the same project
    ASSERT_EQ(Arrange(QStringList{QStringLiteral("--layout"), QStringLiteral("tree"),
                                  QStringLiteral("--fill"), QStringLiteral("--spacing"),
                                  QStringLiteral("0"), QStringLiteral("--background"),
                                  QStringLiteral("navy"), c} +
                      photos)
                  .status,
              0);
    CollageDocument grid, tree;
    ASSERT_TRUE(LoadProject(grid, a, QString(), CarriedMaskUse::KeepInMemory).ok);
    ASSERT_TRUE(LoadProject(tree, c, QString(), CarriedMaskUse::KeepInMemory).ok);
    EXPECT_EQ(QSize(grid.width, grid.height), QSize(1000, 800));
    EXPECT_EQ(grid.backgroundColour, MakeColorref(0x10, 0x20, 0x30));
    EXPECT_EQ(tree.backgroundColour, MakeColorref(0, 0, 0x80));
    // Fill without spacing or margin: the photos cover nearly all of the canvas.
    double covered = 0;
    for (const QRect& r : Boxes(tree))
        covered += double(r.width()) * r.height();
    EXPECT_GT(covered / (1600.0 * 1200.0), 0.97);
    // A cropped photo's crop stays inside its picture.
    for (const CanvasObject& o : tree.objects) {
        const PhotoRecord& p = *o.Photo();
        EXPECT_GE(p.cropLeft, 0);
        EXPECT_LE(p.cropRight, p.pictureWidth);
        EXPECT_LE(p.cropBottom, p.pictureHeight);
    }
}

TEST_F(ArrangeCliTest, ProjectIsLaidOutAgainInPlace) {
    const QString path = data.File(QStringLiteral("again.dcf"));
    ASSERT_EQ(Arrange(QStringList{path} + photos).status, 0);
    const ArrangeRun run =
        Arrange({QStringLiteral("--in"), path, QStringLiteral("--size"), QStringLiteral("800x2400"),
                 QStringLiteral("--layout"), QStringLiteral("tree"), path});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, path, QString(), CarriedMaskUse::KeepInMemory).ok);
    EXPECT_EQ(QSize(doc.width, doc.height), QSize(800, 2400));
    for (const QRect& r : Boxes(doc))
        EXPECT_TRUE(QRect(12, 12, 800 - 24, 2400 - 24).contains(r));
}

TEST_F(ArrangeCliTest, TheLayoutIsKeptWithRoundedCornersAndDumped) {
    const QString out = data.File(QStringLiteral("living.dcf"));
    const ArrangeRun run = Arrange(
        QStringList{QStringLiteral("--fill"), QStringLiteral("--spacing"), QStringLiteral("0"),
                    QStringLiteral("--margin"), QStringLiteral("0"),
                    QStringLiteral("--corner-radius"), QStringLiteral("12"),
                    QStringLiteral("--centre"), QStringLiteral("--layout"),
                    QStringLiteral("tree"), out} +
        photos);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // Measured on the exact edges it draws: nothing of the canvas is left.
    EXPECT_TRUE(run.out.contains(QStringLiteral("100 % covered"))) << run.out.toStdString();
    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, out, QString(), CarriedMaskUse::KeepInMemory).ok);
    ASSERT_EQ(doc.layout.CellCount(), 5);
    EXPECT_DOUBLE_EQ(doc.layout.cornerRadius, 12.0);
    EXPECT_TRUE(doc.layout.fill);
    for (std::size_t i = 0; i < doc.objects.size(); ++i) {
        EXPECT_EQ(doc.objects[i].layoutCell, int(i)); // given order, one cell each
        // Centred crops: the crop's middle is the picture's.
        const PhotoRecord& p = *doc.objects[i].Photo();
        EXPECT_NEAR(p.cropLeft + p.cropRight, p.pictureWidth, 1);
        EXPECT_NEAR(p.cropTop + p.cropBottom, p.pictureHeight, 1);
    }

    QProcess dump;
    dump.start(QStringLiteral(MOSAIQ_CLI_PATH),
               {QStringLiteral("--data"), data.Path(), QStringLiteral("dump"), out});
    ASSERT_TRUE(dump.waitForFinished(60000));
    const QJsonObject layout =
        QJsonDocument::fromJson(dump.readAllStandardOutput()).object().value("layout").toObject();
    EXPECT_EQ(layout.value("family").toString(), QStringLiteral("tree"));
    EXPECT_EQ(layout.value("spacing").toDouble(), 0.0);
    EXPECT_EQ(layout.value("margin").toDouble(), 0.0);
    EXPECT_EQ(layout.value("cornerRadius").toDouble(), 12.0);
    EXPECT_TRUE(layout.value("fill").toBool());
    const QJsonArray cells = layout.value("cells").toArray();
    ASSERT_EQ(cells.size(), 5);
    for (int c = 0; c < cells.size(); ++c) {
        const QJsonObject cell = cells[c].toObject();
        EXPECT_EQ(cell.value("object").toInt(), c);
        EXPECT_DOUBLE_EQ(cell.value("width").toDouble(), doc.layout.cells[size_t(c)].width());
        EXPECT_TRUE(cell.contains("x") && cell.contains("y") && cell.contains("height"));
    }

    // Laid out again, a photo the user panned keeps its pan where the new cell allows.
    PhotoRecord& first = *doc.objects[0].Photo();
    const int shift = std::min(first.cropLeft, 20);
    first.cropLeft -= shift;
    first.cropRight -= shift;
    const double centre = (first.cropLeft + first.cropRight) / 2.0;
    ASSERT_TRUE(SaveProject(doc, out).ok);
    ASSERT_EQ(Arrange({QStringLiteral("--in"), out, QStringLiteral("--layout"),
                       QStringLiteral("tree"), QStringLiteral("--fill"), out})
                  .status,
              0);
    CollageDocument again;
    ASSERT_TRUE(LoadProject(again, out, QString(), CarriedMaskUse::KeepInMemory).ok);
    const PhotoRecord& kept = *again.objects[0].Photo();
    const int half = (kept.cropRight - kept.cropLeft) / 2;
    EXPECT_NEAR((kept.cropLeft + kept.cropRight) / 2.0,
                std::clamp(centre, double(half), double(kept.pictureWidth - half)), 1.0);
}

TEST_F(ArrangeCliTest, RefusesWhatItCannotDo) {
    const QString out = data.File(QStringLiteral("r.dcf"));
    const QList<QStringList> usage = {
        {QStringLiteral("--layout"), QStringLiteral("spiral"), out, photos[0]},
        {QStringLiteral("--size"), QStringLiteral("9000x100"), out, photos[0]},
        {QStringLiteral("--size"), QStringLiteral("big"), out, photos[0]},
        {QStringLiteral("--spacing"), QStringLiteral("-3"), out, photos[0]},
        {QStringLiteral("--corner-radius"), QStringLiteral("-1"), out, photos[0]},
        {QStringLiteral("--corner-radius"), QStringLiteral("round"), out, photos[0]},
        {QStringLiteral("--background"), QStringLiteral("nocolour"), out, photos[0]},
        {QStringLiteral("--seed")},
        {out},
        {QStringLiteral("--in"), out, out, photos[0]},
        {QStringLiteral("--bogus"), out, photos[0]},
    };
    for (const QStringList& args : usage) {
        const ArrangeRun run = Arrange(args);
        EXPECT_EQ(run.status, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("usage")));
    }
    EXPECT_EQ(Arrange({data.File(QStringLiteral("r.png")), photos[0]}).status, 1);
    // Nothing readable: nothing written.
    EXPECT_EQ(Arrange({out, data.File(QStringLiteral("none.jpg"))}).status, 1);
    EXPECT_FALSE(QFile::exists(out));
    // A margin that leaves no room is a failure, not an empty project.
    EXPECT_EQ(Arrange({QStringLiteral("--margin"), QStringLiteral("900"), out, photos[0]}).status,
              1);
    EXPECT_FALSE(QFile::exists(out));
    // The output named among the photos is left out and named; the rest are arranged.
    const ArrangeRun self = Arrange({out, photos[0], out});
    EXPECT_EQ(self.status, 1);
    EXPECT_TRUE(self.err.contains(QStringLiteral("r.dcf")));
    CollageDocument doc;
    ASSERT_TRUE(LoadProject(doc, out, QString(), CarriedMaskUse::KeepInMemory).ok);
    EXPECT_EQ(doc.objects.size(), 1u);
}

} // namespace
