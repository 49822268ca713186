#include "core/files/FileInTheWay.h"

#include <QFileInfo>

namespace mosaiq {

QString FileInTheWay(const QString& path) {
    QString prefix;
    const QStringList parts = path.split(QLatin1Char('/'));
    // Every part but the last must be a folder where it exists.
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        prefix += parts[i];
        if (!parts[i].isEmpty()) {
            const QFileInfo info(prefix);
            if (info.exists() && !info.isDir())
                return prefix;
            if (!info.exists())
                return {}; // nothing further down exists either
        }
        prefix += QLatin1Char('/');
    }
    return {};
}

QString FileInTheWayText(const QString& path) {
    const QString file = FileInTheWay(path);
    return file.isEmpty() ? QString() : QStringLiteral("%1 is a file, not a folder").arg(file);
}

} // namespace mosaiq
