// mosaiq-cli handed what users' disks and other programs hand it: pipes, devices, decode bombs,
// damaged lists, unreadable files and names that are not UTF-8. Each case ends with exit 1 and
// one line, or succeeds, and never changes the files it was given.
#include "common/TestSupport.h"
#include "imaging/PngTestWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace mosaiq;

namespace {

struct CliResult {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the program through the shell, so arguments can hold bytes QString cannot; prefix goes
// before the program (an environment assignment or setpriv).
CliResult Shell(const QString& script, const QStringList& environment = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("MOSAIQ_DEBUG_LOG"));
    for (const QString& assignment : environment)
        env.insert(assignment.section(QLatin1Char('='), 0, 0),
                   assignment.section(QLatin1Char('='), 1));
    env.insert(QStringLiteral("CLI"), QStringLiteral(MOSAIQ_CLI_PATH));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QString Quoted(const QString& path) {
    return QLatin1Char('\'') + path + QLatin1Char('\'');
}

class HostileCli : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    QString out = data.File(QStringLiteral("out"));

    CliResult Convert(const QString& input, const QStringList& environment = {}) {
        return Shell(QStringLiteral("exec \"$CLI\" --data %1 convert --format PNG --output %2 %3")
                         .arg(Quoted(data.Path()), Quoted(out), Quoted(input)),
                     environment);
    }
    // Exit 1, exactly one line on standard error naming the input, nothing written.
    void ExpectCleanFailure(const CliResult& run, const QString& input) {
        EXPECT_EQ(run.status, 1) << run.err.constData();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
        EXPECT_TRUE(run.err.contains(input.toUtf8())) << run.err.constData();
        EXPECT_TRUE(QDir(out).entryList(QDir::Files).isEmpty());
    }
};

TEST_F(HostileCli, PipesAndDevicesFailAtOnce) {
    const QString pipe = data.File(QStringLiteral("p.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ExpectCleanFailure(Convert(pipe), pipe);
    // A device node of the zero device's numbers, made here (as root only).
    const QString zero = data.File(QStringLiteral("zero.png"));
    if (::mknod(QFile::encodeName(zero).constData(), S_IFCHR | 0600, makedev(1, 5)) == 0) {
        ExpectCleanFailure(Convert(zero), zero);
    }

    const QString project = data.File(QStringLiteral("p.dcf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(project).constData(), 0600), 0);
    const CliResult dump = Shell(QStringLiteral("exec \"$CLI\" --data %1 dump %2")
                                     .arg(Quoted(data.Path()), Quoted(project)));
    EXPECT_EQ(dump.status, 1);
    EXPECT_EQ(dump.err.count('\n'), 1) << dump.err.constData();

    // The photo list as a pipe: refused, and left where it is.
    const QString list = data.File(QStringLiteral("srcmedia.cfg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(list).constData(), 0600), 0);
    ASSERT_TRUE(QImage(20, 20, QImage::Format_RGB32).save(data.File(QStringLiteral("a.png"))));
    const CliResult import = Shell(QStringLiteral("exec \"$CLI\" --data %1 import-photos %2")
                                       .arg(Quoted(data.Path()), Quoted(data.File("a.png"))));
    EXPECT_EQ(import.status, 1);
    EXPECT_EQ(import.err.count('\n'), 1) << import.err.constData();
    EXPECT_TRUE(import.out.isEmpty());
    EXPECT_FALSE(QFileInfo(list).isFile());
    EXPECT_TRUE(QFileInfo::exists(list));
}

TEST_F(HostileCli, SavesNeverReplaceAPipeADeviceOrAFolderAndFollowLinks) {
    const QString project = data.File(QStringLiteral("p.dcf"));
    QByteArray header(280, '\0');
    header[1] = 1; // 256 x 256
    header[5] = 1;
    ASSERT_TRUE(test::WriteAll(project, header));
    const QString pipe = data.File(QStringLiteral("pipe.dcf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString folder = data.File(QStringLiteral("folder.png"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QStringList targets = {pipe, folder};
    const QString device = data.File(QStringLiteral("full.dcf"));
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 7)) == 0)
        targets << device;
    for (const QString& target : targets) {
        const bool picture = target.endsWith(QLatin1String(".png"));
        const CliResult run =
            Shell(QStringLiteral("exec \"$CLI\" --data %1 %2 %3 %4")
                      .arg(Quoted(data.Path()),
                           picture ? QStringLiteral("render") : QStringLiteral("resave"),
                           Quoted(project), Quoted(target)));
        EXPECT_EQ(run.status, 1) << target.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
        EXPECT_TRUE(run.err.contains(target.toUtf8())) << run.err.constData();
        EXPECT_FALSE(QFileInfo(target).isFile()) << target.toStdString();
        EXPECT_TRUE(QFileInfo::exists(target));
    }
    // A link to a regular file: the file gets the project and the link stays.
    const QString real = data.File(QStringLiteral("real.dcf"));
    ASSERT_TRUE(test::WriteAll(real, "old"));
    const QString link = data.File(QStringLiteral("link.dcf"));
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_EQ(Shell(QStringLiteral("exec \"$CLI\" --data %1 resave %2 %3")
                        .arg(Quoted(data.Path()), Quoted(project), Quoted(link)))
                  .status,
              0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(test::ReadAll(real), header);
}

TEST_F(HostileCli, DecodeBombsAndDamagedPicturesSayOneLineAndNoMore) {
    // A PNG claiming 16,000 x 16,000 pixels over a few kilobytes of garbage.
    test::PngLayout huge;
    huge.width = huge.height = 16000;
    QByteArray garbage(40 * 1024, 0);
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 131 + 7) % 251);
    const QString bomb = data.File(QStringLiteral("bomb.png"));
    ASSERT_TRUE(test::WriteAll(bomb, test::MakePng(huge, &garbage)));
    const CliResult bombRun = Convert(bomb);
    ExpectCleanFailure(bombRun, bomb);
    EXPECT_TRUE(bombRun.err.contains("image data")) << bombRun.err.constData();

    // A header whose checksum is wrong: the decoder's own complaint goes to the debug log only.
    test::PngLayout small;
    small.width = small.height = 4;
    small.samples.assign(4 * 4 * 3, 200);
    QByteArray damaged = test::MakePng(small);
    damaged[8 + 8 + 13] = char(damaged[8 + 8 + 13] ^ 0x55); // the IHDR checksum
    const QString crc = data.File(QStringLiteral("crc.png"));
    ASSERT_TRUE(test::WriteAll(crc, damaged));
    const QString log = data.File(QStringLiteral("debug.log"));
    ExpectCleanFailure(Convert(crc, {QStringLiteral("MOSAIQ_DEBUG_LOG=") + log}), crc);
    EXPECT_FALSE(test::ReadAll(log).isEmpty());
    EXPECT_EQ(test::ReadAll(crc), damaged);
}

TEST_F(HostileCli, EffectsAndPacksRefusePicturesPastTheirBudgetNamingIt) {
    // Black one-bit pictures of a few kilobytes: 9000 x 9000 (81 megapixels) and 4000 x 4001.
    const auto black = [&](const QString& name, int w, int h) {
        test::PngLayout layout;
        layout.width = w;
        layout.height = h;
        layout.bitDepth = 1;
        layout.colourType = 0;
        const QByteArray rows =
            test::Deflated(QByteArray(qsizetype(h) * (1 + (w + 7) / 8), '\0'));
        const QString path = data.File(name);
        EXPECT_TRUE(test::WriteAll(path, test::MakePng(layout, &rows)));
        return path;
    };
    const QString effectBomb = black(QStringLiteral("e.png"), 9000, 9000);
    const CliResult effect =
        Shell(QStringLiteral("exec \"$CLI\" --data %1 effect mean %2 %3")
                  .arg(Quoted(data.Path()), Quoted(effectBomb), Quoted(data.File("o.png"))));
    EXPECT_EQ(effect.status, 1);
    EXPECT_EQ(effect.err.count('\n'), 1) << effect.err.constData();
    EXPECT_TRUE(effect.err.contains("an effect's picture")) << effect.err.constData();
    EXPECT_FALSE(QFileInfo::exists(data.File("o.png")));

    const QString packBomb = black(QStringLiteral("p.png"), 4000, 4001);
    const CliResult pack =
        Shell(QStringLiteral("exec \"$CLI\" --data %1 make-pack --type masks %2 %3")
                  .arg(Quoted(data.Path()), Quoted(data.File("m.irs")), Quoted(packBomb)));
    EXPECT_EQ(pack.status, 1);
    EXPECT_EQ(pack.err.count('\n'), 1) << pack.err.constData();
    EXPECT_TRUE(pack.err.contains("a pack item's picture")) << pack.err.constData();
    EXPECT_FALSE(QFileInfo::exists(data.File("m.irs")));
}

TEST_F(HostileCli, NamesThatAreNotUtf8AreRefusedAndNoOtherPathIsUsed) {
    // "café.png" with the é as one Windows-1252 byte.
    const QByteArray name = QFile::encodeName(data.Path()) + "caf\xE9.png";
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const QString escaped = data.Path() + QStringLiteral("caf\\351.png");
    for (const QString& script :
         {QStringLiteral(
              "exec \"$CLI\" --data %1 convert --format PNG --output %2 \"$(printf %3)\"")
              .arg(Quoted(data.Path()), Quoted(out), Quoted(escaped)),
          QStringLiteral(
              "exec \"$CLI\" --data %1 convert --format PNG --output \"$(printf %2)\" %3")
              .arg(Quoted(data.Path()), Quoted(data.Path() + QStringLiteral("o\\377")),
                   Quoted(data.File(QStringLiteral("x.png")))),
          QStringLiteral("exec \"$CLI\" --data \"$(printf %1)\" init")
              .arg(Quoted(data.Path() + QStringLiteral("d\\351")))}) {
        const CliResult run = Shell(script);
        EXPECT_EQ(run.status, 1) << script.toStdString() << run.err.constData();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
        EXPECT_TRUE(run.err.contains("not valid UTF-8")) << run.err.constData();
    }
    // Nothing was made under another name: only the picture and the data files that were there.
    QDir dir(data.Path());
    EXPECT_FALSE(dir.exists(QStringLiteral("out")));
    for (const QString& entry : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        EXPECT_FALSE(entry.startsWith(QLatin1Char('o')) || entry.startsWith(QLatin1Char('d')))
            << entry.toStdString();
    // Qt could not remove the name with the temporary folder.
    EXPECT_EQ(::unlink(name.constData()), 0);
}

TEST_F(HostileCli, ANameThatIsNotUtf8IsSkippedAndTheRestOfTheBatchDone) {
    // Six pictures; the second and the fifth have a Windows-1252 byte in their names.
    for (int i = 0; i < 6; ++i) {
        const bool bad = i == 1 || i == 4;
        const QByteArray name = QFile::encodeName(data.Path()) + (bad ? "in\xE9" : "in") +
                                QByteArray::number(i) + ".png";
        QImage picture(12 + i, 10, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            ASSERT_TRUE(picture.save(&buffer, "PNG"));
        }
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, png.constData(), size_t(png.size())), ssize_t(png.size()));
        ::close(fd);
    }
    const CliResult convert =
        Shell(QStringLiteral("cd %1 && exec \"$CLI\" --data %1 convert --format PNG --output %2 in*")
                  .arg(Quoted(data.Path()), Quoted(out)));
    EXPECT_EQ(convert.status, 1);
    EXPECT_EQ(convert.err.count('\n'), 2) << convert.err.constData();
    EXPECT_TRUE(convert.err.contains("in\\xE91.png")) << convert.err.constData();
    EXPECT_TRUE(convert.err.contains("in\\xE94.png")) << convert.err.constData();
    EXPECT_TRUE(convert.out.contains("converted 4, skipped 2")) << convert.out.constData();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 4);

    const CliResult import = Shell(
        QStringLiteral("cd %1 && exec \"$CLI\" --data %1 import-photos in*").arg(Quoted(data.Path())));
    EXPECT_EQ(import.status, 1);
    EXPECT_EQ(import.err.count('\n'), 2) << import.err.constData();
    EXPECT_TRUE(import.out.contains("added 4, skipped 2")) << import.out.constData();

    // Where one name is the whole input, as for a project, the command is refused.
    const CliResult resave =
        Shell(QStringLiteral("cd %1 && exec \"$CLI\" --data %1 resave in*1.png x.dcf").arg(Quoted(data.Path())));
    EXPECT_EQ(resave.status, 1);
    EXPECT_TRUE(resave.err.contains("not valid UTF-8")) << resave.err.constData();
    for (int i : {1, 4}) {
        const QByteArray name =
            QFile::encodeName(data.Path()) + "in\xE9" + QByteArray::number(i) + ".png";
        EXPECT_EQ(::unlink(name.constData()), 0); // Qt could not remove it with the folder
    }
}

// A list of three photos, imported by the program itself.
class PhotoListCli : public HostileCli {
protected:
    QString list = data.File(QStringLiteral("srcmedia.cfg"));

    CliResult Import(const QString& picture, const QString& prefix = QString()) {
        return Shell(QStringLiteral("exec %1 \"$CLI\" --data %2 import-photos %3")
                         .arg(prefix, Quoted(data.Path()), Quoted(picture)));
    }
    QString Picture(const QString& name, int width) {
        const QString path = data.File(name);
        QImage image(width, 30, QImage::Format_RGB32);
        image.fill(Qt::darkYellow);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    void SetUp() override {
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(Import(Picture(QStringLiteral("p%1.png").arg(i), 30 + i)).status, 0);
    }
};

TEST_F(PhotoListCli, AListThatCannotBeReadIsNeverReplaced) {
    const QByteArray before = test::ReadAll(list);
    ASSERT_EQ(::chmod(QFile::encodeName(list).constData(), 0200), 0);
    const QString extra = Picture(QStringLiteral("extra.png"), 40);
    // Root reads any file: run the program as another user who cannot.
    QString prefix;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chmod(QFile::encodeName(data.Path()).constData(), 0755), 0);
        prefix = QStringLiteral("setpriv --reuid=65534 --regid=65534 --clear-groups");
    }
    const CliResult run = Import(extra, prefix);
    EXPECT_EQ(run.status, 1) << run.err.constData();
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
    EXPECT_TRUE(run.err.contains(list.toUtf8())) << run.err.constData();
    EXPECT_TRUE(run.out.isEmpty());
    ::chmod(QFile::encodeName(list).constData(), 0600);
    EXPECT_EQ(test::ReadAll(list), before);
}

TEST_F(PhotoListCli, ADamagedListIsKeptAsideAndItsRecordsRecovered) {
    QByteArray damaged = test::ReadAll(list);
    damaged.replace(0, 4, QByteArray(4, '\0')); // what a save cut short leaves
    ASSERT_TRUE(test::WriteAll(list, damaged));
    const CliResult run = Import(Picture(QStringLiteral("extra.png"), 40));
    EXPECT_EQ(run.status, 0) << run.err.constData();
    EXPECT_TRUE(run.err.contains(".damaged")) << run.err.constData();
    EXPECT_TRUE(run.out.contains("4 photos")) << run.out.constData();
    EXPECT_EQ(test::ReadAll(list + QStringLiteral(".damaged")), damaged);
}

} // namespace
