#include "library/items/MaskLibrary.h"

#include "core/data/DataPath.h"
#include "core/files/RegularFile.h"
#include "library/items/LibraryFile.h"

#include <QFile>

namespace mosaiq {
namespace {

QString MaskFile() {
    return DataFile(QStringLiteral("mask.cfg"));
}
QString CustomMaskFile() {
    return DataFile(QStringLiteral("cusmask.cfg"));
}

std::optional<KeyedEntry> ReadEntryData(LibraryReader& reader, const EntryHeader& h) {
    KeyedEntry entry;
    entry.width = h.width;
    entry.height = h.height;
    entry.key = h.key;
    if (!reader.ReadBytes(h.dataSize, entry.encoded))
        return std::nullopt;
    return entry;
}

// Runs read on the file at path opened read-only; no result when it cannot be opened.
template <typename Result, typename Read>
std::optional<Result> WithFile(const QString& path, Read read) {
    QFile file;
    if (OpenRegularFile(file, path) != OpenFailure::None)
        return std::nullopt;
    return read(file);
}

} // namespace

std::optional<KeyedEntry> ReadKeyedEntry(QIODevice& device, int index) {
    LibraryReader reader(device);
    const std::optional<EntryHeader> h = SeekToEntry(reader, EntryLayout::KeyedEncoded, index);
    if (!h)
        return std::nullopt;
    return ReadEntryData(reader, *h);
}

std::optional<Guid> ReadKeyedEntryKey(QIODevice& device, int index) {
    LibraryReader reader(device);
    const std::optional<EntryHeader> h = SeekToEntry(reader, EntryLayout::KeyedEncoded, index);
    if (!h)
        return std::nullopt;
    return h->key;
}

std::optional<KeyedEntry> FindKeyedEntry(QIODevice& device, const Guid& key) {
    LibraryReader reader(device);
    const std::optional<int> count = ReadEntryCount(reader, EntryLayout::KeyedEncoded);
    if (!count)
        return std::nullopt;
    for (int i = 0; i < *count; ++i) {
        const std::optional<EntryHeader> h = ReadEntryHeader(reader, EntryLayout::KeyedEncoded);
        if (!h)
            return std::nullopt;
        if (h->key == key)
            return ReadEntryData(reader, *h);
        if (!reader.Skip(h->dataSize))
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<MaskPicture> DecodeKeyedEntry(const KeyedEntry& entry) {
    std::optional<QImage> image = DecodeEncodedPicture(entry.encoded);
    if (!image)
        return std::nullopt;
    MaskPicture mask;
    mask.width = image->width();
    mask.height = image->height();
    mask.image = std::move(*image);
    mask.key = entry.key;
    return mask;
}

std::optional<MaskPicture> ReadMask(const QString& path, int index) {
    const std::optional<KeyedEntry> entry =
        WithFile<KeyedEntry>(path, [index](QFile& f) { return ReadKeyedEntry(f, index); });
    return entry ? DecodeKeyedEntry(*entry) : std::nullopt;
}

std::optional<MaskPicture> ReadMask(int index) {
    return ReadMask(MaskFile(), index);
}

std::optional<Guid> ReadMaskKey(const QString& path, int index) {
    return WithFile<Guid>(path, [index](QFile& f) { return ReadKeyedEntryKey(f, index); });
}

std::optional<Guid> ReadMaskKey(int index) {
    return ReadMaskKey(MaskFile(), index);
}

std::optional<KeyedEntry> FindCustomMaskRaw(const QString& path, const Guid& key) {
    return WithFile<KeyedEntry>(path, [&key](QFile& f) { return FindKeyedEntry(f, key); });
}

std::optional<KeyedEntry> FindCustomMaskRaw(const Guid& key) {
    return FindCustomMaskRaw(CustomMaskFile(), key);
}

std::optional<MaskPicture> FindCustomMask(const QString& path, const Guid& key) {
    const std::optional<KeyedEntry> entry = FindCustomMaskRaw(path, key);
    return entry ? DecodeKeyedEntry(*entry) : std::nullopt;
}

std::optional<MaskPicture> FindCustomMask(const Guid& key) {
    return FindCustomMask(CustomMaskFile(), key);
}

QByteArray EncodeKeyedEntry(int width, int height, const Guid& key, const QByteArray& encoded) {
    QByteArray out;
    out.reserve(28 + encoded.size());
    AppendInt32(out, width);
    AppendInt32(out, height);
    AppendInt32(out, std::int32_t(encoded.size()));
    out.append(reinterpret_cast<const char*>(key.bytes.data()), qsizetype(key.bytes.size()));
    out += encoded;
    return out;
}

QByteArray EncodeKeyedLibrary(const std::vector<KeyedEntry>& entries) {
    QByteArray out;
    AppendInt32(out, std::int32_t(entries.size()));
    for (const KeyedEntry& e : entries)
        out += EncodeKeyedEntry(e.width, e.height, e.key, e.encoded);
    return out;
}

bool AppendKeyedEncodedEntry(const QString& path, int width, int height, const Guid& key,
                             const QByteArray& encoded, QString* error) {
    if (width < 0 || height < 0 || encoded.size() > INT32_MAX) {
        if (error)
            *error = QStringLiteral("not a mask entry");
        return false;
    }
    return AppendEncodedEntry(path, EntryLayout::KeyedEncoded,
                              EncodeKeyedEntry(width, height, key, encoded), error);
}

bool AppendCustomMask(const QString& path, int width, int height, const Guid& key,
                      const QByteArray& encoded, QString* error) {
    return AppendKeyedEncodedEntry(path, width, height, key, encoded, error);
}

bool AppendCustomMask(int width, int height, const Guid& key, const QByteArray& encoded,
                      QString* error) {
    return AppendCustomMask(CustomMaskFile(), width, height, key, encoded, error);
}

} // namespace mosaiq
