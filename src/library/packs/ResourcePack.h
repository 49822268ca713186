#pragma once

// Resource packs (".irs"): a bundle of library items of one kind that users share.
//
// Layout, all integers unsigned 32-bit little-endian:
//   uint32 pack type (0 frames, 1 masks, 2 cliparts, 3 decorations, 4 brushes)
//   uint32 item count N
//   N items, back to back:
//     uint32 thumbnail width w, uint32 thumbnail height h, w*h*4 bytes B,G,R,A (top row first)
//     uint32 full picture width, uint32 full picture height
//     uint32 length L of the full picture data
//     4 floats (the frame window: left, top, right, bottom)   -- frame packs only
//     L bytes of the full picture data (a PNG file)
//
// The reader checks every size against what the file holds before it allocates, so a damaged or
// hostile pack is refused with a reason and never costs more memory than its own size.

#include "library/items/FrameLibrary.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QIODevice;

namespace mosaiq {

enum class PackKind : int { Frames = 0, Masks = 1, Cliparts = 2, Decorations = 3, Brushes = 4 };
inline constexpr int kPackKindCount = 5;

// The largest pack read (the whole pack is held in memory while it is checked).
inline constexpr qint64 kMaxPackBytes = qint64(1) << 30;

// The name of a kind as make-pack takes it ("frames", "masks", "cliparts", "decorations",
// "brushes"), and back (-1 for an unknown name).
QString PackKindName(PackKind kind);
int PackKindFromName(const QString& name);

struct PackItem {
    int thumbWidth = 0;
    int thumbHeight = 0;
    QByteArray thumbPixels; // thumbWidth*thumbHeight*4 bytes B,G,R,A
    std::int32_t fullWidth = 0;
    std::int32_t fullHeight = 0;
    FrameWindow window; // frame packs only
    QByteArray data;    // the full picture (PNG)
};

struct ResourcePack {
    int type = 0; // a PackKind value
    std::vector<PackItem> items;
};

// Reads a whole pack from an open device: the header and N items; bytes after the N-th item are
// ignored. No result, with a one-line reason, for a pack that is shorter than its sizes say, has
// a type outside 0-4, a thumbnail over 16,384 pixels a side or over a pack item's budget, a
// clipart or brush thumbnail of no pixels (frames, masks and decorations may have one: an empty
// cell, stored 0 x 0), a frame window that is not finite, or full picture data (frames, masks,
// decorations: the libraries that keep it) that does not decode in full within a pack item's
// budget. Cliparts and brushes keep no full picture: their data is skipped unread.
std::optional<ResourcePack> ParseResourcePack(QIODevice& device, QString* reason = nullptr);
// The same for the file at path (a directory, a device or a file over kMaxPackBytes is refused).
std::optional<ResourcePack> ReadResourcePack(const QString& path, QString* reason = nullptr);

// The pack in its file layout.
QByteArray EncodeResourcePack(const ResourcePack& pack);

// One item made from a picture: the full data is the picture as PNG; the thumbnail is 120 pixels
// wide (aspect kept) for frames and masks and the picture itself for the other kinds. No result
// for a null picture or one that cannot be encoded.
std::optional<PackItem> MakePackItem(PackKind kind, const QImage& picture,
                                     FrameWindow window = {0.1f, 0.1f, 0.9f, 0.9f});

} // namespace mosaiq
