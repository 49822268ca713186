#pragma once

// The mask libraries: "mask.cfg" (the built-in masks, then imported ones) and "cusmask.cfg"
// (masks found by their key, carried by projects). Both hold keyed encoded entries:
// int32 w, int32 h, int32 L, 16-byte key, L bytes of an encoded picture (PNG for built-in masks).
// A mask is a grey shape: black keeps the photo, white removes it.
//
// Readers open the file afresh on every call and give no result for a missing, unreadable,
// truncated or damaged file and for an index that is negative or not below the count.

#include "core/WinTypes.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>
#include <vector>

class QIODevice;

namespace mosaiq {

// One keyed entry as stored, undecoded.
struct KeyedEntry {
    int width = 0;
    int height = 0;
    Guid key;
    QByteArray encoded; // L == encoded.size()
};

// A decoded mask. width and height are the decoded picture's own size: when the size stored in
// the entry disagrees with the picture, the picture wins, so callers never index past its pixels.
struct MaskPicture {
    QImage image; // Format_ARGB32 (B, G, R, A in memory)
    int width = 0;
    int height = 0;
    Guid key;
};

// Readers over an open device (the file readers below and the fuzzers use these).
std::optional<KeyedEntry> ReadKeyedEntry(QIODevice& device, int index);
std::optional<Guid> ReadKeyedEntryKey(QIODevice& device, int index);
// The first of the count entries whose key equals key.
std::optional<KeyedEntry> FindKeyedEntry(QIODevice& device, const Guid& key);
std::optional<MaskPicture> DecodeKeyedEntry(const KeyedEntry& entry);

// Entry n of the mask library at path (default: DataFile("mask.cfg")), decoded.
std::optional<MaskPicture> ReadMask(const QString& path, int index);
std::optional<MaskPicture> ReadMask(int index);
// The key of entry n, without decoding the picture.
std::optional<Guid> ReadMaskKey(const QString& path, int index);
std::optional<Guid> ReadMaskKey(int index);

// The first entry of the custom mask library (default: DataFile("cusmask.cfg")) with this key.
std::optional<MaskPicture> FindCustomMask(const QString& path, const Guid& key);
std::optional<MaskPicture> FindCustomMask(const Guid& key);
// The same search, returning the stored entry undecoded (what a project embeds).
std::optional<KeyedEntry> FindCustomMaskRaw(const QString& path, const Guid& key);
std::optional<KeyedEntry> FindCustomMaskRaw(const Guid& key);

// One keyed entry in the file layout.
QByteArray EncodeKeyedEntry(int width, int height, const Guid& key, const QByteArray& encoded);
// A whole keyed library file (count, then the entries in order).
QByteArray EncodeKeyedLibrary(const std::vector<KeyedEntry>& entries);

// Appends an entry to the keyed library at path and rewrites its count (see AppendEncodedEntry:
// the file is rewritten through a temporary file, so a failed append keeps the old library).
// No search for an existing entry with the same key is made.
bool AppendKeyedEncodedEntry(const QString& path, int width, int height, const Guid& key,
                             const QByteArray& encoded, QString* error = nullptr);
// The same for the custom mask library at path, or DataFile("cusmask.cfg").
bool AppendCustomMask(const QString& path, int width, int height, const Guid& key,
                      const QByteArray& encoded, QString* error = nullptr);
bool AppendCustomMask(int width, int height, const Guid& key, const QByteArray& encoded,
                      QString* error = nullptr);

} // namespace mosaiq
