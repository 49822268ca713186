#include "library/packs/PackImport.h"

#include "core/data/DataPath.h"
#include "core/text/DisplayText.h"
#include "core/files/FileSetReplace.h"
#include "core/WinTypes.h"
#include "library/packs/ImportedPackList.h"
#include "library/items/LibraryFile.h"
#include "library/packs/ResourcePack.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

namespace mosaiq {
namespace {

// How the entries of one library file are walked: reads an entry's header and returns the size
// of the data after it, or -1 when the entry is damaged.
using EntryWalker = std::function<qint64(LibraryReader&)>;

EntryWalker WalkerFor(EntryLayout layout) {
    return [layout](LibraryReader& reader) -> qint64 {
        const std::optional<EntryHeader> h = ReadEntryHeader(reader, layout);
        return h ? h->dataSize : -1;
    };
}

// "decorate": int32 w, int32 h, int32 L, then L bytes.
qint64 WalkPlainEncoded(LibraryReader& reader) {
    std::int32_t w = 0, h = 0, length = 0;
    if (!reader.ReadInt32(w) || !reader.ReadInt32(h) || !reader.ReadInt32(length) || w < 0 ||
        h < 0 || length < 0 || length > reader.Remaining())
        return -1;
    return length;
}

// One target library: its existing entries and the entries the pack adds.
struct TargetFile {
    QString name;
    EntryWalker walk;
    std::int32_t existingCount = 0;
    QByteArray existingEntries; // the counted entries of the file as it is, without the count
    QByteArray added;
};

// Reads the counted entries of an existing library. A missing file is an empty library; a file
// that cannot be read, or whose count promises more entries than it holds, refuses the import
// (appending after a damaged entry would put the new items out of every reader's reach).
bool ReadExisting(const QString& path, TargetFile& target, QString* reason) {
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        *reason = QStringLiteral("the library %1 cannot be read").arg(target.name);
        return false;
    }
    LibraryReader reader(file);
    std::int32_t count = 0;
    if (!reader.ReadInt32(count) || count < 0) {
        *reason = QStringLiteral("the library %1 is damaged").arg(target.name);
        return false;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const qint64 dataSize = target.walk(reader);
        if (dataSize < 0 || !reader.Skip(dataSize)) {
            *reason = QStringLiteral("the library %1 is damaged (entry %2 of %3 cannot be read)")
                          .arg(target.name)
                          .arg(i + 1)
                          .arg(count);
            return false;
        }
    }
    // Bytes after the counted entries are beyond every reader's reach: they are not kept.
    const qint64 end = reader.Position();
    if (!file.seek(4)) {
        *reason = QStringLiteral("the library %1 cannot be read").arg(target.name);
        return false;
    }
    target.existingEntries = file.read(end - 4);
    if (target.existingEntries.size() != end - 4) {
        *reason = QStringLiteral("the library %1 cannot be read").arg(target.name);
        return false;
    }
    target.existingCount = count;
    return true;
}

QByteArray EncodedEntryHeader(const PackItem& item) {
    QByteArray out;
    AppendInt32(out, item.fullWidth);
    AppendInt32(out, item.fullHeight);
    AppendInt32(out, std::int32_t(item.data.size()));
    return out;
}

QByteArray ThumbnailEntry(const PackItem& item) {
    QByteArray out;
    AppendInt32(out, item.thumbWidth);
    AppendInt32(out, item.thumbHeight);
    out += item.thumbPixels;
    return out;
}

// The targets of a pack type with the pack's items appended in pack order.
std::vector<TargetFile> BuildTargets(const ResourcePack& pack) {
    std::vector<TargetFile> targets;
    const auto add = [&](const char* name, EntryWalker walk) {
        targets.push_back(TargetFile{QLatin1String(name), std::move(walk)});
        return targets.size() - 1;
    };
    const size_t thumbs = add(PackThumbnailLibrary(pack.type).toLatin1().constData(),
                              WalkerFor(EntryLayout::RawPicture));
    for (const PackItem& item : pack.items)
        targets[thumbs].added += ThumbnailEntry(item);
    switch (PackKind(pack.type)) {
    case PackKind::Frames: {
        const size_t full = add("frame.cfg", WalkerFor(EntryLayout::Frame));
        for (const PackItem& item : pack.items) {
            QByteArray& out = targets[full].added;
            out += EncodedEntryHeader(item);
            AppendFloat(out, item.window.left);
            AppendFloat(out, item.window.top);
            AppendFloat(out, item.window.right);
            AppendFloat(out, item.window.bottom);
            out += item.data;
        }
        break;
    }
    case PackKind::Masks: {
        const size_t full = add("mask.cfg", WalkerFor(EntryLayout::KeyedEncoded));
        const size_t custom = add("cusmask.cfg", WalkerFor(EntryLayout::KeyedEncoded));
        for (const PackItem& item : pack.items) {
            // Packs carry no keys; each mask gets its own, so projects can find it again.
            const Guid key = Guid::Create();
            QByteArray entry = EncodedEntryHeader(item);
            entry.append(reinterpret_cast<const char*>(key.bytes.data()), 16);
            entry += item.data;
            targets[full].added += entry;
            targets[custom].added += entry;
        }
        break;
    }
    case PackKind::Decorations: {
        const size_t full = add("decorate", &WalkPlainEncoded);
        for (const PackItem& item : pack.items)
            targets[full].added += EncodedEntryHeader(item) + item.data;
        break;
    }
    case PackKind::Cliparts:
    case PackKind::Brushes:
        break;
    }
    return targets;
}

PackImportResult Refuse(PackImportStatus status, const QString& reason, int type = -1) {
    PackImportResult result;
    result.status = status;
    result.reason = reason;
    result.type = type;
    return result;
}

} // namespace

QString AlreadyImportedText() {
    return QStringLiteral("Already in the library.");
}

QString PackImportResult::Message(const QString& packPath) const {
    if (status == PackImportStatus::AlreadyImported)
        return AlreadyImportedText();
    if (status == PackImportStatus::Imported)
        return QString();
    return QStringLiteral("The resource pack %1 was not imported: %2.")
        .arg(EscapedForLine(QFileInfo(packPath).fileName()), EscapedForLine(reason));
}

QString PackThumbnailLibrary(int type) {
    static const char* const kFiles[kPackKindCount] = {"tbframe.cfg", "tbmask.cfg", "clipart.cfg",
                                                       "decorate_t", "brushs"};
    if (type < 0 || type >= kPackKindCount)
        return QString();
    return QLatin1String(kFiles[type]);
}

PackImportResult ImportResourcePack(const QString& packPath, const QString& dataDir) {
    QString dir = dataDir.isEmpty() ? DataPath() : dataDir;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');

    const QByteArray name = PackNameBytes(packPath);
    if (name.isEmpty())
        return Refuse(
            PackImportStatus::Refused,
            QStringLiteral("its file name is longer than %1 bytes").arg(kPackNameSlotBytes - 1));
    const QString listPath = dir + QStringLiteral("Res_Info");
    QString listReason;
    std::optional<std::vector<QByteArray>> list = ReadImportedPackNames(listPath, &listReason);
    if (!list)
        return Refuse(PackImportStatus::Refused, listReason);
    std::vector<QByteArray> names = std::move(*list);
    for (const QByteArray& known : names)
        if (known == name)
            return Refuse(PackImportStatus::AlreadyImported, AlreadyImportedText());

    QString reason;
    const std::optional<ResourcePack> pack = ReadResourcePack(packPath, &reason);
    if (!pack)
        return Refuse(PackImportStatus::Refused, reason);

    std::vector<FileReplacement> files;
    if (!pack->items.empty()) {
        std::vector<TargetFile> targets = BuildTargets(*pack);
        for (TargetFile& target : targets) {
            if (!ReadExisting(dir + target.name, target, &reason))
                return Refuse(PackImportStatus::Refused, reason, pack->type);
            if (qint64(target.existingCount) + qint64(pack->items.size()) > INT32_MAX)
                return Refuse(PackImportStatus::Refused,
                              QStringLiteral("the library %1 is full").arg(target.name),
                              pack->type);
            QByteArray bytes;
            bytes.reserve(4 + target.existingEntries.size() + target.added.size());
            AppendInt32(bytes, target.existingCount + std::int32_t(pack->items.size()));
            bytes += target.existingEntries;
            bytes += target.added;
            files.push_back({dir + target.name, std::move(bytes)});
        }
    }
    names.push_back(name);
    files.push_back({listPath, EncodeImportedPackNames(names)});
    if (!QDir().mkpath(dir))
        return Refuse(PackImportStatus::WriteFailed,
                      QStringLiteral("the data folder %1 cannot be created").arg(dir), pack->type);
    if (!ReplaceFilesTogether(files, &reason))
        return Refuse(PackImportStatus::WriteFailed, reason, pack->type);
    PackImportResult result;
    result.status = PackImportStatus::Imported;
    result.type = pack->type;
    result.count = int(pack->items.size());
    return result;
}

} // namespace mosaiq
