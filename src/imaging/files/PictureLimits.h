#pragma once

#include <QSize>
#include <QString>

#include <cstdint>

namespace mosaiq {

// Upper bounds for every decoded picture. A header that claims more is refused before any pixel
// memory is allocated, whichever decoder reads it.
constexpr int kMaxPictureSide = 16384;
constexpr std::int64_t kMaxPicturePixels = 256'000'000;
// Encoded files larger than this are not read into memory.
constexpr std::int64_t kMaxPictureFileBytes = std::int64_t(1) << 30;

// True when a picture of this size may be decoded; otherwise false with a one-line reason.
bool PictureSizeAllowed(QSize size, QString* reason);

// No raster format stores more pixels per encoded byte than this: the densest real case, a
// one-colour picture of one bit per pixel in a deflate stream, holds about 8,000.
constexpr std::int64_t kMaxPixelsPerEncodedByte = 10'000;

// True when encodedBytes of a raster file can hold a picture of this size; a header claiming far
// more pixels than its file could describe is refused before anything is allocated. (Metafiles
// are drawings, not pixels: their callers do not ask.)
bool PictureDataPlausible(QSize size, std::int64_t encodedBytes, QString* reason);

} // namespace mosaiq
