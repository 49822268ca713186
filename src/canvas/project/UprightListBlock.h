#pragma once

// The project block that lists the photos (and the background picture) shown upright by their
// orientation tags: tag "UPRT", version 1, payload uint32 count N then N uint32 entries in
// ascending order, little-endian: the object index of each upright photo, kUprightBackground for
// the background picture. Written only when it lists any, so an empty document and every project
// written before keep their bytes; a project without it shows every photo as stored.

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace mosaiq {

class CollageDocument;

constexpr std::uint32_t kUprightListVersion = 1;
constexpr std::uint32_t kUprightBackground = 0xFFFFFFFFu;

// The payload for document; false (payload untouched) when no photo or background is upright.
bool EncodeUprightList(const CollageDocument& document, QByteArray& payload);

// Marks the photos and background the payload lists as upright (the others stay as they are).
// False with a one-line reason, the document unchanged, when the version is not 1 or the list
// is damaged: a size that does not match its count, an entry out of order, twice, past the
// objects or naming an object that is not a photo, or the background when there is none.
bool ApplyUprightList(std::uint32_t version, const QByteArray& payload, CollageDocument& document,
                      QString* reason);

} // namespace mosaiq
