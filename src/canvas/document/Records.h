#pragma once

// The collage object records. They are a file format: packed, little-endian, every offset fixed;
// the same bytes are what a project file stores and what an undo snapshot copies. Fields marked
// "runtime" carry no meaning in stored bytes: they are written as zero and reset when read.

#include "core/WinTypes.h"
#include "text/TextRecord.h"

#include <bit>
#include <cstddef>
#include <cstdint>

namespace mosaiq {

static_assert(std::endian::native == std::endian::little,
              "records are stored as little-endian memory images");

enum class ObjectKind : std::int32_t {
    Clipart = 0,
    BrushStamp = 1,
    Text = 4,
    Photo = 10,
};

// Stored size of a kind's record, or 0 for a value that is no kind.
constexpr int RecordSize(std::int32_t kind);

enum class BackgroundMode : std::int32_t { Center = 0, Tile = 1, Stretch = 2 };

#pragma pack(push, 1)

// Tuning values of cliparts, stamps and photos (28 bytes).
struct TuningBlock {
    std::int32_t active = 0;   // 0: only opacity is applied
    float contrast = 1.0f;     // multiplier of R, G, B
    float brightness = 0.0f;   // offset added to R, G, B (1.0 = full scale)
    float saturation = 1.0f;   // luminance-preserving saturation factor
    float hue = 0.0f;          // luminance-preserving hue rotation, degrees
    float colour = 0.125f;     // angle, degrees, of the three colour-plane rotations
    float gamma = 1.0f;
};
static_assert(sizeof(TuningBlock) == 28);

// Inner window of a frame as fractions of the framed box.
struct RecordFrameWindow {
    float left = 0.05f;
    float top = 0.05f;
    float right = 0.95f;
    float bottom = 0.95f;
};
static_assert(sizeof(RecordFrameWindow) == 16);

// A library picture (clipart or decoration preset) or a pasted picture (kind 0, 124 bytes).
struct ClipartRecord {
    std::int32_t reserved0 = 0;      // 0x00
    float angle = 0.0f;              // 0x04 rotation, degrees
    std::int32_t sourceId = 0;       // 0x08 library: file = id / 1000, entry = id % 1000; pasted: list index
    std::int32_t width = 0;          // 0x0C source picture size in pixels
    std::int32_t height = 0;         // 0x10
    float opacity = 1.0f;            // 0x14 0..1, multiplies alpha
    std::int32_t selected = 1;       // 0x18
    std::int32_t pasted = 0;         // 0x1C 1: pixels come from the pasted picture list
    float scale = 1.0f;              // 0x20 displayed size = width x scale by height x scale
    float regionScale = 1.0f;        // 0x24 scale at which the hit region was built
    std::int32_t x = 0;              // 0x28 top-left corner in canvas pixels, before rotation
    std::int32_t y = 0;              // 0x2C
    std::int32_t dragX = 0;          // 0x30 runtime: x when a drag starts
    std::int32_t dragY = 0;          // 0x34 runtime
    std::int32_t regionIndex = -1;   // 0x38 index into the region table
    std::uint32_t runtimeRegion = 0; // 0x3C runtime
    std::uint32_t runtimeCache = 0;  // 0x40 runtime
    std::int32_t isPreset = 0;       // 0x44 1 when sourceId >= 1000 (recoloured decoration)
    Colorref presetColour = 0;       // 0x48 colour the preset was recoloured to
    std::int32_t reserved1 = 0;      // 0x4C
    std::uint8_t reserved2[16] = {}; // 0x50
    TuningBlock tuning;              // 0x60
};
static_assert(sizeof(ClipartRecord) == 124);
static_assert(offsetof(ClipartRecord, sourceId) == 0x08);
static_assert(offsetof(ClipartRecord, opacity) == 0x14);
static_assert(offsetof(ClipartRecord, pasted) == 0x1C);
static_assert(offsetof(ClipartRecord, regionScale) == 0x24);
static_assert(offsetof(ClipartRecord, x) == 0x28);
static_assert(offsetof(ClipartRecord, dragX) == 0x30);
static_assert(offsetof(ClipartRecord, regionIndex) == 0x38);
static_assert(offsetof(ClipartRecord, runtimeCache) == 0x40);
static_assert(offsetof(ClipartRecord, isPreset) == 0x44);
static_assert(offsetof(ClipartRecord, presetColour) == 0x48);
static_assert(offsetof(ClipartRecord, reserved2) == 0x50);
static_assert(offsetof(ClipartRecord, tuning) == 0x60);

// A brush stamp laid by the paint tool (kind 1, 100 bytes).
struct StampRecord {
    std::int32_t reserved0 = 0;      // 0x00
    float angle = 0.0f;              // 0x04
    std::int32_t brushIndex = 0;     // 0x08 index into the brush picture table
    std::int32_t width = 0;          // 0x0C brush picture size
    std::int32_t height = 0;         // 0x10
    float opacity = 1.0f;            // 0x14
    std::int32_t selected = 0;       // 0x18 stamps are not selected when made
    float scale = 1.0f;              // 0x1C
    float regionScale = 1.0f;        // 0x20
    std::int32_t x = 0;              // 0x24
    std::int32_t y = 0;              // 0x28
    std::int32_t dragX = 0;          // 0x2C runtime
    std::int32_t dragY = 0;          // 0x30 runtime
    Colorref colour = 0;             // 0x34 replaces every pixel's R, G, B; alpha kept
    std::int32_t regionIndex = -1;   // 0x38
    std::uint32_t runtimeRegion = 0; // 0x3C runtime
    std::uint32_t runtimeCache = 0;  // 0x40 runtime
    std::int32_t reserved1 = 0;      // 0x44
    TuningBlock tuning;              // 0x48
};
static_assert(sizeof(StampRecord) == 100);
static_assert(offsetof(StampRecord, scale) == 0x1C);
static_assert(offsetof(StampRecord, x) == 0x24);
static_assert(offsetof(StampRecord, dragX) == 0x2C);
static_assert(offsetof(StampRecord, colour) == 0x34);
static_assert(offsetof(StampRecord, regionIndex) == 0x38);
static_assert(offsetof(StampRecord, runtimeCache) == 0x40);
static_assert(offsetof(StampRecord, tuning) == 0x48);

// A photo from a picture file (kind 10, 704 bytes). Its pixels are never stored: the picture is
// read again from path whenever the cache is empty.
struct PhotoRecord {
    std::int32_t sequence = 0;            // 0x000 object count - 1 at creation; not interpreted
    float opacity = 1.0f;                 // 0x004
    std::int32_t frameId = 0;             // 0x008 0 none; n >= 1: entry n - 1 of "frame.cfg"
    std::int32_t reserved0 = 0;           // 0x00C
    RecordFrameWindow frameWindow;        // 0x010 where the picture sits inside the frame
    std::int32_t cropLeft = 0;            // 0x020 crop rectangle in source pixels
    std::int32_t cropTop = 0;             // 0x024
    std::int32_t cropRight = 0;           // 0x028 exclusive
    std::int32_t cropBottom = 0;          // 0x02C exclusive
    std::int32_t maskId = 0;              // 0x030 0 none; 1..28 built-in; >= 29 custom
    std::int32_t customMask = 0;          // 0x034 1: the mask is found by maskKey in "cusmask.cfg"
    Guid maskKey;                         // 0x038
    std::uint8_t reserved1[20] = {};      // 0x048
    char auxPath[260] = {};               // 0x05C not interpreted
    std::int32_t selected = 1;            // 0x160
    float angle = 0.0f;                   // 0x164
    std::int32_t pictureWidth = 0;        // 0x168 size of the whole picture, fixed at creation
    std::int32_t pictureHeight = 0;       // 0x16C
    std::int32_t boxWidth = 0;            // 0x170 unscaled box: crop size, or enlarged for a frame
    std::int32_t boxHeight = 0;           // 0x174
    float scale = 1.0f;                   // 0x178 displayed size = box x scale
    float regionScale = 1.0f;             // 0x17C
    std::int32_t x = 0;                   // 0x180
    std::int32_t y = 0;                   // 0x184
    std::int32_t dragX = 0;               // 0x188 runtime
    std::int32_t dragY = 0;               // 0x18C runtime
    char path[260] = {};                  // 0x190 picture file, UTF-8, NUL-terminated
    std::int32_t regionIndex = -1;        // 0x294
    std::uint32_t runtimeRegion = 0;      // 0x298 runtime
    std::uint32_t runtimeCache = 0;       // 0x29C runtime: cropped, scaled, masked picture
    std::uint32_t runtimeFrameCache = 0;  // 0x2A0 runtime: scaled frame picture
    TuningBlock tuning;                   // 0x2A4
};
static_assert(sizeof(PhotoRecord) == 704);
static_assert(offsetof(PhotoRecord, frameWindow) == 0x010);
static_assert(offsetof(PhotoRecord, cropLeft) == 0x020);
static_assert(offsetof(PhotoRecord, cropBottom) == 0x02C);
static_assert(offsetof(PhotoRecord, maskId) == 0x030);
static_assert(offsetof(PhotoRecord, customMask) == 0x034);
static_assert(offsetof(PhotoRecord, maskKey) == 0x038);
static_assert(offsetof(PhotoRecord, reserved1) == 0x048);
static_assert(offsetof(PhotoRecord, auxPath) == 0x05C);
static_assert(offsetof(PhotoRecord, selected) == 0x160);
static_assert(offsetof(PhotoRecord, angle) == 0x164);
static_assert(offsetof(PhotoRecord, pictureWidth) == 0x168);
static_assert(offsetof(PhotoRecord, boxWidth) == 0x170);
static_assert(offsetof(PhotoRecord, scale) == 0x178);
static_assert(offsetof(PhotoRecord, regionScale) == 0x17C);
static_assert(offsetof(PhotoRecord, x) == 0x180);
static_assert(offsetof(PhotoRecord, dragX) == 0x188);
static_assert(offsetof(PhotoRecord, path) == 0x190);
static_assert(offsetof(PhotoRecord, regionIndex) == 0x294);
static_assert(offsetof(PhotoRecord, runtimeRegion) == 0x298);
static_assert(offsetof(PhotoRecord, runtimeCache) == 0x29C);
static_assert(offsetof(PhotoRecord, runtimeFrameCache) == 0x2A0);
static_assert(offsetof(PhotoRecord, tuning) == 0x2A4);

#pragma pack(pop)

constexpr int RecordSize(std::int32_t kind) {
    switch (kind) {
    case std::int32_t(ObjectKind::Clipart):
        return int(sizeof(ClipartRecord));
    case std::int32_t(ObjectKind::BrushStamp):
        return int(sizeof(StampRecord));
    case std::int32_t(ObjectKind::Text):
        return int(sizeof(TextRecord));
    case std::int32_t(ObjectKind::Photo):
        return int(sizeof(PhotoRecord));
    default:
        return 0;
    }
}

// Clears every runtime field of a record (drag state, region handle, cache handles).
void ClearRuntimeFields(ClipartRecord& r);
void ClearRuntimeFields(StampRecord& r);
void ClearRuntimeFields(TextRecord& r);
void ClearRuntimeFields(PhotoRecord& r);

} // namespace mosaiq
