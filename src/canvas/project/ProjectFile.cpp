#include "canvas/project/ProjectFile.h"

#include "canvas/project/CarriedMasks.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/project/EffectPictures.h"
#include "canvas/project/LayoutBlock.h"
#include "canvas/project/PastedPictureBlock.h"
#include "canvas/project/UprightListBlock.h"
#include "canvas/edits/PhotoEffectJob.h"
#include "core/files/AtomicFile.h"
#include "core/data/DataPath.h"
#include "core/text/FixedText.h"
#include "core/Notifier.h"
#include "core/files/RegularFile.h"
#include "imaging/files/PictureLimits.h"
#include "library/items/MaskLibrary.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace mosaiq {
namespace {

#pragma pack(push, 1)
struct ProjectHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;
    char backgroundPath[260] = {};
    Colorref backgroundColour = 0;
    std::int32_t backgroundMode = 0;
    std::int32_t objectCount = 0;
};
#pragma pack(pop)
static_assert(sizeof(ProjectHeader) == kProjectHeaderSize);

// The smallest object entry: a kind and a stamp record.
constexpr qint64 kSmallestEntry = 4 + 100;

QString CustomMaskLibrary(const QString& given) {
    return given.isEmpty() ? DataFile(QStringLiteral("cusmask.cfg")) : given;
}

template <typename T> void Put(QByteArray& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), qsizetype(sizeof(T)));
}

// Reads exactly size bytes into dest; false on a short read.
bool ReadExact(QIODevice& device, void* dest, qint64 size) {
    return device.read(static_cast<char*>(dest), size) == size;
}

bool ReadInt(QIODevice& device, std::int32_t& value) {
    return ReadExact(device, &value, sizeof value);
}

ProjectResult Fail(const QString& reason) {
    return {false, reason, {}};
}

// True when the document still holds the background path it was read with.
bool BackgroundPathFieldUnchanged(const CollageDocument& document) {
    const QByteArray& field = document.backgroundPathField;
    return field.size() == qsizetype(sizeof(ProjectHeader::backgroundPath)) &&
           ReadFixedText(field.constData(), size_t(field.size())) == document.backgroundPath;
}

QString Truncated() {
    return QStringLiteral("The project file ends too early.");
}

// The framed blocks this program reads and writes after the pasted pictures, one row per tag,
// written in this order. A new block adds a row: its writer fills the payload and returns true,
// or returns false when the document has nothing to store (so older projects keep their bytes);
// its reader applies one block of its tag to the parsed document, and its failure fails the
// load. Blocks of other tags are stepped over and handed to the caller of ParseProject.
struct BlockKind {
    ProjectBlockTag tag;
    std::uint32_t version;
    bool (*write)(const CollageDocument& document, QByteArray& payload);
    ProjectResult (*read)(const ProjectBlock& block, CollageDocument& document);
};

ProjectResult ReadUprightBlock(const ProjectBlock& block, CollageDocument& document) {
    QString reason;
    if (!ApplyUprightList(block.version, block.payload, document, &reason))
        return Fail(reason);
    return {true, {}};
}

ProjectResult ReadLayoutBlock(const ProjectBlock& block, CollageDocument& document) {
    QString reason;
    // A damaged layout leaves the photos as their records place them: the project still opens.
    if (!ApplyLayoutBlock(block.version, block.payload, document, &reason))
        return {true, {}, reason};
    return {true, {}, {}};
}

// "MQFX": the effect pictures the photos use, so the project keeps them on another machine.
bool WriteEffectBlock(const CollageDocument& document, QByteArray& payload) {
    payload = EncodeEffectPictures(CollectEffectPictures(document));
    return !payload.isEmpty();
}

ProjectResult ReadEffectBlock(const ProjectBlock& block, CollageDocument& document) {
    QString error;
    if (!DecodeEffectPictures(block.payload, document.carriedEffectPictures, &error))
        return Fail(error);
    return {true, {}, {}};
}

const std::vector<BlockKind>& BlockKinds() {
    static const std::vector<BlockKind> kinds = {
        {MakeBlockTag("UPRT"), kUprightListVersion, &EncodeUprightList, &ReadUprightBlock},
        {MakeBlockTag("MQFX"), 1, &WriteEffectBlock, &ReadEffectBlock},
        {MakeBlockTag("MQLY"), kLayoutBlockVersion, &EncodeLayoutBlock, &ReadLayoutBlock},
    };
    return kinds;
}

const BlockKind* FindBlockKind(const ProjectBlockTag& tag) {
    for (const BlockKind& kind : BlockKinds())
        if (kind.tag == tag)
            return &kind;
    return nullptr;
}

void AppendKnownBlocks(const CollageDocument& document, QByteArray& out) {
    for (const BlockKind& kind : BlockKinds()) {
        ProjectBlock block{kind.tag, kind.version, {}};
        if (kind.write(document, block.payload))
            AppendProjectBlock(out, block);
    }
}

// Reads the framed blocks after the pasted pictures and applies the ones of known tags; each
// known tag may appear once.
ProjectResult ReadBlocks(QIODevice& device, CollageDocument& document,
                         std::vector<ProjectBlock>* unread) {
    std::vector<ProjectBlock> blocks;
    QString error;
    if (!ReadProjectBlocks(device, blocks, &error))
        return Fail(error);
    std::vector<ProjectBlockTag> applied;
    ProjectResult read{true, {}, {}};
    for (ProjectBlock& block : blocks) {
        if (const BlockKind* kind = FindBlockKind(block.tag)) {
            if (std::find(applied.begin(), applied.end(), block.tag) != applied.end())
                return Fail(QStringLiteral("The project file holds its block \"%1\" twice.")
                                .arg(BlockTagText(block.tag)));
            applied.push_back(block.tag);
            ProjectResult r = kind->read(block, document);
            if (!r.ok)
                return r;
            if (!r.notice.isEmpty())
                read.notice = r.notice;
            continue;
        }
        if (unread)
            unread->push_back(std::move(block));
    }
    return read;
}

} // namespace

ProjectResult EncodeProject(const CollageDocument& document, QByteArray& out,
                            const QString& customMaskLibrary) {
    ProjectHeader header;
    header.width = document.width;
    header.height = document.height;
    if (BackgroundPathFieldUnchanged(document)) {
        // The bytes the path was read from go back unchanged (Windows-1252 text stays so).
        const QByteArray& field = document.backgroundPathField;
        const qsizetype end = field.indexOf('\0');
        std::memcpy(header.backgroundPath, field.constData(), size_t(end < 0 ? field.size() : end));
    } else if (!WriteFixedText(header.backgroundPath, document.backgroundPath)) {
        return Fail(
            QStringLiteral("The background picture's path is too long for a project file."));
    }
    header.backgroundColour = document.backgroundColour;
    header.backgroundMode = std::int32_t(document.backgroundMode);
    header.objectCount = std::int32_t(document.objects.size());

    const PastedPicturePlan pasted(document);
    out.clear();
    Put(out, header);
    const QString masks = CustomMaskLibrary(customMaskLibrary);
    for (const CanvasObject& object : document.objects) {
        Put(out, std::int32_t(object.Kind()));
        // Runtime fields mean nothing outside this process: they are stored as zeros.
        ObjectRecord copy = object.record;
        std::visit([](auto& r) { ClearRuntimeFields(r); }, copy);
        if (ClipartRecord* clip = std::get_if<ClipartRecord>(&copy); clip && clip->pasted != 0)
            clip->sourceId = pasted.StoredIndex(*clip);
        std::visit([&out](const auto& r) { Put(out, r); }, copy);
        const PhotoRecord* photo = std::get_if<PhotoRecord>(&copy);
        if (!photo || photo->customMask == 0)
            continue;
        std::optional<KeyedEntry> mask = FindCustomMaskRaw(masks, photo->maskKey);
        if (!mask)
            mask = FindCarriedMaskRaw(photo->maskKey);
        Put(out, std::int32_t(mask ? mask->width : 0));
        Put(out, std::int32_t(mask ? mask->height : 0));
        Put(out, std::int32_t(mask ? mask->encoded.size() : 0));
        if (mask)
            out.append(mask->encoded);
    }
    pasted.AppendBlock(out);
    AppendKnownBlocks(document, out);
    return {true, {}};
}

ProjectResult SaveProject(CollageDocument& document, const QString& path,
                          const QString& customMaskLibrary) {
    QByteArray bytes;
    ProjectResult result = EncodeProject(document, bytes, customMaskLibrary);
    if (!result.ok)
        return result;
    QString error;
    if (!WriteFileAtomically(path, bytes, &error))
        return Fail(QStringLiteral("The project could not be saved: %1").arg(error));
    NoteEffectPicturesSaved(document); // kept at exit: this project uses them
    document.modified = false;
    Q_EMIT document.saved();
    return {true, {}};
}

ProjectResult ParseProject(QIODevice& device, CollageDocument& document,
                           std::vector<EmbeddedMask>* masks, std::vector<ProjectBlock>* blocks) {
    ProjectHeader header;
    if (!ReadExact(device, &header, sizeof header))
        return Fail(Truncated());
    if (header.width <= 0 || header.height <= 0)
        return Fail(QStringLiteral("The project file's canvas size is not valid."));
    document.width = header.width;
    document.height = header.height;
    document.backgroundPath = ReadFixedText(header.backgroundPath);
    document.backgroundUpright = false; // unless the upright list names it
    document.backgroundPathField =
        QByteArray(header.backgroundPath, qsizetype(sizeof header.backgroundPath));
    // All four bytes are kept and written back; drawing uses the low three.
    document.backgroundColour = header.backgroundColour;
    // A mode other than Center, Tile or Stretch is kept as stored and draws no picture.
    document.backgroundMode = BackgroundMode(header.backgroundMode);

    const qint64 count = header.objectCount;
    if (count > 0 && count > (device.size() - device.pos()) / kSmallestEntry)
        return Fail(Truncated());
    if (count > 0)
        document.objects.reserve(size_t(count));
    for (qint64 i = 0; i < count; ++i) {
        std::int32_t kind = 0;
        if (!ReadInt(device, kind))
            return Fail(Truncated());
        const int size = RecordSize(kind);
        if (size == 0)
            return Fail(
                QStringLiteral("The project file holds an object of unknown kind %1.").arg(kind));
        const QByteArray bytes = device.read(size);
        if (bytes.size() != size)
            return Fail(Truncated());
        std::optional<CanvasObject> object = CanvasObject::FromBytes(kind, bytes);
        if (!object)
            return Fail(Truncated());
        // Photos of a project are shown as stored unless its upright list names them.
        object->upright = false;
        if (const PhotoRecord* photo = object->Photo(); photo && photo->customMask != 0) {
            std::int32_t w = 0, h = 0, length = 0;
            if (!ReadInt(device, w) || !ReadInt(device, h) || !ReadInt(device, length))
                return Fail(Truncated());
            if (length < 0 || length > device.size() - device.pos())
                return Fail(Truncated());
            EmbeddedMask mask{w, h, photo->maskKey, device.read(length)};
            if (mask.encoded.size() != length)
                return Fail(Truncated());
            if (masks && length > 0)
                masks->push_back(std::move(mask));
        }
        document.objects.push_back(std::move(*object));
        document.CreateRegion(document.objects.back());
    }
    if (ProjectResult r = ReadPastedPictureBlock(device, document); !r.ok)
        return r;
    return ReadBlocks(device, document, blocks);
}

ProjectResult LoadProject(CollageDocument& document, const QString& path,
                          const QString& customMaskLibrary, CarriedMaskUse maskUse) {
    QFile file;
    QString reason;
    if (OpenRegularFile(file, path, &reason) != OpenFailure::None)
        return Fail(QStringLiteral("The project could not be opened: %1").arg(reason));
    CollageDocument parsed;
    // Pasted pictures the project carries are appended after the ones this document already
    // holds, so the parsed objects point straight at their final indices.
    parsed.pastedPictures = document.pastedPictures;
    parsed.missingPastedPictures = document.missingPastedPictures;
    std::vector<EmbeddedMask> masks;
    ProjectResult result = ParseProject(file, parsed, &masks);
    if (!result.ok)
        return result;

    // The project's custom masks join the library so its photos find them by key on this
    // machine. The library holds each mask once: photos sharing a mask carry it once each, and a
    // mask already in the library (the project opened before) is not appended again.
    const QString library = CustomMaskLibrary(customMaskLibrary);
    std::vector<Guid> seen;
    for (const EmbeddedMask& mask : masks) {
        if (std::find(seen.begin(), seen.end(), mask.key) != seen.end())
            continue;
        seen.push_back(mask.key);
        if (maskUse == CarriedMaskUse::KeepInMemory) {
            KeepCarriedMask(mask.key, mask.width, mask.height, mask.encoded);
            continue;
        }
        if (FindCustomMaskRaw(library, mask.key))
            continue;
        QString error;
        if (!AppendCustomMask(library, mask.width, mask.height, mask.key, mask.encoded, &error))
            Warn(QStringLiteral("A mask carried by the project could not be kept: %1").arg(error));
    }
    // Carried effect pictures: the editor writes them into "Effects/" and points the photos
    // there; headless readers keep them in memory.
    const std::vector<CarriedEffectPicture> effects = std::move(parsed.carriedEffectPictures);
    parsed.carriedEffectPictures.clear();
    if (maskUse == CarriedMaskUse::KeepInMemory) {
        KeepCarriedEffectPictures(effects);
    } else {
        const QStringList problems = PlaceCarriedEffectPictures(parsed, effects, EffectsFolder());
        for (const QString& problem : problems)
            Warn(QStringLiteral("An effect picture carried by the project could not be kept: %1")
                     .arg(problem));
    }
    document.pastedPictures = std::move(parsed.pastedPictures);
    document.missingPastedPictures = std::move(parsed.missingPastedPictures);
    document.TakeContent(parsed);
    const QString background = document.ReloadBackground();
    if (!background.isEmpty()) {
        const QString notice = QStringLiteral("The background picture %1 could not be read: %2")
                                   .arg(document.backgroundPath, background);
        result.notice = result.notice.isEmpty() ? notice : result.notice + QLatin1Char('\n') + notice;
    }
    document.modified = false;
    return result;
}

} // namespace mosaiq
