#pragma once

// The source photo list: the user's imported photos, each a 1,104-byte record with an 80 x 80
// JPEG thumbnail, kept in memory by the main window and stored in "srcmedia.cfg":
//   4 bytes record count N, N records, then N thumbnails (4-byte length, that many bytes).

#include "imaging/files/PictureFileEntry.h"

#include <QByteArray>
#include <QString>

#include <set>
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

    // Replaces the list by the content of path:
    //  - Loaded: the file was read whole (a missing file gives an empty list);
    //  - Damaged: the file did not hold what its count says; the records that could be recovered
    //    are kept and the file was renamed "<path>.damaged" (an older one of that name replaced),
    //    so the next save cannot make it worse;
    //  - Unreadable: the file exists but cannot be read (permissions, a pipe or a device, too
    //    large), or a damaged file could not be put aside. The list is empty and Save refuses to
    //    write over path, so the user's list is never replaced by an empty one.
    // message says what happened for Damaged and Unreadable.
    enum class LoadStatus { Loaded, Damaged, Unreadable };
    LoadStatus Load(const QString& path, QString* message = nullptr);
    // Parses list file bytes; false when they are damaged. A damaged list keeps what can be
    // recovered: the largest N for which 4 + N records + N length-prefixed thumbnails fit the
    // bytes (ending exactly at the end preferred); when no N >= 1 fits, the records the count
    // promises, as far as they fit, with the thumbnails that can be read (the others empty).
    bool LoadFromBytes(const QByteArray& bytes);
    // Writes every record that is not hidden, and its thumbnail, through a temporary file that
    // replaces path only when complete. False with a reason when the file cannot be written or
    // when path is a list that could not be read by Load (it is never overwritten).
    bool Save(const QString& path, QString* error = nullptr) const;
    QByteArray SaveToBytes() const;
    // Saves as Save does after merging what another writer (mosaiq-cli import-photos, while the
    // editor runs) added to path since this list last read or wrote it: such records, matched by
    // full path, are appended in the file's order unless a visible record has the path already;
    // records this list has removed stay removed, and this list's own additions and order are
    // kept. The read, merge and write hold "<path>.lock", so two writers take turns. merged
    // receives the number of records taken from the file.
    bool SaveMerging(const QString& path, QString* error = nullptr, int* merged = nullptr);
    // The merge alone: appends what another writer added to path since the last read or write
    // (the rule of SaveMerging) and returns how many records it took; 0 when path is missing,
    // unchanged or unreadable.
    int MergeFromFile(const QString& path);

    // Adds a photo made ready by PreparePhoto: refused when a visible record has the same path
    // (byte for byte), when it could not be read, or when a side is 5 pixels or less.
    AddPhotoResult AddImportedPhoto(const PreparedPhoto& photo);
    // The same for an entry, reading the picture on this thread.
    AddPhotoResult AddImportedPhoto(const PictureFileEntry& entry);

    // A record made before pictures were turned upright (no kUprightRecordMark) is measured again
    // on its upright picture the first time it is used: its size and thumbnail are remade (the
    // user's rotation field is kept, and stays on top) and it is marked. True when the record
    // changed; false when it was already marked or its file is not there (tried again later). A
    // tagged picture that no longer decodes is marked with its record left as it was.
    bool RemeasureOldRecord(int index);

    // True when a record that is not hidden has this path field.
    bool ContainsVisiblePath(const PictureFileEntry& entry) const;
    // A photo's file found again at newPath (Find Missing Photos): every visible record of
    // oldPath takes the new path and its parts. Returns how many records changed.
    int RelinkPath(const QString& oldPath, const QString& newPath);
    // Marks record index as removed; it stays in memory and is left out when saving.
    void Hide(int index);

private:
    void AppendLoaded(const PictureFileEntry& entry);
    bool ParseBytes(const QByteArray& bytes);
    int MergeFromBytes(const QByteArray& bytes);

    // The full paths the list file held when this list last read or wrote it: a record of the
    // file outside this set was added by another writer since.
    std::set<QByteArray> m_storedPaths;

    std::vector<PictureFileEntry> m_records;
    QString m_protectedPath;              // a list file Load could not read: Save never writes it
    std::vector<QByteArray> m_thumbnails; // parallel to m_records
};

} // namespace mosaiq
