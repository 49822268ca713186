// mosaiq-cli effect, calendar and wallpaper as a user runs them.
#include "canvas/document/CollageDocument.h"
#include "canvas/project/ProjectFile.h"
#include "common/TestSupport.h"
#include "imaging/magick/ImageLibrary.h"
#include "imaging/magick/PhotoEffect.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

class CliEffectsTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

    Outcome Cli(const QStringList& args) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProgram(QStringLiteral(MOSAIQ_CLI_PATH));
        process.setArguments(QStringList{QStringLiteral("--data"), data.Path()} + args);
        process.start();
        process.waitForFinished(120000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), process.readAllStandardError()};
    }
    QString File(const char* name) const { return data.File(QLatin1String(name)); }
};

QImage Picture() {
    QImage image(30, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            image.setPixel(x, y, qRgb(x * 8, y * 12, (x ^ y) * 9));
    return image;
}

} // namespace

TEST_F(CliEffectsTest, EffectWritesTheFilteredPicture) {
    ASSERT_TRUE(Picture().save(File("in.png")));
    const Outcome ok = Cli({QStringLiteral("effect"), QStringLiteral("Sharpen"), File("in.png"), File("out.png")});
    ASSERT_EQ(ok.status, 0) << ok.err.toStdString();
    LibraryImage expected = LibraryImage::FromImage(Picture());
    ASSERT_TRUE(ApplyPhotoEffect(expected, PhotoEffect::Sharpen));
    const QImage written = QImage(File("out.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(written.size(), QSize(30, 20));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(written.pixel(x, y), expected.ToImage().pixel(x, y)) << x << "," << y;

    EXPECT_EQ(Cli({QStringLiteral("effect"), QStringLiteral("sepia"), File("in.png"), File("o.png")}).status, 2);
    EXPECT_EQ(Cli({QStringLiteral("effect"), QStringLiteral("blur"), File("in.png")}).status, 2);
    ASSERT_TRUE(test::WriteAll(File("broken.png"), "not a picture"));
    const Outcome bad = Cli({QStringLiteral("effect"), QStringLiteral("blur"), File("broken.png"), File("o.png")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err.count('\n'), 1) << bad.err.toStdString();
    EXPECT_FALSE(QFile::exists(File("o.png")));
    // An output that cannot be written (a path through a regular file).
    EXPECT_EQ(Cli({QStringLiteral("effect"), QStringLiteral("blur"), File("in.png"), File("in.png/x.png")}).status, 1);
}

TEST_F(CliEffectsTest, CalendarWritesTheTransparentMonth) {
    const Outcome ok = Cli({QStringLiteral("calendar"), QStringLiteral("2010"), QStringLiteral("9"), File("cal.png")});
    ASSERT_EQ(ok.status, 0) << ok.err.toStdString();
    EXPECT_TRUE(ok.out.contains("September, 2010"));
    const QImage cal(File("cal.png"));
    ASSERT_EQ(cal.size(), QSize(260, 260));
    EXPECT_TRUE(cal.hasAlphaChannel());
    EXPECT_EQ(qAlpha(cal.pixel(257, 10)), 0);
    for (const char* year : {"0", "10000", "-5", "year"})
        EXPECT_EQ(Cli({QStringLiteral("calendar"), QLatin1String(year), QStringLiteral("1"), File("c.png")}).status, 2)
            << year;
    EXPECT_EQ(Cli({QStringLiteral("calendar"), QStringLiteral("2000"), QStringLiteral("13"), File("c.png")}).status, 2);
    EXPECT_EQ(Cli({QStringLiteral("calendar"), QStringLiteral("987"), QStringLiteral("5"), File("c.png")}).status, 0);
}

TEST_F(CliEffectsTest, WallpaperSetAndRestoreWithTheDesktopsTool) {
    QTemporaryDir home;
    const QString bin = home.filePath(QStringLiteral("bin")), state = home.filePath(QStringLiteral("state"));
    QDir().mkpath(bin);
    QDir().mkpath(state);
    ASSERT_TRUE(test::WriteAll(bin + QStringLiteral("/gsettings"),
                               "#!/bin/sh\nf=\"$FAKE_STATE/$3\"\ncase \"$1\" in\n"
                               "list-keys) echo picture-uri; echo picture-options ;;\n"
                               "get) cat \"$f\" ;;\nset) printf '%s\\n' \"$4\" > \"$f\" ;;\nesac\n"));
    QFile::setPermissions(bin + QStringLiteral("/gsettings"), QFile::ReadOwner | QFile::ExeOwner);
    ASSERT_TRUE(test::WriteAll(state + QStringLiteral("/picture-uri"), "'file:///old.jpg'\n"));
    ASSERT_TRUE(test::WriteAll(state + QStringLiteral("/picture-options"), "'zoom'\n"));
    env.insert(QStringLiteral("PATH"), bin + QStringLiteral(":/usr/bin:/bin"));
    env.insert(QStringLiteral("FAKE_STATE"), state);
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("share")));

    EXPECT_EQ(Cli({QStringLiteral("wallpaper"), QStringLiteral("restore")}).status, 1); // nothing kept yet
    CollageDocument doc;
    doc.width = 320;
    doc.height = 200;
    ASSERT_TRUE(SaveProject(doc, File("wall.dcf")).ok);
    const Outcome set = Cli({QStringLiteral("wallpaper"), QStringLiteral("set"), File("wall.dcf")});
    ASSERT_EQ(set.status, 0) << set.err.toStdString();
    EXPECT_TRUE(test::ReadAll(state + QStringLiteral("/picture-uri")).contains("Vitrine%20Wallpaper.bmp"));
    EXPECT_EQ(QImage(home.filePath(QStringLiteral("share/mosaiq/Vitrine Wallpaper.bmp"))).size(), QSize(320, 200));
    EXPECT_TRUE(QFile::exists(File("settings.ini")));
    EXPECT_EQ(Cli({QStringLiteral("wallpaper"), QStringLiteral("restore")}).status, 0);
    EXPECT_EQ(test::ReadAll(state + QStringLiteral("/picture-uri")), "'file:///old.jpg'\n");

    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("sway"));
    const Outcome unsupported = Cli({QStringLiteral("wallpaper"), QStringLiteral("set"), File("wall.dcf")});
    EXPECT_EQ(unsupported.status, 1);
    EXPECT_TRUE(unsupported.err.contains("not set"));
    EXPECT_EQ(Cli({QStringLiteral("wallpaper"), QStringLiteral("set")}).status, 2);
    EXPECT_EQ(Cli({QStringLiteral("wallpaper"), QStringLiteral("set"), File("missing.dcf")}).status, 1);
}
