#pragma once

// The project block of the collage's living layout: tag "MQLY", version 1, little-endian payload
//   int32 family (0 rows, 1 grid, 2 tree), float64 spacing, float64 margin,
//   float64 cornerRadius, int32 fill (0 or 1), uint32 count N,
//   then N cells: float64 x, y, width, height (canvas pixels), uint32 object index of its photo,
//   uint32 flags (bit 0: the user placed the photo's crop).
// Written only when the collage has a layout, so every project without one keeps its bytes; the
// photos stay ordinary records, so a reader that steps over the block still draws them in place.

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace mosaiq {

class CollageDocument;

constexpr std::uint32_t kLayoutBlockVersion = 1;
constexpr qsizetype kLayoutBlockHeaderSize = 4 + 8 + 8 + 8 + 4 + 4;
constexpr qsizetype kLayoutCellSize = 8 * 4 + 4 + 4;

// The payload for document; false (payload untouched) when it has no layout.
bool EncodeLayoutBlock(const CollageDocument& document, QByteArray& payload);

// Gives the parsed document its layout. False with a one-line reason, the document unchanged,
// when the version is not 1 or the block is damaged: a size that does not match its count, a
// family, setting or rectangle out of range, a cell naming an object that is not a photo or a
// photo another cell names.
bool ApplyLayoutBlock(std::uint32_t version, const QByteArray& payload, CollageDocument& document,
                      QString* reason);

} // namespace mosaiq
