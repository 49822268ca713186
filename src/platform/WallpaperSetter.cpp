#include "platform/WallpaperSetter.h"

#include "core/settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace mosaiq {
namespace {

constexpr char kWallpaperName[] = "Vitrine Wallpaper.bmp";
// More desktop values than any desktop has (XFCE: two per monitor and workspace).
constexpr int kMaxWallpaperKeys = 1024;

struct ToolOutput {
    bool ok = false;
    QString text;  // standard output, trimmed
    QString error; // why the tool failed
};

// Runs a desktop tool found on PATH and waits for it (they answer at once; a tool that hangs is
// stopped after 15 seconds).
ToolOutput RunTool(const QString& program, const QStringList& args) {
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return {false, {}, QStringLiteral("the desktop's tool %1 is not installed").arg(program)};
    QProcess process;
    process.start(executable, args);
    if (!process.waitForStarted(5000) || !process.waitForFinished(15000)) {
        process.kill();
        process.waitForFinished(1000);
        return {false, {}, QStringLiteral("%1 did not answer").arg(program)};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        return {false,
                {},
                QStringLiteral("%1 failed%2")
                    .arg(program, said.isEmpty() ? QString()
                                                 : QStringLiteral(": ") +
                                                       said.section(QLatin1Char('\n'), 0, 0))};
    }
    return {true, QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed(), {}};
}

// Whether a desktop's picture value (a path or a file URI) names our wallpaper file.
bool IsOurWallpaper(const QString& value) {
    return value.contains(QLatin1String(kWallpaperName)) ||
           value.contains(QLatin1String("Vitrine%20Wallpaper.bmp"));
}

// A string in GVariant text form, as gsettings reads it.
QString GVariantString(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QString GsettingsOption(WallpaperArrangement arrangement) {
    switch (arrangement) {
    case WallpaperArrangement::Tiled:
        return QStringLiteral("wallpaper");
    case WallpaperArrangement::Stretched:
        return QStringLiteral("stretched");
    case WallpaperArrangement::Centred:
        break;
    }
    return QStringLiteral("centered");
}

// XFCE's image-style numbers: 1 centred, 2 tiled, 3 stretched.
QString XfceStyle(WallpaperArrangement arrangement) {
    switch (arrangement) {
    case WallpaperArrangement::Tiled:
        return QStringLiteral("2");
    case WallpaperArrangement::Stretched:
        return QStringLiteral("3");
    case WallpaperArrangement::Centred:
        break;
    }
    return QStringLiteral("1");
}

// KDE Plasma keeps its wallpaper in the desktop applets' configuration: the first Image= line.
QString PlasmaWallpaper() {
    QFile file(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               QStringLiteral("/plasma-org.kde.plasma.desktop-appletsrc"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1String("Image="))) {
            const QString value = line.mid(6);
            return value.startsWith(QLatin1String("file://")) ? QUrl(value).toLocalFile() : value;
        }
    }
    return {};
}

} // namespace

DesktopKind DesktopFromName(const QString& currentDesktop) {
    for (const QString& part : currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString name = part.trimmed().toLower();
        if (name == QLatin1String("gnome") || name == QLatin1String("unity") ||
            name == QLatin1String("budgie") || name == QLatin1String("pantheon") ||
            name == QLatin1String("gnome-classic") || name == QLatin1String("gnome-flashback"))
            return DesktopKind::Gnome;
        if (name == QLatin1String("x-cinnamon") || name == QLatin1String("cinnamon"))
            return DesktopKind::Cinnamon;
        if (name == QLatin1String("mate"))
            return DesktopKind::Mate;
        if (name == QLatin1String("xfce"))
            return DesktopKind::Xfce;
        if (name == QLatin1String("kde"))
            return DesktopKind::Kde;
    }
    return DesktopKind::Unsupported;
}

DesktopKind CurrentDesktop() {
    return DesktopFromName(qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
}

QString WallpaperFilePath() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dir);
    return QDir(dir).filePath(QLatin1String(kWallpaperName));
}

WallpaperSetter::WallpaperSetter(DesktopKind desktop, QString settingsFile)
    : m_desktop(desktop), m_settingsFile(std::move(settingsFile)) {}

WallpaperResult WallpaperSetter::Keys(std::vector<Key>* keys) const {
    const auto gsettings = [&](const QString& schema, const QString& key, bool picture) {
        keys->push_back({QStringLiteral("gsettings"),
                         {QStringLiteral("get"), schema, key},
                         {QStringLiteral("set"), schema, key},
                         picture});
    };
    switch (m_desktop) {
    case DesktopKind::Gnome: {
        const QString schema = QStringLiteral("org.gnome.desktop.background");
        const ToolOutput list =
            RunTool(QStringLiteral("gsettings"), {QStringLiteral("list-keys"), schema});
        if (!list.ok)
            return {false, list.error};
        gsettings(schema, QStringLiteral("picture-uri"), true);
        if (list.text.split(QLatin1Char('\n')).contains(QLatin1String("picture-uri-dark")))
            gsettings(schema, QStringLiteral("picture-uri-dark"), true);
        gsettings(schema, QStringLiteral("picture-options"), false);
        return {true, {}};
    }
    case DesktopKind::Cinnamon:
        gsettings(QStringLiteral("org.cinnamon.desktop.background"), QStringLiteral("picture-uri"),
                  true);
        gsettings(QStringLiteral("org.cinnamon.desktop.background"),
                  QStringLiteral("picture-options"), false);
        return {true, {}};
    case DesktopKind::Mate:
        gsettings(QStringLiteral("org.mate.background"), QStringLiteral("picture-filename"), true);
        gsettings(QStringLiteral("org.mate.background"), QStringLiteral("picture-options"), false);
        return {true, {}};
    case DesktopKind::Xfce: {
        const QStringList channel = {QStringLiteral("-c"), QStringLiteral("xfce4-desktop")};
        const ToolOutput list =
            RunTool(QStringLiteral("xfconf-query"), channel + QStringList{QStringLiteral("-l")});
        if (!list.ok)
            return {false, list.error};
        const QStringList properties = list.text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& property : properties) {
            if (!property.endsWith(QLatin1String("/last-image")))
                continue;
            const QStringList at = channel + QStringList{QStringLiteral("-p"), property};
            keys->push_back(
                {QStringLiteral("xfconf-query"), at, at + QStringList{QStringLiteral("-s")}, true});
            QString style = property;
            style.replace(style.size() - 10, 10, QStringLiteral("image-style"));
            if (properties.contains(style)) {
                const QStringList styleAt = channel + QStringList{QStringLiteral("-p"), style};
                keys->push_back({QStringLiteral("xfconf-query"), styleAt,
                                 styleAt + QStringList{QStringLiteral("-s")}, false});
            }
        }
        if (keys->empty())
            return {false, QStringLiteral("XFCE lists no desktop backdrop to set")};
        return {true, {}};
    }
    case DesktopKind::Kde:
        keys->push_back({QStringLiteral("plasma-apply-wallpaperimage"), {}, {}, true});
        return {true, {}};
    case DesktopKind::Unsupported:
        break;
    }
    return {false,
            QStringLiteral("this desktop (XDG_CURRENT_DESKTOP \"%1\") has no wallpaper setting "
                           "known here; GNOME, Cinnamon, MATE, XFCE and KDE Plasma are supported")
                .arg(qEnvironmentVariable("XDG_CURRENT_DESKTOP"))};
}

WallpaperResult WallpaperSetter::Read(const std::vector<Key>& keys, Values* values) const {
    for (const Key& key : keys) {
        QString value;
        if (key.getArgs.isEmpty()) {
            value = PlasmaWallpaper();
        } else {
            const ToolOutput out = RunTool(key.program, key.getArgs);
            if (!out.ok)
                return {false, out.error};
            value = out.text;
        }
        values->emplace_back(key.program + QLatin1Char(' ') + key.Id(), value);
    }
    return {true, {}};
}

WallpaperResult WallpaperSetter::Write(const std::vector<Key>& keys, const Values& values) const {
    for (size_t i = 0; i < keys.size(); ++i) {
        if (values[i].second.isEmpty())
            continue; // nothing known to write (a value the desktop never had)
        const ToolOutput out =
            RunTool(keys[i].program, keys[i].setArgs + QStringList{values[i].second});
        if (!out.ok)
            return {false, out.error};
    }
    return {true, {}};
}

QString WallpaperSetter::Value(const Key& key, const QString& picturePath,
                               WallpaperArrangement arrangement) const {
    switch (m_desktop) {
    case DesktopKind::Gnome:
    case DesktopKind::Cinnamon:
        return GVariantString(key.picture
                                  ? QUrl::fromLocalFile(picturePath).toString(QUrl::FullyEncoded)
                                  : GsettingsOption(arrangement));
    case DesktopKind::Mate:
        return GVariantString(key.picture ? picturePath : GsettingsOption(arrangement));
    case DesktopKind::Xfce:
        return key.picture ? picturePath : XfceStyle(arrangement);
    default:
        return picturePath;
    }
}

WallpaperResult WallpaperSetter::RecordEarlier() {
    if (m_recorded)
        return {true, {}};
    std::vector<Key> keys;
    WallpaperResult result = Keys(&keys);
    Values before;
    if (result.ok)
        result = Read(keys, &before);
    if (!result.ok)
        return result;
    SettingsFile settings(m_settingsFile);
    const std::optional<Values> kept = Kept(settings);
    if (!kept)
        return {
            false,
            QStringLiteral("the earlier wallpaper cannot be recorded: %1").arg(settings.Error())};
    // The wallpaper to put back is the one before ours: when ours is already set (a second
    // Set), what was kept then stays.
    bool oursAlready = false;
    for (size_t i = 0; i < keys.size(); ++i)
        oursAlready |= keys[i].picture && IsOurWallpaper(before[i].second);
    if (!oursAlready || kept->empty()) {
        if (!Keep(settings, before))
            return {false, QStringLiteral("the earlier wallpaper cannot be recorded: %1")
                               .arg(settings.Error())};
        m_changedRecord = true;
    }
    m_keptBefore = *kept;
    m_recorded = true;
    return {true, {}};
}

WallpaperResult WallpaperSetter::Set(const QString& picturePath, WallpaperArrangement arrangement) {
    // Nothing on the desktop changes before the wallpaper to put back is safely recorded.
    WallpaperResult result = RecordEarlier();
    if (!result.ok)
        return result;
    std::vector<Key> keys;
    Values before;
    result = Keys(&keys);
    if (result.ok)
        result = Read(keys, &before);
    if (result.ok) {
        Values wanted;
        for (const Key& key : keys)
            wanted.emplace_back(key.program + QLatin1Char(' ') + key.Id(),
                                Value(key, picturePath, arrangement));
        result = Write(keys, wanted);
        if (!result.ok)
            Write(keys, before); // put back what was changed before the failing step
    }
    if (!result.ok && m_changedRecord) {
        // The desktop kept its wallpaper: so does the record.
        SettingsFile settings(m_settingsFile);
        Keep(settings, m_keptBefore);
    }
    m_recorded = m_changedRecord = false;
    return result;
}

WallpaperResult WallpaperSetter::Restore() {
    SettingsFile settings(m_settingsFile);
    const std::optional<Values> kept = Kept(settings);
    if (!kept)
        return {false, settings.Error()};
    if (kept->empty())
        return {false, QStringLiteral("no earlier wallpaper is known to put back")};
    std::vector<Key> keys;
    WallpaperResult result = Keys(&keys);
    if (!result.ok)
        return result;
    Values wanted;
    bool any = false;
    for (const Key& key : keys) {
        const QString id = key.program + QLatin1Char(' ') + key.Id();
        QString value;
        for (const auto& [keptId, keptValue] : *kept)
            if (keptId == id)
                value = keptValue;
        any |= !value.isEmpty();
        wanted.emplace_back(id, value);
    }
    if (!any)
        return {false, QStringLiteral("the wallpaper kept before belongs to another desktop")};
    Values before;
    result = Read(keys, &before);
    if (!result.ok)
        return result;
    result = Write(keys, wanted);
    if (!result.ok)
        Write(keys, before);
    return result;
}

bool WallpaperSetter::HasPrevious() const {
    SettingsFile settings(m_settingsFile);
    const std::optional<Values> kept = Kept(settings);
    return kept && !kept->empty();
}

std::optional<WallpaperSetter::Values> WallpaperSetter::Kept(SettingsFile& settings) {
    const std::optional<QStringList> ids =
        settings.List(QStringLiteral("Wallpaper/keys"), kMaxWallpaperKeys);
    const std::optional<QStringList> values =
        ids ? settings.List(QStringLiteral("Wallpaper/values"), kMaxWallpaperKeys) : std::nullopt;
    if (!ids || !values)
        return std::nullopt;
    Values kept;
    for (qsizetype i = 0; i < ids->size() && i < values->size(); ++i)
        kept.emplace_back(ids->at(i), values->at(i));
    return kept;
}

bool WallpaperSetter::Keep(SettingsFile& settings, const Values& values) {
    const QStringList keys = {QStringLiteral("Wallpaper/keys"), QStringLiteral("Wallpaper/values")};
    if (values.empty())
        return settings.Write({}, keys);
    QStringList ids, texts;
    for (const auto& [id, value] : values) {
        ids << id;
        texts << value;
    }
    return settings.Write({{keys[0], ids}, {keys[1], texts}});
}

} // namespace mosaiq
