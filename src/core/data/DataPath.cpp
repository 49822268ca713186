#include "core/data/DataPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace mosaiq {
namespace {

QString& Override() {
    static QString dir;
    return dir;
}

QString WithSeparator(QString dir) {
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString ChooseDirectory() {
    if (!Override().isEmpty())
        return Override();
    const QByteArray env = qgetenv("MOSAIQ_DATA_DIR");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    if (QCoreApplication::instance()) {
        const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/Data");
        if (QDir(beside).exists())
            return beside;
    }
    QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share/mosaiq");
    return base + QStringLiteral("/Data");
}

} // namespace

QString DataPath() {
    const QString dir = WithSeparator(QDir::cleanPath(ChooseDirectory()));
    QDir().mkpath(dir);
    return dir;
}

QString DataFile(const QString& name) { return DataPath() + name; }

void SetDataPathOverride(const QString& dir) { Override() = dir; }

} // namespace mosaiq
