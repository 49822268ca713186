#pragma once

// "Res_Info": the file names of the resource packs already imported, so that the same pack is
// not imported twice. Layout: int32 count M, then M slots of 260 bytes, each a file name (name
// and extension, no folder) as NUL-terminated UTF-8; bytes after the NUL carry no meaning.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace mosaiq {

inline constexpr int kPackNameSlotBytes = 260;

// The names in the list at path, as stored bytes (compared byte for byte, case-sensitively). A
// missing file is an empty list; a file shorter than its count says gives the complete slots.
// No list, with a one-line reason that names the list and says how to repair it, when the file
// is shorter than 4 bytes, has a count of 0 or less, or is a folder, pipe or device: importing
// over it would lose the names it holds and let those packs in twice.
std::optional<std::vector<QByteArray>> ReadImportedPackNames(const QString& path,
                                                             QString* reason = nullptr);

// The list in its file layout. Every name must be shorter than a slot.
QByteArray EncodeImportedPackNames(const std::vector<QByteArray>& names);

// The bytes a pack's file name is stored as (its UTF-8 name and extension); empty when the name
// does not fit in a slot.
QByteArray PackNameBytes(const QString& packPath);

} // namespace mosaiq
