// Feeds arbitrary bytes to the settings reader as "settings.ini": every read ends with a list
// within its bound, or a refusal; nothing larger than the file is ever allocated.
#include "core/settings/SettingsFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_settings";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    static int round = 0;
    // A new name each time: QSettings keeps what it read of a file for the process.
    const QString path = dir.filePath(QStringLiteral("settings-%1.ini").arg(round++));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    {
        mosaiq::SettingsFile settings(path);
        for (const char* key : {"Wallpaper/keys", "Wallpaper/values", "RecentProjects/files"}) {
            const std::optional<QStringList> list = settings.List(QLatin1String(key), 64);
            if (list && list->size() > 64)
                std::abort();
        }
        settings.Text(QStringLiteral("View/snapToGuides"));
    }
    QFile::remove(path);
    return 0;
}
