#pragma once

// Custom masks carried by projects that were read without adding them to the custom mask library
// ("mosaiq-cli render" and "dump" change nothing in the data directory). Photos look here when
// the library holds no mask of their key. Kept for the life of the process; thread-safe.

#include "core/WinTypes.h"
#include "library/items/MaskLibrary.h"

#include <QByteArray>
#include <QImage>

#include <optional>

namespace mosaiq {

// Keeps the encoded mask picture under key (the first one kept for a key stays).
void KeepCarriedMask(const Guid& key, int width, int height, const QByteArray& encoded);
// The decoded mask kept under key (Format_ARGB32), or a null image.
QImage FindCarriedMask(const Guid& key);
// The entry kept under key as it was carried (what a project embeds again), or nullopt.
std::optional<KeyedEntry> FindCarriedMaskRaw(const Guid& key);

} // namespace mosaiq
