// The wallpaper setter against fake desktop tools put first on PATH. The fakes keep each setting
// in a file of a state directory and log every call.
#include "platform/WallpaperSetter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace mosaiq;

namespace {

// gsettings: state/<schema>/<key> files; "fail-<key>" refuses setting that key.
constexpr char kFakeGsettings[] = R"sh(#!/bin/sh
state="$MOSAIQ_FAKE_STATE"
echo "gsettings $*" >> "$state/log"
case "$1" in
  list-keys) ls "$state/$2" ;;
  get) [ -f "$state/$2/$3" ] || { echo "No such key" >&2; exit 1; }; cat "$state/$2/$3" ;;
  set) [ -f "$state/$2/$3" ] || { echo "No such key" >&2; exit 1; }
       [ -f "$state/fail-$3" ] && { echo "the key is locked" >&2; exit 1; }
       printf '%s\n' "$4" > "$state/$2/$3" ;;
esac
)sh";

// xfconf-query -c xfce4-desktop: state/xfce/<property with / as _> files.
constexpr char kFakeXfconf[] = R"sh(#!/bin/sh
state="$MOSAIQ_FAKE_STATE"
echo "xfconf-query $*" >> "$state/log"
if [ "$3" = "-l" ]; then for f in "$state"/xfce/*; do basename "$f" | tr '_' '/'; done; exit 0; fi
file="$state/xfce/$(echo "$4" | tr '/' '_')"
if [ "$5" = "-s" ]; then printf '%s\n' "$6" > "$file"; else cat "$file"; fi
)sh";

class WallpaperTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray oldPath = qgetenv("PATH");

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(Bin());
        QDir().mkpath(State());
        Tool(QStringLiteral("gsettings"), kFakeGsettings);
        Tool(QStringLiteral("xfconf-query"), kFakeXfconf);
        qputenv("PATH", Bin().toLocal8Bit() + ":/usr/bin:/bin");
        qputenv("MOSAIQ_FAKE_STATE", State().toLocal8Bit());
    }
    void TearDown() override {
        qputenv("PATH", oldPath);
        qunsetenv("MOSAIQ_FAKE_STATE");
    }

    QString Bin() const { return dir.filePath(QStringLiteral("bin")); }
    QString State() const { return dir.filePath(QStringLiteral("state")); }
    QString Settings() const { return dir.filePath(QStringLiteral("settings.ini")); }
    QString Wallpaper() const { return dir.filePath(QStringLiteral("data/Vitrine Wallpaper.bmp")); }

    void Tool(const QString& name, const char* script) {
        QFile file(QDir(Bin()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script);
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void Put(const QString& relative, const QString& value) {
        const QString path = QDir(State()).filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(value.toUtf8() + '\n');
    }
    QString Get(const QString& relative) const {
        QFile file(QDir(State()).filePath(relative));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                              : QString();
    }
    void GnomeDesktop() {
        Put(QStringLiteral("org.gnome.desktop.background/picture-uri"),
            QStringLiteral("'file:///old/day.jpg'"));
        Put(QStringLiteral("org.gnome.desktop.background/picture-uri-dark"),
            QStringLiteral("'file:///old/night.jpg'"));
        Put(QStringLiteral("org.gnome.desktop.background/picture-options"),
            QStringLiteral("'zoom'"));
    }
};

} // namespace

TEST(WallpaperDesktop, ChosenFromTheDesktopName) {
    const std::pair<const char*, DesktopKind> cases[] = {
        {"GNOME", DesktopKind::Gnome},    {"ubuntu:GNOME", DesktopKind::Gnome},
        {"Unity", DesktopKind::Gnome},    {"Budgie:GNOME", DesktopKind::Gnome},
        {"Pantheon", DesktopKind::Gnome}, {"X-Cinnamon", DesktopKind::Cinnamon},
        {"MATE", DesktopKind::Mate},      {"XFCE", DesktopKind::Xfce},
        {"KDE", DesktopKind::Kde},        {"sway", DesktopKind::Unsupported},
        {"", DesktopKind::Unsupported},   {"foo:xfce", DesktopKind::Xfce},
    };
    for (const auto& [name, kind] : cases)
        EXPECT_EQ(DesktopFromName(QLatin1String(name)), kind) << name;
}

TEST_F(WallpaperTest, GnomeSetKeepsTheEarlierWallpaperForALaterRestore) {
    GnomeDesktop();
    {
        WallpaperSetter setter(DesktopKind::Gnome, Settings());
        EXPECT_FALSE(setter.HasPrevious());
        const WallpaperResult r = setter.Set(Wallpaper(), WallpaperArrangement::Stretched);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        const QString uri = QStringLiteral("'file://%1'")
                                .arg(dir.path() + QStringLiteral("/data/Vitrine%20Wallpaper.bmp"));
        EXPECT_EQ(Get(QStringLiteral("org.gnome.desktop.background/picture-uri")), uri);
        EXPECT_EQ(Get(QStringLiteral("org.gnome.desktop.background/picture-uri-dark")), uri);
        EXPECT_EQ(Get(QStringLiteral("org.gnome.desktop.background/picture-options")),
                  QStringLiteral("'stretched'"));
        // Setting ours again keeps what was there before the first time.
        ASSERT_TRUE(setter.Set(Wallpaper(), WallpaperArrangement::Tiled).ok);
        EXPECT_EQ(Get(QStringLiteral("org.gnome.desktop.background/picture-options")),
                  QStringLiteral("'wallpaper'"));
    }
    // A later run puts the earlier wallpaper back.
    WallpaperSetter later(DesktopKind::Gnome, Settings());
    ASSERT_TRUE(later.HasPrevious());
    const WallpaperResult r = later.Restore();
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(Get(QStringLiteral("org.gnome.desktop.background/picture-uri")),
              QStringLiteral("'file:///old/day.jpg'"));
    EXPECT_EQ(Get(QStringLiteral("org.gnome.desktop.background/picture-uri-dark")),
              QStringLiteral("'file:///old/night.jpg'"));
    EXPECT_EQ(Get(QStringLiteral("org.gnome.desktop.background/picture-options")),
              QStringLiteral("'zoom'"));
}

TEST_F(WallpaperTest, FailingSetterChangesNothing) {
    GnomeDesktop();
    Put(QStringLiteral("fail-picture-options"), QString());
    WallpaperSetter setter(DesktopKind::Gnome, Settings());
    const WallpaperResult r = setter.Set(Wallpaper(), WallpaperArrangement::Centred);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QLatin1String("locked"))) << r.error.toStdString();
    // The keys set before the failing one were put back, and nothing was kept to restore.
    EXPECT_EQ(Get(QStringLiteral("org.gnome.desktop.background/picture-uri")),
              QStringLiteral("'file:///old/day.jpg'"));
    EXPECT_EQ(Get(QStringLiteral("org.gnome.desktop.background/picture-uri-dark")),
              QStringLiteral("'file:///old/night.jpg'"));
    EXPECT_FALSE(setter.HasPrevious());
    EXPECT_FALSE(setter.Restore().ok);
}

TEST_F(WallpaperTest, ASettingsFileThatCannotKeepTheRecordStopsSetBeforeAnythingChanges) {
    GnomeDesktop();
    const QString settings = Settings();
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
    QDir().mkpath(elsewhere);
    const std::vector<std::pair<const char*, std::function<bool()>>> cases = {
        {"a pipe", [&] { return ::mkfifo(QFile::encodeName(settings).constData(), 0600) == 0; }},
        {"a folder", [&] { return QDir().mkpath(settings); }},
        {"a link to a device",
         [&] {
             const QString node = elsewhere + QStringLiteral("/null");
             if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
                 return false; // not root: nothing to try
             return QFile::link(node, settings);
         }},
        {"a link to nothing",
         [&] { return QFile::link(elsewhere + QStringLiteral("/gone.ini"), settings); }},
        {"a list claiming 2^31 - 1 items",
         [&] {
             QFile file(settings);
             return file.open(QIODevice::WriteOnly) &&
                    file.write("[Wallpaper]\nkeys=@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)\n"
                               "values=a\n") > 0;
         }},
    };
    for (const auto& [what, make] : cases) {
        QFile::remove(settings);
        QDir(settings).removeRecursively();
        if (!make())
            continue;
        WallpaperSetter setter(DesktopKind::Gnome, settings);
        const WallpaperResult r = setter.Set(Wallpaper(), WallpaperArrangement::Centred);
        EXPECT_FALSE(r.ok) << what;
        EXPECT_TRUE(r.error.contains(settings)) << what << ": " << r.error.toStdString();
        EXPECT_EQ(Get(QStringLiteral("org.gnome.desktop.background/picture-uri")),
                  QStringLiteral("'file:///old/day.jpg'"))
            << what;
        EXPECT_EQ(Get(QStringLiteral("org.gnome.desktop.background/picture-options")),
                  QStringLiteral("'zoom'"))
            << what;
        const WallpaperResult restore = setter.Restore();
        EXPECT_FALSE(restore.ok) << what;
        EXPECT_TRUE(restore.error.contains(settings))
            << what << ": " << restore.error.toStdString();
        EXPECT_FALSE(setter.HasPrevious()) << what;
        EXPECT_FALSE(QFileInfo(settings).isFile() && !QFileInfo(settings).isSymLink() &&
                     QFileInfo(settings).size() == 0)
            << what;
    }
    EXPECT_FALSE(QFileInfo::exists(elsewhere + QStringLiteral("/gone.ini")));
}

TEST_F(WallpaperTest, ALinkedSettingsFileIsWrittenThroughAndStaysALink) {
    GnomeDesktop();
    const QString real = dir.filePath(QStringLiteral("dotfiles/settings.ini"));
    QDir().mkpath(QFileInfo(real).path());
    QFile file(real);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[RecentProjects]\nfiles=/a.dcf\n");
    file.close();
    ASSERT_TRUE(QFile::link(real, Settings()));
    WallpaperSetter setter(DesktopKind::Gnome, Settings());
    ASSERT_TRUE(setter.Set(Wallpaper(), WallpaperArrangement::Centred).ok);
    EXPECT_TRUE(QFileInfo(Settings()).isSymLink());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("day.jpg")) << text.constData();
    EXPECT_TRUE(text.contains("/a.dcf")) << text.constData();
    EXPECT_TRUE(setter.Restore().ok);
}

TEST_F(WallpaperTest, UnsupportedDesktopAndMissingToolsAreReported) {
    WallpaperSetter none(DesktopKind::Unsupported, Settings());
    const WallpaperResult r = none.Set(Wallpaper(), WallpaperArrangement::Centred);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QLatin1String("GNOME"))) << r.error.toStdString();
    EXPECT_FALSE(QFile::exists(QDir(State()).filePath(QStringLiteral("log")))); // no tool ran

    qputenv("PATH", "/nonexistent");
    WallpaperSetter kde(DesktopKind::Kde, Settings());
    const WallpaperResult missing = kde.Set(Wallpaper(), WallpaperArrangement::Centred);
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.contains(QLatin1String("plasma-apply-wallpaperimage")));
}

TEST_F(WallpaperTest, XfceSetsEveryBackdropAndItsStyle) {
    Put(QStringLiteral("xfce/_backdrop_screen0_monitor0_workspace0_last-image"),
        QStringLiteral("/old/a.png"));
    Put(QStringLiteral("xfce/_backdrop_screen0_monitor0_workspace0_image-style"),
        QStringLiteral("5"));
    Put(QStringLiteral("xfce/_backdrop_screen0_monitorHDMI_workspace0_last-image"),
        QStringLiteral("/old/b.png"));
    WallpaperSetter setter(DesktopKind::Xfce, Settings());
    ASSERT_TRUE(setter.Set(Wallpaper(), WallpaperArrangement::Tiled).ok);
    EXPECT_EQ(Get(QStringLiteral("xfce/_backdrop_screen0_monitor0_workspace0_last-image")),
              Wallpaper());
    EXPECT_EQ(Get(QStringLiteral("xfce/_backdrop_screen0_monitorHDMI_workspace0_last-image")),
              Wallpaper());
    EXPECT_EQ(Get(QStringLiteral("xfce/_backdrop_screen0_monitor0_workspace0_image-style")),
              QStringLiteral("2"));
    ASSERT_TRUE(setter.Restore().ok);
    EXPECT_EQ(Get(QStringLiteral("xfce/_backdrop_screen0_monitor0_workspace0_last-image")),
              QStringLiteral("/old/a.png"));
    EXPECT_EQ(Get(QStringLiteral("xfce/_backdrop_screen0_monitorHDMI_workspace0_last-image")),
              QStringLiteral("/old/b.png"));
    EXPECT_EQ(Get(QStringLiteral("xfce/_backdrop_screen0_monitor0_workspace0_image-style")),
              QStringLiteral("5"));
}

// A line edited by hand that cannot be read (a lone "[", a header without its "]", a serialized
// value) costs only itself: the earlier wallpaper is still put back, and the line is kept when the
// file is written again.
TEST_F(WallpaperTest, ADamagedLineLeavesTheRecordReadableAndIsKept) {
    const char* const damage[] = {
        "[\n",
        "[Arrange\n",
        "[Arrange]\nshape=@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)\n",
    };
    for (const char* lines : damage) {
        for (const char* where : {"before", "inside", "after"}) {
            SCOPED_TRACE(std::string(where) + ": " + lines);
            QFile::remove(Settings());
            GnomeDesktop();
            {
                WallpaperSetter setter(DesktopKind::Gnome, Settings());
                ASSERT_TRUE(setter.Set(Wallpaper(), WallpaperArrangement::Centred).ok);
            }
            QFile file(Settings());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            QByteArray text = file.readAll();
            file.close();
            const QByteArray bad(lines);
            const qsizetype section = text.indexOf("[Wallpaper]\n");
            ASSERT_GE(section, 0) << text.constData();
            if (QByteArray(where) == "before")
                text.prepend(bad);
            else if (QByteArray(where) == "inside" && !bad.startsWith("[Arrange]"))
                text.insert(section + 12, bad);
            else
                text.append(bad);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(text);
            file.close();

            WallpaperSetter later(DesktopKind::Gnome, Settings());
            EXPECT_TRUE(later.HasPrevious());
            const WallpaperResult restored = later.Restore();
            ASSERT_TRUE(restored.ok) << restored.error.toStdString();
            EXPECT_EQ(Get(QStringLiteral("org.gnome.desktop.background/picture-uri")),
                      QStringLiteral("'file:///old/day.jpg'"));
            // Setting ours again writes the record anew and keeps the damaged lines as they were.
            ASSERT_TRUE(later.Set(Wallpaper(), WallpaperArrangement::Tiled).ok);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QList<QByteArray> written = file.readAll().split('\n');
            file.close();
            for (const QByteArray& line : bad.split('\n'))
                EXPECT_TRUE(line.isEmpty() || written.contains(line)) << line.constData();
            EXPECT_TRUE(later.HasPrevious());
            ASSERT_TRUE(later.Restore().ok);
        }
    }
}
