#pragma once

// The desktop wallpaper: set through the running desktop's own tool, chosen from
// XDG_CURRENT_DESKTOP, and put back later. GNOME, Unity, Budgie and Pantheon use gsettings
// (org.gnome.desktop.background picture-uri, and picture-uri-dark where the key exists),
// Cinnamon org.cinnamon.desktop.background picture-uri, MATE org.mate.background
// picture-filename, XFCE xfconf-query on every last-image property of xfce4-desktop, KDE Plasma
// plasma-apply-wallpaperimage. The tools are run as processes found on PATH.
//
// Before the first wallpaper of ours is set, the desktop's values are read and kept in a settings
// file (INI), so Restore works in a later run. Every failure is reported and leaves the
// wallpaper as it was (values already changed are put back).

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace mosaiq {

class SettingsFile;

enum class DesktopKind { Unsupported, Gnome, Cinnamon, Mate, Xfce, Kde };

// The desktop named by an XDG_CURRENT_DESKTOP value (a colon-separated list, any case; the first
// known name counts).
DesktopKind DesktopFromName(const QString& currentDesktop);
DesktopKind CurrentDesktop();

// How the picture is laid on the screen (the wallpaper commands' arrangements 1, 0 and 2).
enum class WallpaperArrangement { Tiled = 0, Centred = 1, Stretched = 2 };

// The wallpaper file the collage is written to: "Vitrine Wallpaper.bmp" in the per-user data
// location (created when missing).
QString WallpaperFilePath();

struct WallpaperResult {
    bool ok = false;
    QString error; // one line for the user when !ok
};

class WallpaperSetter {
public:
    // settingsFile keeps the wallpaper that was set before ours ("settings.ini").
    WallpaperSetter(DesktopKind desktop, QString settingsFile);

    // Reads the desktop's wallpaper and keeps it in the settings file, so Restore can put it
    // back (when ours is already the wallpaper, what was kept then stays). Changes nothing on
    // the desktop. Fails when the earlier wallpaper cannot be recorded (the settings file is a
    // pipe, a folder, damaged, unwritable): then nothing may be changed. Callers that write the
    // wallpaper picture first call this before; Set calls it when they did not.
    WallpaperResult RecordEarlier();
    // Makes picturePath the wallpaper with the arrangement (where the desktop has one), after
    // recording the earlier one. On failure the desktop and the record are as they were.
    WallpaperResult Set(const QString& picturePath, WallpaperArrangement arrangement);
    // Puts back the wallpaper kept before ours was first set.
    WallpaperResult Restore();
    // Whether a wallpaper to put back is kept.
    bool HasPrevious() const;

private:
    // One value of the desktop's configuration and how its tool reads and writes it.
    struct Key {
        QString program;
        QStringList getArgs; // empty: read by other means
        QStringList setArgs; // the value is appended
        bool picture = true; // false: the arrangement
        QString Id() const { return setArgs.join(QLatin1Char(' ')); }
    };
    using Values = std::vector<std::pair<QString, QString>>; // key id, value

    WallpaperResult Keys(std::vector<Key>* keys) const;
    WallpaperResult Read(const std::vector<Key>& keys, Values* values) const;
    WallpaperResult Write(const std::vector<Key>& keys, const Values& values) const;
    QString Value(const Key& key, const QString& picturePath,
                  WallpaperArrangement arrangement) const;
    // The record in the settings file; nullopt when the file may not be used.
    static std::optional<Values> Kept(SettingsFile& settings);
    // Writes the record (none for no values); false when the file could not be written.
    static bool Keep(SettingsFile& settings, const Values& values);

    DesktopKind m_desktop;
    QString m_settingsFile;
    bool m_recorded = false;      // RecordEarlier succeeded since the last Set
    bool m_changedRecord = false; // ... and wrote the record, which was m_keptBefore
    Values m_keptBefore;
};

} // namespace mosaiq
