#include "canvas/project/UprightListBlock.h"

#include "canvas/document/CollageDocument.h"

#include <QtEndian>

#include <vector>

namespace mosaiq {

bool EncodeUprightList(const CollageDocument& document, QByteArray& payload) {
    std::vector<std::uint32_t> entries;
    for (size_t i = 0; i < document.objects.size(); ++i)
        if (document.objects[i].Photo() && document.objects[i].upright)
            entries.push_back(std::uint32_t(i));
    if (document.backgroundUpright && !document.backgroundPath.isEmpty())
        entries.push_back(kUprightBackground);
    if (entries.empty())
        return false;
    payload.resize(qsizetype(4 + 4 * entries.size()));
    qToLittleEndian(std::uint32_t(entries.size()), payload.data());
    for (size_t i = 0; i < entries.size(); ++i)
        qToLittleEndian(entries[i], payload.data() + 4 + 4 * i);
    return true;
}

bool ApplyUprightList(std::uint32_t version, const QByteArray& payload, CollageDocument& document,
                      QString* reason) {
    const auto damaged = [reason](const QString& why) {
        if (reason)
            *reason =
                QStringLiteral("The project's list of upright photos is damaged: %1.").arg(why);
        return false;
    };
    if (version != kUprightListVersion)
        return damaged(QStringLiteral("version %1 is not known").arg(version));
    if (payload.size() < 4)
        return damaged(QStringLiteral("it has no count"));
    const std::uint32_t count = qFromLittleEndian<std::uint32_t>(payload.constData());
    if (std::uint64_t(payload.size() - 4) != std::uint64_t(count) * 4)
        return damaged(QStringLiteral("its size does not match its count of %1").arg(count));
    std::vector<size_t> photos;
    bool background = false;
    std::int64_t previous = -1;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t entry =
            qFromLittleEndian<std::uint32_t>(payload.constData() + 4 + 4 * i);
        if (std::int64_t(entry) <= previous)
            return damaged(QStringLiteral("its entries are out of order"));
        previous = entry;
        if (entry == kUprightBackground) {
            if (document.backgroundPath.isEmpty())
                return damaged(QStringLiteral("it names a background picture the project lacks"));
            background = true;
        } else if (entry >= document.objects.size() || !document.objects[entry].Photo()) {
            return damaged(QStringLiteral("entry %1 is not a photo").arg(entry));
        } else {
            photos.push_back(entry);
        }
    }
    for (size_t index : photos)
        document.objects[index].upright = true;
    if (background)
        document.backgroundUpright = true;
    return true;
}

} // namespace mosaiq
