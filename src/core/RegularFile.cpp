#include "core/RegularFile.h"

#include <QFile>

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

bool IsRegularFile(const QString& path) {
    struct stat info {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

} // namespace mosaiq
