#pragma once

// The subject cache: what was found in each photo, kept in "subjects.cache" in the data
// directory so a subject is found once per photo version. An entry is keyed by the picture's
// path, byte size and modification time; a changed file is looked at again. The file is our own
// (versioned, with a checksum, at most kMaxSubjectCacheEntries entries, the least recently used
// dropped first); a damaged file is never trusted: it is read as empty and written anew.
//
// File layout, integers little-endian:
//   8 bytes  "MQSUBJ\r\n"
//   u32      version (1)
//   u32      entry count
//   entries  u16 path length in bytes, UTF-8 path, i64 byte size, i64 modification time (ms
//            since the epoch, UTC), u8 orientation tag (1 to 8), u8 face count, u32 picture
//            width, u32 picture height (upright), f32 x 4 subject box (left, top, width,
//            height), then f32 x 4 per face; rectangles in the upright picture's pixels
//   u32      CRC-32 of every byte before it

#include "imaging/subject/SubjectCrop.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace mosaiq {

inline constexpr int kMaxSubjectCacheEntries = 4096;
inline constexpr int kMaxSubjectFaces = 32;
inline constexpr std::uint32_t kSubjectCacheVersion = 1;
inline constexpr const char* kSubjectCacheFile = "subjects.cache";

struct SubjectCacheEntry {
    QString path;
    std::int64_t size = 0;
    std::int64_t modified = 0;
    int orientation = 1;     // the file's orientation tag when the subject was found
    PictureSubject subject; // upright
};

// The file's bytes for entries (in the order given; at most the first kMaxSubjectCacheEntries).
QByteArray WriteSubjectCache(const std::vector<SubjectCacheEntry>& entries);
// The entries of a cache file's bytes; nothing when the bytes are damaged, of another version or
// over the limits.
std::optional<std::vector<SubjectCacheEntry>> ReadSubjectCache(const QByteArray& bytes);

// How SubjectOfPhoto-like lookups treat a photo that is not cached yet.
enum class SubjectLookup {
    CacheOnly, // answer from the cache alone
    Find,      // find the subject now and keep it (the file is written by FlushSubjectCache)
    FindAndSave, // the same, and write the cache file at once
};

// The subject of the picture at path from the cache of the current data directory, or found
// now as lookup allows. upright false gives the rectangles in the stored picture's pixels.
std::optional<PictureSubject> LookUpSubject(const QString& path, bool upright,
                                            SubjectLookup lookup);

// The subjects of several photos (path, upright) at once, as a fill arrangement needs them: the
// cached ones at once, the others found on every core, then the cache file written once.
std::vector<std::optional<PictureSubject>>
SubjectsOfPhotos(const std::vector<std::pair<QString, bool>>& photos);

// Writes the cache file when entries were added since it was read or written; true when the
// file is up to date.
bool FlushSubjectCache();
// Forgets the cache held in memory (the file is read again on the next lookup).
void ForgetSubjectCache();

} // namespace mosaiq
