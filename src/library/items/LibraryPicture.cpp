#include "library/items/LibraryPicture.h"

#include "core/data/DataPath.h"
#include "library/items/PictureList.h"

namespace mosaiq {

QString LibraryPictureFileName(int type) {
    // Type 7 is the Imported family: the decorations resource packs add to "decorate_t".
    static const char* const kFiles[] = {"clipart.cfg",  "chrome_p.cfg", "ca_p.cfg",
                                         "emboss_p.cfg", "cloth_p.cfg",  "glow_p.cfg",
                                         "neon_p.cfg",   "decorate_t"};
    if (type < 0 || type >= int(std::size(kFiles)))
        return {};
    return QString::fromLatin1(kFiles[type]);
}

std::optional<QImage> LoadLibraryPicture(const QString& dataDir, int sourceId) {
    if (sourceId < 0)
        return std::nullopt;
    const QString name = LibraryPictureFileName(sourceId / 1000);
    if (name.isEmpty())
        return std::nullopt;
    return ReadPictureListEntry(dataDir + name, sourceId % 1000);
}

std::optional<QImage> LoadLibraryPicture(int sourceId) {
    return LoadLibraryPicture(DataPath(), sourceId);
}

} // namespace mosaiq
