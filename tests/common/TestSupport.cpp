#include "common/TestSupport.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace mosaiq::test {

ScopedDataDir::ScopedDataDir()
    : m_previous(qgetenv("MOSAIQ_DATA_DIR")), m_hadPrevious(qEnvironmentVariableIsSet("MOSAIQ_DATA_DIR")) {
    qputenv("MOSAIQ_DATA_DIR", QFile::encodeName(m_dir.path()));
}

ScopedDataDir::~ScopedDataDir() {
    if (m_hadPrevious)
        qputenv("MOSAIQ_DATA_DIR", m_previous);
    else
        qunsetenv("MOSAIQ_DATA_DIR");
}

QString ScopedDataDir::Path() const { return m_dir.path() + QLatin1Char('/'); }

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QString SaveFailureImage(const QImage& image, const QString& name) {
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/failed-images");
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    image.save(path);
    return path;
}

QString MakeZeroDevice(const QString& path) {
    if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0600, makedev(1, 5)) != 0)
        return {};
    return path;
}

} // namespace mosaiq::test
