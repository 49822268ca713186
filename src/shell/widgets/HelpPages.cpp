#include "shell/widgets/HelpPages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace mosaiq {

QString UserManualPath() {
    const QString bin = QCoreApplication::applicationDirPath();
    const QString candidates[] = {
        bin + QStringLiteral("/help/index.html"),
        bin + QStringLiteral("/../share/mosaiq/help/index.html"),
    };
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile())
            return QDir::cleanPath(path);
    return {};
}

} // namespace mosaiq
