// Every reader of keyed encoded entries ("mask.cfg", "cusmask.cfg") on arbitrary bytes, and the
// append walk: after an append, the new entry must be the last one a reader reaches.
#include "library/items/LibraryFile.h"
#include "library/items/MaskLibrary.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>

using namespace mosaiq;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    for (int index : {0, 1, 2, 7, -1, 1 << 30}) {
        buffer.seek(0);
        if (const std::optional<KeyedEntry> entry = ReadKeyedEntry(buffer, index))
            DecodeKeyedEntry(*entry);
        buffer.seek(0);
        ReadKeyedEntryKey(buffer, index);
    }
    Guid key;
    if (size >= 28)
        std::memcpy(key.bytes.data(), data + 12, 16);
    buffer.seek(0);
    FindKeyedEntry(buffer, key);

    static QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/cusmask.cfg");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 0;
    file.close();
    Guid added;
    added.bytes.fill(0xA5);
    if (!AppendCustomMask(path, 3, 4, added, QByteArray("payload")))
        std::abort();
    QFile appended(path);
    if (!appended.open(QIODevice::ReadOnly))
        std::abort();
    LibraryReader reader(appended);
    const std::optional<int> count = ReadEntryCount(reader, EntryLayout::KeyedEncoded);
    if (!count || *count < 1)
        std::abort();
    appended.seek(0);
    const std::optional<KeyedEntry> last = ReadKeyedEntry(appended, *count - 1);
    if (!last || !(last->key == added) || last->encoded != "payload")
        std::abort();
    return 0;
}
