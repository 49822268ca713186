#include "shell/widgets/HelpPages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace mosaiq {

QString UserManualFolder() {
    const QString bin = QCoreApplication::applicationDirPath();
    const QString candidates[] = {
        qEnvironmentVariable("MOSAIQ_HELP_DIR"),
        bin + QStringLiteral("/help"),
        bin + QStringLiteral("/../share/mosaiq/help"),
    };
    for (const QString& folder : candidates)
        if (!folder.isEmpty() && QFileInfo(folder + QStringLiteral("/index.html")).isFile())
            return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return {};
}

QString UserManualPath() {
    const QString folder = UserManualFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/index.html");
}

} // namespace mosaiq
