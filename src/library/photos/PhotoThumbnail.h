#pragma once

// The thumbnail of a photo list record as the browser draws it. The bytes come from the list file,
// so they are untrusted: only a small picture is decoded (a thumbnail is 80 x 80; anything larger
// than kMaxThumbnailSide on a side, or whose data would cost more than its size allows, is
// refused).

#include <QByteArray>
#include <QImage>

#include <cstdint>

namespace mosaiq {

inline constexpr int kMaxThumbnailSide = 512;

// Decodes thumbnail bytes (stored bottom row first) into an upright picture turned clockwise by
// rotation quarter turns (0 to 3; higher bits ignored). A null image when refused or unreadable.
QImage DecodePhotoThumbnail(const QByteArray& bytes, std::uint32_t rotation);

} // namespace mosaiq
