// make-pack, import-pack and convert as a user runs them: exit statuses, lines and files.
#include "common/TestSupport.h"
#include "library/packs/ImportedPackList.h"
#include "library/items/MaskLibrary.h"
#include "library/items/PictureList.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace mosaiq;

namespace {

struct CliResult {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

CliResult Cli(const QString& dataDir, const QStringList& args) {
    QProcess process;
    process.setProgram(QStringLiteral(MOSAIQ_CLI_PATH));
    process.setArguments(QStringList{QStringLiteral("--data"), dataDir} + args);
    process.start();
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

class PackCliTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    QString work = data.File(QStringLiteral("work/"));
    QStringList pictures;

    void SetUp() override {
        QDir().mkpath(work);
        ASSERT_EQ(Cli(data.Path(), {QStringLiteral("init")}).status, 0);
        // Five pictures of different kinds and sizes, one with transparency, one a JPEG.
        for (int i = 0; i < 5; ++i) {
            QImage image(100 + 50 * i, 80 + 20 * i, QImage::Format_ARGB32);
            image.fill(QColor::fromHsv(i * 70, 220, 230, i == 2 ? 0 : 255));
            const QString path =
                work + QStringLiteral("pic%1.%2").arg(i).arg(i == 4 ? "jpg" : "png");
            ASSERT_TRUE(image.save(path));
            pictures << path;
        }
    }

    int Count(const char* library) {
        return ReadPictureListCount(data.File(QLatin1String(library)));
    }
};

TEST_F(PackCliTest, EveryKindMadeAndImported) {
    struct Kind {
        const char* name;
        const char* thumbnails;
        const char* full; // nullptr: the kind keeps no full pictures
    };
    const Kind kinds[] = {{"frames", "tbframe.cfg", "frame.cfg"},
                          {"masks", "tbmask.cfg", "mask.cfg"},
                          {"cliparts", "clipart.cfg", nullptr},
                          {"decorations", "decorate_t", "decorate"},
                          {"brushes", "brushs", nullptr}};
    for (const Kind& kind : kinds) {
        const QString pack = work + QLatin1String(kind.name) + QStringLiteral(".irs");
        const CliResult made =
            Cli(data.Path(), QStringList{QStringLiteral("make-pack"), QStringLiteral("--type"),
                                         QLatin1String(kind.name), pack} +
                                 pictures);
        ASSERT_EQ(made.status, 0) << kind.name << made.err.toStdString();
        EXPECT_TRUE(made.out.trimmed().endsWith(QByteArray(" with 5 ").append(kind.name)))
            << kind.name;
        const int before = std::max(0, Count(kind.thumbnails));
        const QByteArray fullBefore =
            kind.full ? test::ReadAll(data.File(QLatin1String(kind.full))) : QByteArray();
        const CliResult imported = Cli(data.Path(), {QStringLiteral("import-pack"), pack});
        ASSERT_EQ(imported.status, 0) << kind.name << imported.err.toStdString();
        const QByteArray line = QByteArray("imported 5 ")
                                    .append(kind.name)
                                    .append(" from ")
                                    .append(kind.name)
                                    .append(".irs");
        EXPECT_TRUE(imported.out.startsWith(line)) << imported.out.toStdString();
        EXPECT_FALSE(imported.out.contains(kind.thumbnails)); // no library file names
        EXPECT_EQ(Count(kind.thumbnails), before + 5) << kind.name;
        if (kind.full) {
            EXPECT_GT(test::ReadAll(data.File(QLatin1String(kind.full))).size(), fullBefore.size());
        }
        // Frames and masks get 120-pixel thumbnails; the other kinds keep the picture's size.
        const std::optional<QImage> last =
            ReadPictureListEntry(data.File(QLatin1String(kind.thumbnails)), before + 4);
        ASSERT_TRUE(last);
        const bool small = QLatin1String(kind.name) == QLatin1String("frames") ||
                           QLatin1String(kind.name) == QLatin1String("masks");
        EXPECT_EQ(last->size(), small ? QSize(120, 64) : QSize(300, 160)) << kind.name;
    }
    // The last mask is readable from both mask libraries.
    const int masks = Count("tbmask.cfg");
    const std::optional<Guid> key = ReadMaskKey(data.File(QStringLiteral("mask.cfg")), masks - 1);
    ASSERT_TRUE(key);
    EXPECT_TRUE(FindCustomMask(data.File(QStringLiteral("cusmask.cfg")), *key));
    EXPECT_EQ(ReadImportedPackNames(data.File(QStringLiteral("Res_Info")))->size(), 5u);
}

TEST_F(PackCliTest, SameNameRefusedOtherNameAccepted) {
    const QString pack = work + QStringLiteral("mine.irs");
    ASSERT_EQ(Cli(data.Path(), {QStringLiteral("make-pack"), QStringLiteral("--type"),
                                QStringLiteral("frames"), QStringLiteral("--window"),
                                QStringLiteral("0.2,0.2,0.8,0.8"), pack, pictures.front()})
                  .status,
              0);
    const CliResult first = Cli(data.Path(), {QStringLiteral("import-pack"), pack});
    ASSERT_EQ(first.status, 0);
    // Named as the user knows them: one frame, from the pack's file name.
    EXPECT_EQ(first.out.trimmed(), QByteArray("imported 1 frame from mine.irs"));
    const QByteArray frames = test::ReadAll(data.File(QStringLiteral("frame.cfg")));
    const CliResult again = Cli(data.Path(), {QStringLiteral("import-pack"), pack});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err.trimmed(), QByteArray("mosaiq-cli: mine.irs is already in the library."));
    EXPECT_EQ(test::ReadAll(data.File(QStringLiteral("frame.cfg"))), frames);
    ASSERT_TRUE(QFile::copy(pack, work + QStringLiteral("copy.irs")));
    EXPECT_EQ(
        Cli(data.Path(), {QStringLiteral("import-pack"), work + QStringLiteral("copy.irs")}).status,
        0);
}

TEST_F(PackCliTest, BadPicturesAndBadPacksWriteNothing) {
    const QString pack = work + QStringLiteral("bad.irs");
    const CliResult made = Cli(data.Path(), {QStringLiteral("make-pack"), QStringLiteral("--type"),
                                             QStringLiteral("cliparts"), pack, pictures.front(),
                                             work + QStringLiteral("missing.png")});
    EXPECT_EQ(made.status, 1);
    EXPECT_TRUE(made.err.contains("missing.png"));
    EXPECT_FALSE(QFileInfo::exists(pack));
    EXPECT_EQ(Cli(data.Path(), {QStringLiteral("make-pack"), QStringLiteral("--type"),
                                QStringLiteral("stickers"), pack, pictures.front()})
                  .status,
              2);
    EXPECT_EQ(Cli(data.Path(), {QStringLiteral("make-pack"), QStringLiteral("--type"),
                                QStringLiteral("frames"), QStringLiteral("--window"),
                                QStringLiteral("0.9,0.1,0.1,0.9"), pack, pictures.front()})
                  .status,
              2);
    ASSERT_TRUE(test::WriteAll(pack, QByteArray()));
    const CliResult empty = Cli(data.Path(), {QStringLiteral("import-pack"), pack});
    EXPECT_EQ(empty.status, 1);
    EXPECT_TRUE(empty.err.contains("bad.irs"));
    EXPECT_FALSE(QFileInfo::exists(data.File(QStringLiteral("Res_Info"))));
}

TEST_F(PackCliTest, MakePackWritesOnlyPacksAndReplacesOnlyPacks) {
    const auto makePack = [&](const QString& out) {
        return Cli(data.Path(), {QStringLiteral("make-pack"), QStringLiteral("--type"),
                                 QStringLiteral("cliparts"), out, pictures.at(1)});
    };
    // The first name is the output: a picture given first is a usage error and stays as it was.
    const QByteArray picture = test::ReadAll(pictures.at(0));
    const CliResult first = makePack(pictures.at(0));
    EXPECT_EQ(first.status, 2);
    EXPECT_TRUE(first.err.contains(".irs")) << first.err.constData();
    EXPECT_EQ(test::ReadAll(pictures.at(0)), picture);

    // Any case of the extension; an earlier pack is replaced.
    const QString pack = work + QStringLiteral("Mine.IRS");
    ASSERT_EQ(makePack(pack).status, 0);
    const QByteArray earlier = test::ReadAll(pack);
    EXPECT_EQ(Cli(data.Path(), {QStringLiteral("make-pack"), QStringLiteral("--type"),
                                QStringLiteral("cliparts"), pack, pictures.at(2)})
                  .status,
              0);
    EXPECT_NE(test::ReadAll(pack), earlier);

    // A file of that name that is not a pack, a folder and a pipe are never replaced.
    const QString notPack = work + QStringLiteral("notes.irs");
    ASSERT_TRUE(test::WriteAll(notPack, "my notes"));
    const CliResult refused = makePack(notPack);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.count('\n'), 1) << refused.err.constData();
    EXPECT_EQ(test::ReadAll(notPack), QByteArray("my notes"));
    const QString folder = work + QStringLiteral("folder.irs");
    QDir().mkpath(folder);
    EXPECT_EQ(makePack(folder).status, 1);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    const QString pipe = work + QStringLiteral("pipe.irs");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(makePack(pipe).status, 1);
    EXPECT_FALSE(QFileInfo(pipe).isFile());
}

TEST_F(PackCliTest, ConvertExitsOneWhenAFileWasLeftOutAfterConvertingTheRest) {
    const CliResult run = Cli(data.Path(), {QStringLiteral("convert"), QStringLiteral("--format"),
                                            QStringLiteral("png"), QStringLiteral("--output"),
                                            work + QStringLiteral("out"), pictures.at(4),
                                            work + QStringLiteral("missing.png"), pictures.at(1)});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains("missing.png"));
    EXPECT_TRUE(QFileInfo::exists(work + QStringLiteral("out/pic4.png")));
    EXPECT_TRUE(QFileInfo::exists(work + QStringLiteral("out/pic1.png")));
    // Converting into the inputs' own folder refuses to replace them.
    const QByteArray original = test::ReadAll(pictures.at(0));
    const CliResult same =
        Cli(data.Path(), {QStringLiteral("convert"), QStringLiteral("--format"),
                          QStringLiteral("PNG"), QStringLiteral("--output"), work, pictures.at(0)});
    EXPECT_EQ(same.status, 1);
    EXPECT_TRUE(same.err.contains("would replace an input"));
    EXPECT_EQ(test::ReadAll(pictures.at(0)), original);
}

} // namespace
