// mosaiq-cli wallpaper set PROJECT.dcf | wallpaper restore: render a collage and make it the
// desktop wallpaper (centred), or put back the wallpaper that was set before ours.
#include "cli/CliCommand.h"

#include "canvas/document/CollageDocument.h"
#include "canvas/output/CollageExport.h"
#include "canvas/project/ProjectFile.h"
#include "core/data/DataPath.h"
#include "platform/WallpaperSetter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mosaiq::cli {
namespace {

int RunWallpaper(const QStringList& args) {
    const bool set = args.size() == 2 && args[0] == QLatin1String("set");
    const bool restore = args.size() == 1 && args[0] == QLatin1String("restore");
    if (!set && !restore) {
        PrintError(QStringLiteral("usage: wallpaper set PROJECT.dcf | wallpaper restore"));
        return kExitUsage;
    }
    WallpaperSetter setter(CurrentDesktop(), DataFile(QStringLiteral("settings.ini")));
    if (restore) {
        const WallpaperResult r = setter.Restore();
        if (!r.ok) {
            PrintError(QStringLiteral("the wallpaper was not restored: %1").arg(r.error));
            return kExitFailed;
        }
        PrintLine(QStringLiteral("restored the earlier wallpaper"));
        return kExitOk;
    }
    CollageDocument doc;
    // Like render: what the project carries stays in memory, the data folder is left alone.
    const ProjectResult loaded = LoadProject(doc, args[1], QString(), CarriedMaskUse::KeepInMemory);
    if (!loaded.ok) {
        PrintError(QStringLiteral("%1: %2").arg(args[1], loaded.error));
        return kExitFailed;
    }
    // The earlier wallpaper is recorded before anything is written or changed.
    WallpaperResult r = setter.RecordEarlier();
    if (!r.ok) {
        PrintError(QStringLiteral("the wallpaper was not set: %1").arg(r.error));
        return kExitFailed;
    }
    const QString file = WallpaperFilePath();
    const bool existed = QFileInfo::exists(file);
    const ExportResult written = ExportCollage(doc, file);
    if (!written.ok) {
        PrintError(QStringLiteral("the wallpaper was not set: %1").arg(written.error));
        return kExitFailed;
    }
    r = setter.Set(file, WallpaperArrangement::Centred);
    if (!r.ok) {
        // A picture this command made and no desktop shows goes again; one that was there
        // before may be what the desktop shows, and stays.
        if (!existed)
            QFile::remove(file);
        PrintError(QStringLiteral("the wallpaper was not set: %1").arg(r.error));
        return kExitFailed;
    }
    PrintLine(QStringLiteral("set %1 as the wallpaper").arg(QDir::toNativeSeparators(file)));
    return kExitOk;
}

const CliCommandRegistration kRegistration{{QStringLiteral("wallpaper"),
                                            QStringLiteral("set PROJECT.dcf | restore"), true,
                                            &RunWallpaper}};

} // namespace
} // namespace mosaiq::cli
