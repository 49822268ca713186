#pragma once

// The compact form in which the starter libraries ship inside the executable: one bundle per
// library file, holding each item as PNG bytes (and, for frames, the inner window and a PNG
// thumbnail). The start-up write-out expands a bundle to the library's own file layout.
//
// Bundle layout (little-endian):
//   "MQSB" | uint32 version (1) | uint32 item count
//   per item: 4 x float32 window (left, top, right, bottom; zeros for pictures that are not
//             frames) | uint32 picture length | picture PNG | uint32 thumbnail length |
//             thumbnail PNG (length 0 when the item has none)

#include <QByteArray>
#include <QImage>

#include <array>
#include <optional>
#include <vector>

namespace mosaiq {

struct StarterItem {
    std::array<float, 4> window{}; // left, top, right, bottom as fractions of the picture
    QByteArray picturePng;
    QByteArray thumbnailPng; // empty when the item has no thumbnail of its own
};

// PNG bytes of image in straight-alpha ARGB32; the same image always gives the same bytes.
QByteArray EncodeStarterPng(const QImage& image);
// The PNG decoded to Format_ARGB32, or a null image when the bytes are not a PNG picture of at
// most kMaxStarterSide pixels a side.
QImage DecodeStarterPng(const QByteArray& png);
constexpr int kMaxStarterSide = 4096;

QByteArray EncodeStarterBundle(const std::vector<StarterItem>& items);
// Every item of the bundle, or nothing when the bytes are not a complete bundle (wrong magic or
// version, a length beyond the end, bytes left over).
std::optional<std::vector<StarterItem>> DecodeStarterBundle(const QByteArray& bytes);

} // namespace mosaiq
