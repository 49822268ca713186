#include "core/RecentProjects.h"

#include "core/DataPath.h"

#include <QFileInfo>
#include <QSettings>

namespace mosaiq {

namespace {

const char* const kKey = "RecentProjects/files";

void Store(const QStringList& list) {
    QSettings settings(DataFile(QStringLiteral("settings.ini")), QSettings::IniFormat);
    settings.setValue(QLatin1String(kKey), list);
    settings.sync();
}

} // namespace

QStringList RecentProjects() {
    QSettings settings(DataFile(QStringLiteral("settings.ini")), QSettings::IniFormat);
    QStringList list = settings.value(QLatin1String(kKey)).toStringList();
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
