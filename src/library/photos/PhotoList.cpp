#include "library/photos/PhotoList.h"

#include "core/files/AtomicFile.h"
#include "core/files/RegularFile.h"
#include "imaging/encode/JpegCompressor.h"
#include "imaging/decode/PictureDecoder.h"
#include "imaging/decode/PictureLoaders.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QtEndian>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace mosaiq {

namespace {

constexpr qsizetype kRecordSize = qsizetype(sizeof(PictureFileEntry));

// Sequential reading of list bytes that reports a short read instead of running past the end.
class ByteReader {
public:
    explicit ByteReader(const QByteArray& bytes) : m_bytes(bytes) {}
    bool ReadU32(std::uint32_t* value) {
        if (m_bytes.size() - m_pos < 4)
            return false;
        *value = qFromLittleEndian<std::uint32_t>(m_bytes.constData() + m_pos);
        m_pos += 4;
        return true;
    }
    bool Read(void* out, qsizetype size) {
        if (size < 0 || m_bytes.size() - m_pos < size)
            return false;
        std::memcpy(out, m_bytes.constData() + m_pos, size_t(size));
        m_pos += size;
        return true;
    }
    bool ReadBlock(QByteArray* out, qsizetype size) {
        if (size < 0 || m_bytes.size() - m_pos < size)
            return false;
        *out = m_bytes.mid(m_pos, size);
        m_pos += size;
        return true;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

// Photo lists larger than this (some 100,000 photos) are not read into memory.
constexpr qint64 kMaxPhotoListBytes = qint64(512) * 1024 * 1024;
// Thumbnail lengths the recovery of a damaged list may read in all; bounds its search.
constexpr std::int64_t kRecoverySteps = 20'000'000;

// Where n records and n length-prefixed thumbnails after the 4-byte count end, or -1 when they
// do not fit in bytes. Each length read costs one step of budget; -1 when it runs out.
qint64 ThumbnailChainEnd(const QByteArray& bytes, qint64 n, std::int64_t* budget) {
    const qint64 size = bytes.size();
    if (n < 0 || n > (size - 4) / kRecordSize)
        return -1;
    qint64 pos = 4 + n * kRecordSize;
    for (qint64 i = 0; i < n; ++i) {
        if (--*budget < 0 || size - pos < 4)
            return -1;
        const qint64 length = qFromLittleEndian<std::uint32_t>(bytes.constData() + pos);
        pos += 4;
        if (length > size - pos)
            return -1;
        pos += length;
    }
    return pos;
}

// A record read from a damaged list is kept only when its path is a terminated, non-empty text.
bool PlausibleRecord(const PictureFileEntry& entry) {
    return entry.path[0] != 0 && std::memchr(entry.path, 0, sizeof entry.path) != nullptr;
}

QByteArray PathKey(const PictureFileEntry& entry) {
    return QByteArray(entry.path, qsizetype(strnlen(entry.path, sizeof entry.path)));
}

void AppendU32(QByteArray& out, std::uint32_t value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

PreparedPhoto PreparePhoto(const QString& path) {
    PreparedPhoto photo;
    const auto entry = MakeFileEntry(QString(), path, false, &photo.reason);
    if (!entry)
        return photo;
    photo.entry = *entry;
    // One decode gives both the size and the thumbnail (reduced decoding where the format allows).
    const DecodedPicture picture =
        DecodePicture(path, QSize(2 * kPhotoThumbnailSize, 2 * kPhotoThumbnailSize));
    if (!picture.Ok()) {
        photo.reason = picture.error;
        return photo;
    }
    photo.entry.upright = kUprightRecordMark;
    photo.entry.width = std::uint32_t(picture.fullSize.width());
    photo.entry.height = std::uint32_t(picture.fullSize.height());
    if (picture.fullSize.width() <= kPhotoMinimumSide ||
        picture.fullSize.height() <= kPhotoMinimumSide) {
        photo.reason = QStringLiteral("the picture is %1 x %2 pixels; both sides must exceed %3")
                           .arg(picture.fullSize.width())
                           .arg(picture.fullSize.height())
                           .arg(kPhotoMinimumSide);
        return photo;
    }
    const QImage thumb =
        StretchOnWhite(picture.image, QSize(kPhotoThumbnailSize, kPhotoThumbnailSize));
    // Bottom-up RGB rows, compressed row by row: the stored thumbnail is upside down, as list
    // files have always held it; DrawEncodedPicture turns it upright.
    unsigned char rows[kPhotoThumbnailSize * kPhotoThumbnailSize * 3];
    for (int y = 0; y < kPhotoThumbnailSize; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(thumb.constScanLine(y));
        unsigned char* out = rows + (kPhotoThumbnailSize - 1 - y) * kPhotoThumbnailSize * 3;
        for (int x = 0; x < kPhotoThumbnailSize; ++x) {
            out[3 * x] = static_cast<unsigned char>(qRed(in[x]));
            out[3 * x + 1] = static_cast<unsigned char>(qGreen(in[x]));
            out[3 * x + 2] = static_cast<unsigned char>(qBlue(in[x]));
        }
    }
    photo.thumbnail = CompressJpegToMemory(rows, kPhotoThumbnailSize, kPhotoThumbnailSize,
                                           kPhotoThumbnailQuality, true);
    if (photo.thumbnail.isEmpty()) {
        photo.reason = QStringLiteral("the thumbnail could not be compressed");
        return photo;
    }
    photo.ok = true;
    return photo;
}

bool PhotoList::RemeasureOldRecord(int index) {
    if (index < 0 || index >= Count())
        return false;
    PictureFileEntry& record = m_records[size_t(index)];
    if (record.upright == kUprightRecordMark)
        return false;
    const QString path = EntryPath(record);
    if (!QFileInfo(path).isFile())
        return false;
    // Most pictures carry no turning tag: their record is right as it is and only gets the mark.
    // A tagged picture that no longer decodes keeps its record as it is, marked all the same:
    // it is not decoded again every time the browser draws it.
    if (ReadPictureOrientation(path) != 1) {
        const PreparedPhoto photo = PreparePhoto(path);
        if (photo.ok) {
            record.width = photo.entry.width;
            record.height = photo.entry.height;
            m_thumbnails[size_t(index)] = photo.thumbnail;
        }
    }
    record.upright = kUprightRecordMark;
    return true;
}

void PhotoList::AppendLoaded(const PictureFileEntry& entry) {
    PictureFileEntry e = entry;
    e.number = std::uint32_t(m_records.size());
    e.selected = 0;
    m_records.push_back(e);
}

PhotoList::LoadStatus PhotoList::Load(const QString& path, QString* message) {
    m_records.clear();
    m_thumbnails.clear();
    m_storedPaths.clear();
    m_protectedPath.clear();
    const auto refuse = [&](const QString& why) {
        m_records.clear();
        m_thumbnails.clear();
        m_protectedPath = path;
        if (message)
            *message = QStringLiteral("%1; the photo list is left as it is").arg(why);
        return LoadStatus::Unreadable;
    };
    QFile file;
    QString reason;
    const OpenFailure failure = OpenRegularFile(file, path, &reason);
    if (failure == OpenFailure::Missing)
        return LoadStatus::Loaded;
    if (failure != OpenFailure::None)
        return refuse(reason);
    const qint64 size = file.size();
    if (size > kMaxPhotoListBytes)
        return refuse(
            QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(kMaxPhotoListBytes));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() != size)
        return refuse(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    file.close();
    if (LoadFromBytes(bytes))
        return LoadStatus::Loaded;

    // Put the damaged file aside before anything can be written over it.
    // (an older one of that name is replaced, never a folder, pipe or device of that name).
    const QString aside = path + QStringLiteral(".damaged");
    QString notReplaced;
    const QString asideTarget = ReplaceableTarget(aside, &notReplaced);
    if (asideTarget.isEmpty() || std::rename(QFile::encodeName(path).constData(),
                                             QFile::encodeName(asideTarget).constData()) != 0) {
        const QString why =
            asideTarget.isEmpty() ? notReplaced : QString::fromLocal8Bit(std::strerror(errno));
        // The recovered records stay in memory; the damaged file must not be replaced.
        m_protectedPath = path;
        if (message)
            *message = QStringLiteral("%1 is damaged and could not be renamed to %2 (%3); kept "
                                      "the %4 photos that could be recovered, and the file will "
                                      "not be written")
                           .arg(path, aside, why)
                           .arg(Count());
        return LoadStatus::Unreadable;
    }
    if (message)
        *message = QStringLiteral("%1 was damaged and was renamed to %2; kept the %3 photos that "
                                  "could be recovered")
                       .arg(path, aside)
                       .arg(Count());
    return LoadStatus::Damaged;
}

bool PhotoList::LoadFromBytes(const QByteArray& bytes) {
    const bool whole = ParseBytes(bytes);
    m_storedPaths.clear();
    for (const PictureFileEntry& e : m_records)
        m_storedPaths.insert(PathKey(e));
    return whole;
}

bool PhotoList::ParseBytes(const QByteArray& bytes) {
    m_records.clear();
    m_thumbnails.clear();
    ByteReader reader(bytes);
    std::uint32_t count = 0;
    if (!reader.ReadU32(&count))
        return false;
    const qint64 size = bytes.size();
    const auto takeChain = [&](qint64 n) {
        ByteReader chain(bytes);
        std::uint32_t ignored = 0;
        chain.ReadU32(&ignored);
        for (qint64 i = 0; i < n; ++i) {
            PictureFileEntry entry;
            chain.Read(&entry, kRecordSize);
            AppendLoaded(entry);
        }
        for (qint64 i = 0; i < n; ++i) {
            std::uint32_t length = 0;
            QByteArray block;
            chain.ReadU32(&length);
            chain.ReadBlock(&block, qsizetype(length));
            m_thumbnails.push_back(block);
        }
    };
    // The count is right when its records and thumbnails end exactly at the end of the bytes.
    std::int64_t budget = kRecoverySteps;
    if (qint64(count) <= (size - 4) / kRecordSize &&
        ThumbnailChainEnd(bytes, count, &budget) == size) {
        takeChain(count);
        return true;
    }
    // Damaged: a count that lies (a save cut short leaves 0 before the records), or a thumbnail
    // length that lies. Find the largest N whose layout fits.
    budget = kRecoverySteps;
    qint64 within = 0;
    for (qint64 n = (size - 4) / kRecordSize; n >= 1 && budget > 0; --n) {
        const qint64 end = ThumbnailChainEnd(bytes, n, &budget);
        if (end == size) {
            takeChain(n);
            return false;
        }
        if (end >= 0 && within == 0)
            within = n;
    }
    if (within > 0) {
        takeChain(within);
        return false;
    }
    // No layout fits: keep the records the count promises as far as they are whole and look like
    // records, with the thumbnails that can still be read.
    for (std::uint32_t i = 0; i < count; ++i) {
        PictureFileEntry entry;
        if (!reader.Read(&entry, kRecordSize) || !PlausibleRecord(entry))
            break;
        AppendLoaded(entry);
    }
    for (size_t i = 0; i < m_records.size(); ++i) {
        std::uint32_t length = 0;
        QByteArray block;
        if (!reader.ReadU32(&length) || !reader.ReadBlock(&block, qsizetype(length)))
            break;
        m_thumbnails.push_back(block);
    }
    // Records whose thumbnail was lost keep an empty one, so the lists stay parallel and the
    // next save writes a consistent file.
    m_thumbnails.resize(m_records.size());
    return false;
}

QByteArray PhotoList::SaveToBytes() const {
    QByteArray out;
    AppendU32(out, 0);
    std::uint32_t written = 0;
    for (const PictureFileEntry& e : m_records) {
        if (e.hidden)
            continue;
        out.append(reinterpret_cast<const char*>(&e), kRecordSize);
        ++written;
    }
    // One block per record written (an empty one for a record whose thumbnail was lost), so the
    // count of thumbnails always matches the count of records.
    for (size_t i = 0; i < m_records.size(); ++i) {
        if (m_records[i].hidden)
            continue;
        const QByteArray thumb = i < m_thumbnails.size() ? m_thumbnails[i] : QByteArray();
        AppendU32(out, std::uint32_t(thumb.size()));
        out.append(thumb);
    }
    qToLittleEndian(written, out.data());
    return out;
}

bool PhotoList::Save(const QString& path, QString* error) const {
    if (!m_protectedPath.isEmpty() && m_protectedPath == path) {
        if (error)
            *error = QStringLiteral("%1 could not be read when the list was loaded; it is not "
                                    "written over")
                         .arg(path);
        return false;
    }
    return WriteFileAtomically(path, SaveToBytes(), error);
}

namespace {

// Reads a list file for merging: empty when it is missing, cannot be read or is too large.
QByteArray ReadListForMerge(const QString& path) {
    QFile file;
    if (OpenRegularFile(file, path) != OpenFailure::None || file.size() > kMaxPhotoListBytes)
        return {};
    return file.readAll();
}

} // namespace

int PhotoList::MergeFromBytes(const QByteArray& bytes) {
    PhotoList stored;
    stored.ParseBytes(bytes); // a damaged file gives what can be recovered
    int merged = 0;
    for (size_t i = 0; i < stored.m_records.size(); ++i) {
        const PictureFileEntry& e = stored.m_records[i];
        const QByteArray key = PathKey(e);
        if (key.isEmpty() || m_storedPaths.count(key) != 0 || ContainsVisiblePath(e))
            continue; // known before (kept or removed here) or added here too
        PictureFileEntry added = e;
        added.number = std::uint32_t(m_records.size());
        added.selected = 0;
        added.hidden = 0;
        m_records.push_back(added);
        m_thumbnails.push_back(i < stored.m_thumbnails.size() ? stored.m_thumbnails[i]
                                                              : QByteArray());
        ++merged;
    }
    // The file's records are known now: removing one of them later keeps it removed.
    for (const PictureFileEntry& e : stored.m_records)
        m_storedPaths.insert(PathKey(e));
    return merged;
}

int PhotoList::MergeFromFile(const QString& path) {
    if (!m_protectedPath.isEmpty() && m_protectedPath == path)
        return 0;
    return MergeFromBytes(ReadListForMerge(path));
}

bool PhotoList::SaveMerging(const QString& path, QString* error, int* merged) {
    if (merged)
        *merged = 0;
    if (!m_protectedPath.isEmpty() && m_protectedPath == path)
        return Save(path, error);
    // Another writer holds the lock only for its own read, merge and write; a lock left by a
    // killed writer is taken over after the stale time.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(30'000);
    if (!lock.tryLock(10'000)) {
        if (error)
            *error = QStringLiteral("%1 is being written by another program; try again").arg(path);
        return false;
    }
    const int taken = MergeFromFile(path);
    if (merged)
        *merged = taken;
    if (!Save(path, error))
        return false;
    m_storedPaths.clear();
    for (const PictureFileEntry& e : m_records)
        if (!e.hidden)
            m_storedPaths.insert(PathKey(e));
    return true;
}

bool PhotoList::ContainsVisiblePath(const PictureFileEntry& entry) const {
    for (const PictureFileEntry& e : m_records)
        if (!e.hidden && std::memcmp(e.path, entry.path, sizeof e.path) == 0)
            return true;
    return false;
}

AddPhotoResult PhotoList::AddImportedPhoto(const PreparedPhoto& photo) {
    PictureFileEntry entry = photo.entry;
    entry.hidden = 0;
    if (ContainsVisiblePath(entry))
        return AddPhotoResult::Duplicate;
    if (!photo.ok || photo.thumbnail.isEmpty()) {
        if (entry.width != 0 &&
            (entry.width <= kPhotoMinimumSide || entry.height <= kPhotoMinimumSide))
            return AddPhotoResult::TooSmall;
        return AddPhotoResult::Unreadable;
    }
    entry.number = std::uint32_t(m_records.size());
    entry.selected = 0;
    m_records.push_back(entry);
    m_thumbnails.push_back(photo.thumbnail);
    return AddPhotoResult::Added;
}

AddPhotoResult PhotoList::AddImportedPhoto(const PictureFileEntry& entry) {
    PictureFileEntry visible = entry;
    visible.hidden = 0;
    if (ContainsVisiblePath(visible))
        return AddPhotoResult::Duplicate;
    return AddImportedPhoto(PreparePhoto(EntryPath(entry)));
}

int PhotoList::RelinkPath(const QString& oldPath, const QString& newPath) {
    const std::optional<PictureFileEntry> moved = MakeFileEntry(QString(), newPath, false);
    if (!moved || oldPath == newPath)
        return 0;
    int changed = 0;
    for (PictureFileEntry& record : m_records) {
        if (record.hidden || EntryPath(record) != oldPath)
            continue;
        // The path and its parts follow the file; size, thumbnail and marks stay the photo's.
        std::memcpy(record.path, moved->path, sizeof record.path);
        std::memcpy(record.drive, moved->drive, sizeof record.drive);
        std::memcpy(record.directory, moved->directory, sizeof record.directory);
        std::memcpy(record.name, moved->name, sizeof record.name);
        std::memcpy(record.extension, moved->extension, sizeof record.extension);
        ++changed;
    }
    return changed;
}

void PhotoList::Hide(int index) {
    if (index >= 0 && index < Count())
        m_records[size_t(index)].hidden = 1;
}

} // namespace mosaiq
