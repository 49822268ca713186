#include "core/files/AtomicFile.h"

#include "core/files/FileInTheWay.h"
#include "core/files/RegularFile.h"

#include <QSaveFile>

namespace mosaiq {

namespace {

// A folder of the path that is a file says more than the system's "Not a directory".
QString WhyNotOpened(const QString& path, const QFileDevice& file) {
    const QString inTheWay = FileInTheWayText(path);
    return inTheWay.isEmpty() ? file.errorString() : inTheWay;
}

} // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    const QString target = ReplaceableTarget(path, error);
    if (target.isEmpty())
        return false;
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, WhyNotOpened(path, file));
        return false;
    }
    if (file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace mosaiq
