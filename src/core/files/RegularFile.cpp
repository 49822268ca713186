#include "core/files/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mosaiq {

namespace {

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

OpenFailure Refuse(OpenFailure failure, const QString& line, QString* reason) {
    if (reason)
        *reason = line;
    return failure;
}

} // namespace

OpenFailure OpenRegularFile(QFile& file, const QString& path, QString* reason) {
    if (file.isOpen())
        file.close();
    if (path.isEmpty())
        return Refuse(OpenFailure::Missing, QStringLiteral("no file name was given"), reason);
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK makes opening a pipe return at once instead of waiting for a writer; the kind of
    // file is then read from the open descriptor, so nothing can be swapped in between.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return Refuse(OpenFailure::Missing, QStringLiteral("%1 was not found").arg(path),
                          reason);
        return Refuse(OpenFailure::Unreadable,
                      QStringLiteral("cannot open %1: %2").arg(path, SystemError(error)), reason);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const bool folder = S_ISDIR(info.st_mode);
        ::close(fd);
        return Refuse(OpenFailure::NotRegular,
                      folder ? QStringLiteral("%1 is a folder, not a file").arg(path)
                             : QStringLiteral("%1 is not a regular file (a pipe, a device or a "
                                              "socket); it is not read")
                                   .arg(path),
                      reason);
    }
    // Regular files never block; clear the flag so reads behave as usual.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Refuse(OpenFailure::Unreadable,
                      QStringLiteral("cannot open %1: %2").arg(path, file.errorString()), reason);
    }
    return OpenFailure::None;
}

QString ReplaceableTarget(const QString& path, QString* reason) {
    if (path.isEmpty()) {
        Refuse(OpenFailure::Missing, QStringLiteral("no file name was given"), reason);
        return {};
    }
    const QByteArray name = QFile::encodeName(path);
    struct stat link {};
    if (::lstat(name.constData(), &link) != 0)
        return path; // nothing there (or a folder on the way that the write will report)
    struct stat info {};
    if (S_ISLNK(link.st_mode) && ::stat(name.constData(), &info) != 0) {
        Refuse(OpenFailure::Missing,
               QStringLiteral("%1 is a link to nothing; it is not replaced").arg(path), reason);
        return {};
    }
    const struct stat& kind = S_ISLNK(link.st_mode) ? info : link;
    if (S_ISDIR(kind.st_mode)) {
        Refuse(OpenFailure::NotRegular,
               QStringLiteral("%1 is a folder, not a file; it is not replaced").arg(path), reason);
        return {};
    }
    if (!S_ISREG(kind.st_mode)) {
        Refuse(OpenFailure::NotRegular,
               QStringLiteral("%1 is not a regular file (a pipe, a device or a socket); it is not "
                              "replaced")
                   .arg(path),
               reason);
        return {};
    }
    if (!S_ISLNK(link.st_mode))
        return path;
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty()) {
        Refuse(OpenFailure::Missing,
               QStringLiteral("%1 is a link that cannot be followed; it is not replaced").arg(path),
               reason);
        return {};
    }
    return target;
}

bool IsRegularFile(const QString& path) {
    struct stat info {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

} // namespace mosaiq
