#include "core/settings/RecentProjects.h"

#include "core/data/DataPath.h"
#include "core/settings/SettingsFile.h"

#include <QFileInfo>

namespace mosaiq {

namespace {

const char* const kKey = "RecentProjects/files";

// A settings file that is not ours to use (a pipe, a folder, damaged) keeps no recent list.
void Store(const QStringList& list) {
    SettingsFile settings(DataFile(QStringLiteral("settings.ini")));
    settings.Write({{QLatin1String(kKey), list}});
}

} // namespace

QStringList RecentProjects() {
    SettingsFile settings(DataFile(QStringLiteral("settings.ini")));
    // An overlong list is cut, not refused: it only loses the oldest entries.
    QStringList list = settings.List(QLatin1String(kKey), 1 << 16).value_or(QStringList());
    list.removeAll(QString());
    return list.mid(0, kMaxRecentProjects);
}

void AddRecentProject(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = RecentProjects();
    list.removeAll(absolute);
    list.prepend(absolute);
    Store(list.mid(0, kMaxRecentProjects));
}

void RemoveRecentProject(const QString& path) {
    QStringList list = RecentProjects();
    if (list.removeAll(QFileInfo(path).absoluteFilePath()) + list.removeAll(path) > 0)
        Store(list);
}

} // namespace mosaiq
