#include "imaging/magick/MagickTempFolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace mosaiq {
namespace {

const QLatin1String kPrefix("mosaiq-magick-");

bool ProcessRuns(qint64 pid) {
    if (pid <= 0 || pid > qint64(INT32_MAX))
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

// True when name is one of ours and its process is gone (or, unnumbered, it is an hour old).
bool Stale(const QString& name, const struct stat& info) {
    static const QRegularExpression numbered(QStringLiteral("^mosaiq-magick-(\\d{1,10})-\\w{6}$"));
    static const QRegularExpression unnumbered(QStringLiteral("^mosaiq-magick-\\w{6}$"));
    if (const QRegularExpressionMatch m = numbered.match(name); m.hasMatch())
        return !ProcessRuns(m.captured(1).toLongLong());
    if (!unnumbered.match(name).hasMatch())
        return false;
    const qint64 age = QDateTime::currentSecsSinceEpoch() - qint64(info.st_mtime);
    return age > 3600;
}

// Removes the folder when it holds only the policy and its temporary copies.
bool RemoveFolder(const QString& path) {
    QDir dir(path);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry != QLatin1String("policy.xml") &&
            !entry.startsWith(QLatin1String(".policy.xml")) &&
            !entry.startsWith(QLatin1String("policy.xml.")))
            return false;
    for (const QString& entry : entries) {
        struct stat info {};
        const QByteArray file = QFile::encodeName(dir.filePath(entry));
        if (::lstat(file.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            return false;
    }
    for (const QString& entry : entries)
        QFile::remove(dir.filePath(entry));
    return ::rmdir(QFile::encodeName(path).constData()) == 0;
}

} // namespace

QString MagickFolderTemplate(const QString& tempDir) {
    return tempDir + QLatin1Char('/') + kPrefix + QString::number(qint64(::getpid())) +
           QStringLiteral("-XXXXXX");
}

int RemoveStaleMagickFolders(const QString& tempDir) {
    int removed = 0;
    const QStringList names =
        QDir(tempDir).entryList({kPrefix + QLatin1Char('*')},
                                QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString path = tempDir + QLatin1Char('/') + name;
        struct stat info {};
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != ::getuid() || !Stale(name, info))
            continue;
        if (RemoveFolder(path))
            ++removed;
    }
    return removed;
}

} // namespace mosaiq
