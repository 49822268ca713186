#include "library/packs/ImportedPackList.h"

#include "core/files/RegularFile.h"
#include "library/items/LibraryFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace mosaiq {

std::optional<std::vector<QByteArray>> ReadImportedPackNames(const QString& path, QString* reason) {
    const auto damaged = [&](const QString& what) {
        if (reason)
            *reason = QStringLiteral("the list of imported packs %1 %2; move it aside (packs it "
                                     "names could then be imported again) or put back a good copy")
                          .arg(path, what);
        return std::nullopt;
    };
    std::vector<QByteArray> names;
    QFile file;
    QString why;
    switch (OpenRegularFile(file, path, &why)) {
    case OpenFailure::None:
        break;
    case OpenFailure::Missing:
        return names;
    case OpenFailure::NotRegular:
        return damaged(QStringLiteral("is not a file"));
    case OpenFailure::Unreadable:
        return damaged(QStringLiteral("cannot be read (%1)").arg(why));
    }
    LibraryReader reader(file);
    std::int32_t count = 0;
    if (!reader.ReadInt32(count))
        return damaged(QStringLiteral("is shorter than its 4-byte count"));
    if (count <= 0)
        return damaged(QStringLiteral("is damaged (it counts %1 packs)").arg(count));
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
