#pragma once

// The source photo list: the user's imported photos, each a 1,104-byte record with an 80 x 80
// JPEG thumbnail, kept in memory by the main window and stored in "srcmedia.cfg":
//   4 bytes record count N, N records, then N thumbnails (4-byte length, that many bytes).

#include "imaging/PictureFileEntry.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace mosaiq {

constexpr int kPhotoThumbnailSize = 80;
constexpr int kPhotoThumbnailQuality = 75;
// Pictures are accepted only when both sides exceed this.
constexpr int kPhotoMinimumSide = 5;

// A photo made ready for the list off the user-interface thread: its record (path parts filled
// in), its size and its thumbnail; or the reason it cannot be added.
struct PreparedPhoto {
    PictureFileEntry entry{};
    QByteArray thumbnail; // JPEG, bottom row first
    bool ok = false;
    QString reason;
};

// Reads the picture's size and makes its thumbnail (80 x 80 stretched, transparency on white,
// JPEG quality 75). Thread-safe; the slow part of an import.
PreparedPhoto PreparePhoto(const QString& path);

enum class AddPhotoResult { Added, Duplicate, Unreadable, TooSmall };

class PhotoList {
public:
    const std::vector<PictureFileEntry>& Records() const { return m_records; }
    const std::vector<QByteArray>& Thumbnails() const { return m_thumbnails; }
    int Count() const { return int(m_records.size()); }

    // Replaces the list by the content of path. A missing file gives an empty list. A damaged or
    // short file keeps what was read before the damage and is deleted (damaged says so).
    void Load(const QString& path, bool* damaged = nullptr);
    // Parses list file bytes; false when they end early (what was read is kept).
    bool LoadFromBytes(const QByteArray& bytes);
    // Writes every record that is not hidden, and its thumbnail, through a temporary file that
    // replaces path only when complete. False with a reason when the file cannot be written.
    bool Save(const QString& path, QString* error = nullptr) const;
    QByteArray SaveToBytes() const;

    // Adds a photo made ready by PreparePhoto: refused when a visible record has the same path
    // (byte for byte), when it could not be read, or when a side is 5 pixels or less.
    AddPhotoResult AddImportedPhoto(const PreparedPhoto& photo);
    // The same for an entry, reading the picture on this thread.
    AddPhotoResult AddImportedPhoto(const PictureFileEntry& entry);

    // True when a record that is not hidden has this path field.
    bool ContainsVisiblePath(const PictureFileEntry& entry) const;
    // Marks record index as removed; it stays in memory and is left out when saving.
    void Hide(int index);

private:
    std::vector<PictureFileEntry> m_records;
    std::vector<QByteArray> m_thumbnails; // parallel to m_records
};

} // namespace mosaiq
