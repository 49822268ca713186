#pragma once

// The text object record (kind 4, 1144 bytes). It is a file format: packed, little-endian, every
// offset fixed. The same layout is the canvas's TextTemplate (the current text settings).

#include "core/WinTypes.h"

#include <cstddef>
#include <cstdint>

namespace mosaiq {

#pragma pack(push, 1)

// The logical font as Windows stores it (60 bytes). Only lfHeight and lfFaceName are meaningful
// for text objects; a negative lfHeight means a character height (its absolute value is used).
struct LogFontA {
    std::int32_t lfHeight = 0;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 0;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    char lfFaceName[32] = {};
};
static_assert(sizeof(LogFontA) == 60);
static_assert(offsetof(LogFontA, lfFaceName) == 0x1C);

struct TextRecord {
    LogFontA font;                   // 0x000
    char text[1000] = {};            // 0x03C  UTF-8, NUL-terminated
    std::int32_t style = 0;          // 0x424  text effect style number
    std::int32_t sequence = 0;       // 0x428  object count - 1 at creation; not interpreted
    std::int32_t reserved0 = 0;      // 0x42C
    float angle = 0.0f;              // 0x430  rotation, degrees
    std::int32_t textWidth = 0;      // 0x434  unscaled box width
    std::int32_t textHeight = 0;     // 0x438  unscaled box height
    float scale = 1.0f;              // 0x43C
    Colorref firstColour = 0;        // 0x440
    Colorref secondColour = 0;       // 0x444
    std::int32_t selected = 0;       // 0x448
    Rect32 screenBox;                // 0x44C  last drawn unrotated box in screen pixels
    float transparency = 0.0f;       // 0x45C  0 opaque .. 1 invisible
    std::int32_t x = 0;              // 0x460
    std::int32_t y = 0;              // 0x464
    std::int32_t dragX = 0;          // 0x468  runtime: x saved when a drag starts
    std::int32_t dragY = 0;          // 0x46C  runtime: y saved when a drag starts
    std::int32_t regionIndex = -1;   // 0x470  index into the region table
    std::uint32_t runtimeRegion = 0; // 0x474  runtime: transformed hit region (written as 0)
};
static_assert(sizeof(TextRecord) == 1144);
static_assert(offsetof(TextRecord, text) == 0x03C);
static_assert(offsetof(TextRecord, style) == 0x424);
static_assert(offsetof(TextRecord, sequence) == 0x428);
static_assert(offsetof(TextRecord, angle) == 0x430);
static_assert(offsetof(TextRecord, textWidth) == 0x434);
static_assert(offsetof(TextRecord, textHeight) == 0x438);
static_assert(offsetof(TextRecord, scale) == 0x43C);
static_assert(offsetof(TextRecord, firstColour) == 0x440);
static_assert(offsetof(TextRecord, secondColour) == 0x444);
static_assert(offsetof(TextRecord, selected) == 0x448);
static_assert(offsetof(TextRecord, screenBox) == 0x44C);
static_assert(offsetof(TextRecord, transparency) == 0x45C);
static_assert(offsetof(TextRecord, x) == 0x460);
static_assert(offsetof(TextRecord, y) == 0x464);
static_assert(offsetof(TextRecord, dragX) == 0x468);
static_assert(offsetof(TextRecord, regionIndex) == 0x470);
static_assert(offsetof(TextRecord, runtimeRegion) == 0x474);

#pragma pack(pop)

// The canvas's current text settings have the same layout.
using TextTemplate = TextRecord;

} // namespace mosaiq
