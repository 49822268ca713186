#include "canvas/ProjectFile.h"

#include "core/AtomicFile.h"
#include "core/DataPath.h"
#include "core/FixedText.h"
#include "core/Notifier.h"
#include "core/RegularFile.h"
#include "canvas/CarriedMasks.h"
#include "canvas/CollageDocument.h"
#include "imaging/PictureLimits.h"
#include "library/MaskLibrary.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cstring>
#include <map>

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

ProjectResult Fail(const QString& reason) { return {false, reason}; }

// True when the document still holds the background path it was read with.
bool BackgroundPathFieldUnchanged(const CollageDocument& document) {
    const QByteArray& field = document.backgroundPathField;
    return field.size() == qsizetype(sizeof(ProjectHeader::backgroundPath)) &&
           ReadFixedText(field.constData(), size_t(field.size())) == document.backgroundPath;
}

QString Truncated() { return QStringLiteral("The project file ends too early."); }

// The pasted-picture block after the last object: "MQPX", uint32 version, uint32 count K, then K
// entries of int32 pasted index, uint32 width, uint32 height, uint32 length L and L bytes of PNG.
// Readers that stop after the last object never see it.
constexpr char kPastedMagic[4] = {'M', 'Q', 'P', 'X'};
constexpr std::uint32_t kPastedVersion = 1;
constexpr qint64 kPastedEntryHeader = 16;

// Appends the block holding every pasted picture an object uses; nothing when none is used, so
// a project without pasted pictures keeps its old bytes.
void AppendPastedPictures(const CollageDocument& document, QByteArray& out) {
    std::map<int, QByteArray> used; // pasted index -> PNG bytes, in index order
    for (const CanvasObject& object : document.objects) {
        const ClipartRecord* clip = object.Clipart();
        if (!clip || clip->pasted == 0 || clip->sourceId < 0 ||
            size_t(clip->sourceId) >= document.pastedPictures.size() || used.count(clip->sourceId))
            continue;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (document.pastedPictures[size_t(clip->sourceId)].save(&buffer, "PNG"))
            used[clip->sourceId] = png;
    }
    if (used.empty())
        return;
    out.append(kPastedMagic, 4);
    Put(out, kPastedVersion);
    Put(out, std::uint32_t(used.size()));
    for (const auto& [index, png] : used) {
        const QImage& picture = document.pastedPictures[size_t(index)];
        Put(out, std::int32_t(index));
        Put(out, std::uint32_t(picture.width()));
        Put(out, std::uint32_t(picture.height()));
        Put(out, std::uint32_t(png.size()));
        out.append(png);
    }
}

// Decodes one entry's PNG; the decoded picture's own size counts. Null when it is not a PNG of
// an allowed size.
QImage DecodePastedPicture(const QByteArray& png) {
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "PNG");
    if (!PictureSizeAllowed(reader.size(), nullptr))
        return QImage();
    QImage picture;
    if (!reader.read(&picture))
        return QImage();
    return picture.convertToFormat(QImage::Format_ARGB32);
}

// Reads the pasted-picture block when the bytes after the last object start with it: each
// picture is appended to the document's pasted list and the objects that used its stored index
// are pointed at the new one. Other trailing bytes are left alone, as before the block existed;
// a damaged block fails the load.
ProjectResult ReadPastedPictures(QIODevice& device, CollageDocument& document) {
    char magic[4] = {};
    if (device.peek(magic, 4) != 4 || std::memcmp(magic, kPastedMagic, 4) != 0)
        return {true, {}};
    device.skip(4);
    const auto damaged = [] {
        return ProjectResult{false, QStringLiteral("The project file's pasted pictures are damaged.")};
    };
    std::uint32_t version = 0, count = 0;
    if (!ReadExact(device, &version, 4) || !ReadExact(device, &count, 4))
        return Fail(Truncated());
    if (version != kPastedVersion)
        return Fail(QStringLiteral("The project file's pasted pictures are of an unknown version %1.")
                        .arg(version));
    if (qint64(count) > (device.size() - device.pos()) / kPastedEntryHeader)
        return Fail(Truncated());
    std::map<int, int> newIndex; // stored index -> index in the document's pasted list
    std::vector<QImage> pictures;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::int32_t index = 0;
        std::uint32_t width = 0, height = 0, length = 0;
        if (!ReadExact(device, &index, 4) || !ReadExact(device, &width, 4) ||
            !ReadExact(device, &height, 4) || !ReadExact(device, &length, 4))
            return Fail(Truncated());
        if (qint64(length) > device.size() - device.pos())
            return Fail(Truncated());
        if (index < 0 || newIndex.count(index))
            return damaged();
        const QImage picture = DecodePastedPicture(device.read(qint64(length)));
        if (picture.isNull())
            return damaged();
        newIndex[index] = int(document.pastedPictures.size() + pictures.size());
        pictures.push_back(picture);
    }
    for (QImage& picture : pictures)
        document.pastedPictures.push_back(std::move(picture));
    for (CanvasObject& object : document.objects) {
        ClipartRecord* clip = object.Clipart();
        if (!clip || clip->pasted == 0)
            continue;
        const auto found = newIndex.find(clip->sourceId);
        if (found != newIndex.end())
            clip->sourceId = found->second;
    }
    return {true, {}};
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
        std::memcpy(header.backgroundPath, field.constData(),
                    size_t(end < 0 ? field.size() : end));
    } else if (!WriteFixedText(header.backgroundPath, document.backgroundPath)) {
        return Fail(QStringLiteral("The background picture's path is too long for a project file."));
    }
    header.backgroundColour = document.backgroundColour;
    header.backgroundMode = std::int32_t(document.backgroundMode);
    header.objectCount = std::int32_t(document.objects.size());

    out.clear();
    Put(out, header);
    const QString masks = CustomMaskLibrary(customMaskLibrary);
    for (const CanvasObject& object : document.objects) {
        Put(out, std::int32_t(object.Kind()));
        // Runtime fields mean nothing outside this process: they are stored as zeros.
        ObjectRecord copy = object.record;
        std::visit([](auto& r) { ClearRuntimeFields(r); }, copy);
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
    AppendPastedPictures(document, out);
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
    document.modified = false;
    return {true, {}};
}

ProjectResult ParseProject(QIODevice& device, CollageDocument& document,
                           std::vector<EmbeddedMask>* masks) {
    ProjectHeader header;
    if (!ReadExact(device, &header, sizeof header))
        return Fail(Truncated());
    if (header.width <= 0 || header.height <= 0)
        return Fail(QStringLiteral("The project file's canvas size is not valid."));
    if (header.backgroundMode < 0 || header.backgroundMode > 2)
        header.backgroundMode = 0;
    document.width = header.width;
    document.height = header.height;
    document.backgroundPath = ReadFixedText(header.backgroundPath);
    document.backgroundUpright = false; // unless the upright list names it
    document.backgroundPathField =
        QByteArray(header.backgroundPath, qsizetype(sizeof header.backgroundPath));
    // All four bytes are kept and written back; drawing uses the low three.
    document.backgroundColour = header.backgroundColour;
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
            return Fail(QStringLiteral("The project file holds an object of unknown kind %1.").arg(kind));
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
    return ReadPastedPictures(device, document);
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
    std::vector<EmbeddedMask> masks;
    ProjectResult result = ParseProject(file, parsed, &masks);
    if (!result.ok)
        return result;

    // The project's custom masks join the library every time it is opened, so its photos find
    // them by key on this machine; photos sharing a mask carry it once each, appended once.
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
        QString error;
        if (!AppendCustomMask(library, mask.width, mask.height, mask.key, mask.encoded, &error))
            Warn(QStringLiteral("A mask carried by the project could not be kept: %1").arg(error));
    }
    document.pastedPictures = std::move(parsed.pastedPictures);
    document.TakeContent(parsed);
    const QString background = document.ReloadBackground();
    if (!background.isEmpty())
        result.notice = QStringLiteral("The background picture %1 could not be read: %2")
                            .arg(document.backgroundPath, background);
    document.modified = false;
    return result;
}

} // namespace mosaiq
