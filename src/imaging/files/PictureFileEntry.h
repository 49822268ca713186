#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>

namespace mosaiq {

#pragma pack(push, 1)
// One photo of the photo list, stored byte for byte in "srcmedia.cfg" (1,104 bytes, integers
// unsigned 32-bit little-endian, text NUL-terminated UTF-8).
struct PictureFileEntry {
    char path[260];      // full path of the picture file
    char drive[3];       // drive of the path ("C:" in lists made on Windows; empty here)
    char directory[256]; // directory, ending in a separator
    char name[256];      // file name without extension
    char extension[256]; // extension with its dot, lower case
    char reserved1[41];
    std::uint32_t number; // position of the record in the list
    std::uint32_t width;  // picture size in pixels
    std::uint32_t height;
    std::uint32_t rotation; // quarter turns clockwise of the thumbnail (0 to 3)
    std::uint32_t selected; // chosen in the photo browser
    std::uint32_t upright;  // kUprightRecordMark: width, height and thumbnail are of the upright
                            // picture (records made before pictures were turned hold other values)
    std::uint32_t hidden;   // removed by the user: kept in memory until exit, never saved
    std::uint32_t reserved3;
};
#pragma pack(pop)
static_assert(sizeof(PictureFileEntry) == 1104);
static_assert(offsetof(PictureFileEntry, upright) == 1092);

// The bytes "UPRT": the record was measured on the picture turned by its orientation tag.
constexpr std::uint32_t kUprightRecordMark = 0x54525055u;
static_assert(offsetof(PictureFileEntry, drive) == 260);
static_assert(offsetof(PictureFileEntry, directory) == 263);
static_assert(offsetof(PictureFileEntry, name) == 519);
static_assert(offsetof(PictureFileEntry, extension) == 775);
static_assert(offsetof(PictureFileEntry, number) == 1072);
static_assert(offsetof(PictureFileEntry, width) == 1076);
static_assert(offsetof(PictureFileEntry, hidden) == 1096);

// A zeroed entry with path and its parts filled in. From a directory listing, the full path is
// directory + listedName; otherwise listedName is the full path. Nothing when a part does not fit
// its field (the path is never cut short); reason says which.
std::optional<PictureFileEntry> MakeFileEntry(const QString& directory, const QString& listedName,
                                              bool fromListing, QString* reason = nullptr);

// The entry's full path.
QString EntryPath(const PictureFileEntry& entry);

} // namespace mosaiq
