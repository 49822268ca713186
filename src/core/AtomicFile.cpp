#include "core/AtomicFile.h"

#include "core/RegularFile.h"

#include <QSaveFile>

namespace mosaiq {

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    const QString target = ReplaceableTarget(path, error);
    if (target.isEmpty())
        return false;
    QSaveFile file(target);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
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
