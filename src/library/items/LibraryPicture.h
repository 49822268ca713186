#pragma once

// Library pictures addressed by item code: type * 1000 + index, type 0 for a clipart, 1..6 for
// the decoration preset families and 7 for the Imported family (decorations from resource packs,
// "decorate_t"). Codes of 1000 and above are recoloured decorations.

#include <QImage>
#include <QString>

#include <optional>

namespace mosaiq {

// The picture list file of an item type ("clipart.cfg", "chrome_p.cfg", ... "neon_p.cfg",
// "decorate_t"), or an empty string for a type outside 0..7.
QString LibraryPictureFileName(int type);

// The picture of item code sourceId from its file in the data directory, as stored (no
// recolouring). No result for a negative code, a type outside 0..7, or an entry that cannot be
// read (missing file, index past the end, damaged entry).
std::optional<QImage> LoadLibraryPicture(int sourceId);
// The same, reading the files in dataDir (ending in '/') instead of the data directory.
std::optional<QImage> LoadLibraryPicture(const QString& dataDir, int sourceId);

} // namespace mosaiq
