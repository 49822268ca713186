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

} // namespace mosaiq
