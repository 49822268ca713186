#include "library/ImportedPackList.h"

#include "library/LibraryFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace mosaiq {

std::vector<QByteArray> ReadImportedPackNames(const QString& path) {
    std::vector<QByteArray> names;
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return names;
    LibraryReader reader(file);
    std::int32_t count = 0;
    if (!reader.ReadInt32(count) || count <= 0)
        return names;
    // Only the slots the file holds are read, whatever the count promises.
    const qint64 complete = std::min<qint64>(count, reader.Remaining() / kPackNameSlotBytes);
    QByteArray slot;
    for (qint64 i = 0; i < complete; ++i) {
        if (!reader.ReadBytes(kPackNameSlotBytes, slot))
            break;
        const char* bytes = slot.constData();
        names.emplace_back(bytes, qsizetype(strnlen(bytes, kPackNameSlotBytes)));
    }
    return names;
}

QByteArray EncodeImportedPackNames(const std::vector<QByteArray>& names) {
    QByteArray out;
    AppendInt32(out, std::int32_t(names.size()));
    for (const QByteArray& name : names) {
        QByteArray slot(kPackNameSlotBytes, '\0');
        std::memcpy(slot.data(), name.constData(),
                    size_t(std::min<qsizetype>(name.size(), kPackNameSlotBytes - 1)));
        out += slot;
    }
    return out;
}

QByteArray PackNameBytes(const QString& packPath) {
    const QByteArray name = QFileInfo(packPath).fileName().toUtf8();
    if (name.isEmpty() || name.size() >= kPackNameSlotBytes || name.contains('\0'))
        return QByteArray();
    return name;
}

} // namespace mosaiq
