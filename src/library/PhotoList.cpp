#include "library/PhotoList.h"

#include "app/AtomicFile.h"
#include "imaging/JpegCompressor.h"
#include "imaging/PictureDecoder.h"
#include "imaging/PictureLoaders.h"

#include <QFile>
#include <QtEndian>

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

void PhotoList::Load(const QString& path, bool* damaged) {
    m_records.clear();
    m_thumbnails.clear();
    if (damaged)
        *damaged = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // A list of N records is at least 4 + N * 1108 bytes; lengths are checked against what is left.
    const QByteArray bytes = file.readAll();
    file.close();
    if (!LoadFromBytes(bytes)) {
        // Records whose thumbnail was lost keep an empty one, so the lists stay parallel and the
        // next save writes a consistent file.
        if (damaged)
            *damaged = true;
        QFile::remove(path);
    }
}

bool PhotoList::LoadFromBytes(const QByteArray& bytes) {
    m_records.clear();
    m_thumbnails.clear();
    ByteReader reader(bytes);
    std::uint32_t count = 0;
    if (!reader.ReadU32(&count))
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        PictureFileEntry entry;
        if (!reader.Read(&entry, kRecordSize)) {
            m_thumbnails.resize(m_records.size());
            return false;
        }
        entry.number = std::uint32_t(m_records.size());
        entry.selected = 0;
        m_records.push_back(entry);
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t length = 0;
        QByteArray block;
        if (!reader.ReadU32(&length) || !reader.ReadBlock(&block, qsizetype(length))) {
            m_thumbnails.resize(m_records.size());
            return false;
        }
        m_thumbnails.push_back(block);
    }
    return true;
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
    return WriteFileAtomically(path, SaveToBytes(), error);
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

void PhotoList::Hide(int index) {
    if (index >= 0 && index < Count())
        m_records[size_t(index)].hidden = 1;
}

} // namespace mosaiq
