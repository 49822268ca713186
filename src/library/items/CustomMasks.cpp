#include "library/items/CustomMasks.h"

#include "core/files/AtomicFile.h"
#include "core/data/BuiltinData.h"
#include "core/files/FileSetReplace.h"
#include "imaging/decode/PictureDecoder.h"
#include "library/items/LibraryFile.h"
#include "library/items/MaskLibrary.h"
#include "library/items/PictureList.h"

#include <QBuffer>
#include <QFile>

#include <optional>

namespace mosaiq {
namespace {

// A library file walked entry by entry: its count and where each entry ends.
struct WalkedLibrary {
    std::int32_t count = 0;
    std::vector<qint64> ends; // file offset after entry i
    QByteArray bytes;
};

// Reads the whole library at path and checks that its count entries fill it exactly. A missing
// file is an empty library; no result for a file that cannot be read or is damaged.
std::optional<WalkedLibrary> WalkLibrary(const QString& path, EntryLayout layout) {
    WalkedLibrary walked;
    QFile file(path);
    if (!file.exists())
        return walked;
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    walked.bytes = file.readAll();
    if (walked.bytes.size() != file.size())
        return std::nullopt;
    QBuffer buffer(&walked.bytes);
    buffer.open(QIODevice::ReadOnly);
    LibraryReader reader(buffer);
    if (!reader.ReadInt32(walked.count) || walked.count < 0)
        return std::nullopt;
    for (std::int32_t i = 0; i < walked.count; ++i) {
        const std::optional<EntryHeader> h = ReadEntryHeader(reader, layout);
        if (!h || !reader.Skip(h->dataSize))
            return std::nullopt;
        walked.ends.push_back(reader.Position());
    }
    return walked;
}

// The library's bytes with entry appended and the count raised by one.
QByteArray WithEntry(const WalkedLibrary& walked, const QByteArray& entry) {
    QByteArray out;
    AppendInt32(out, walked.count + 1);
    if (walked.count > 0)
        out += walked.bytes.mid(4, walked.ends.back() - 4);
    out += entry;
    return out;
}

// A walked library that also ends exactly after its last entry, so an append keeps every byte.
std::optional<WalkedLibrary> WalkForAppend(const QString& path, EntryLayout layout) {
    std::optional<WalkedLibrary> walked = WalkLibrary(path, layout);
    if (!walked || walked->bytes.isEmpty())
        return walked;
    const qint64 end = walked->ends.empty() ? 4 : walked->ends.back();
    if (end != walked->bytes.size() || walked->count == INT32_MAX)
        return std::nullopt;
    return walked;
}

QByteArray PngBytes(const QImage& picture) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        return {};
    return png;
}

QImage MaskThumbnail(const QImage& picture) {
    const int height =
        std::max(1, int(qint64(picture.height()) * kMaskThumbnailWidth / picture.width()));
    QImage thumb = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Halve while more than twice the target, then one smooth step.
    while (thumb.width() >= kMaskThumbnailWidth * 2 && thumb.height() >= height * 2)
        thumb = thumb.scaled(thumb.width() / 2, thumb.height() / 2, Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    return thumb.scaled(kMaskThumbnailWidth, height, Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation);
}

QByteArray ResourceBytes(int id) {
    QFile file(BuiltinResourcePath(id, QStringLiteral("IDR_MASK_RES")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

MaskImportResult ImportCustomMask(const QString& dataDir, const QString& picturePath) {
    MaskImportResult result;
    const DecodedPicture decoded = DecodePicture(picturePath);
    if (!decoded.Ok()) {
        result.error = QStringLiteral("The picture could not be read as a mask: %1")
                           .arg(decoded.error.isEmpty() ? picturePath : decoded.error);
        return result;
    }
    const QImage& picture = decoded.image;
    const QByteArray png = PngBytes(picture);
    if (png.isEmpty()) {
        result.error = QStringLiteral("The picture could not be stored as a mask.");
        return result;
    }

    const QString maskPath = dataDir + QStringLiteral("mask.cfg");
    const QString customPath = dataDir + QStringLiteral("cusmask.cfg");
    const QString thumbPath = dataDir + QStringLiteral("tbmask.cfg");
    const auto masks = WalkForAppend(maskPath, EntryLayout::KeyedEncoded);
    const auto customs = WalkForAppend(customPath, EntryLayout::KeyedEncoded);
    const auto thumbs = WalkForAppend(thumbPath, EntryLayout::RawPicture);
    for (const auto& [walked, name] :
         {std::pair{&masks, "mask.cfg"}, std::pair{&customs, "cusmask.cfg"},
          std::pair{&thumbs, "tbmask.cfg"}}) {
        if (!*walked) {
            result.error = QStringLiteral("The mask library file \"%1\" is damaged or cannot be "
                                          "read; no mask was imported.")
                               .arg(QLatin1String(name));
            return result;
        }
    }
    // The panel's position i must stay the mask entry i.
    if (masks->count != thumbs->count) {
        result.error = QStringLiteral("\"mask.cfg\" and \"tbmask.cfg\" do not hold the same "
                                      "number of masks; no mask was imported.");
        return result;
    }

    result.key = Guid::Create();
    const QByteArray keyed = EncodeKeyedEntry(picture.width(), picture.height(), result.key, png);
    const QByteArray thumbEntry = EncodeRawPictureEntry(MaskThumbnail(picture));
    QString error;
    if (!ReplaceFilesTogether({{maskPath, WithEntry(*masks, keyed)},
                               {customPath, WithEntry(*customs, keyed)},
                               {thumbPath, WithEntry(*thumbs, thumbEntry)}},
                              &error)) {
        result.error = QStringLiteral("The mask library could not be written: %1").arg(error);
        return result;
    }
    result.ok = true;
    result.index = thumbs->count;
    return result;
}

bool ResetMaskLibrary(const QString& dataDir, QString* error) {
    const QByteArray masks = ResourceBytes(kIdrMaskFull);
    const QByteArray thumbs = ResourceBytes(kIdrMaskThumbs);
    if (masks.isEmpty() || thumbs.isEmpty()) {
        if (error)
            *error = QStringLiteral("the built-in mask library is missing from the program");
        return false;
    }
    return ReplaceFilesTogether({{dataDir + QStringLiteral("mask.cfg"), masks},
                                 {dataDir + QStringLiteral("tbmask.cfg"), thumbs}},
                                error);
}

CustomMaskUpkeep KeepCustomMasks(const QString& dataDir, QString* error) {
    const QString customPath = dataDir + QStringLiteral("cusmask.cfg");
    const QString maskPath = dataDir + QStringLiteral("mask.cfg");
    if (!QFile::exists(maskPath))
        return CustomMaskUpkeep::LeftAlone;
    const std::optional<WalkedLibrary> masks = WalkLibrary(maskPath, EntryLayout::KeyedEncoded);
    if (!masks)
        return CustomMaskUpkeep::LeftAlone;
    if (masks->count <= kBuiltinMaskEntries) {
        QFile::remove(customPath);
        return CustomMaskUpkeep::Removed;
    }
    const qint64 from = masks->ends[size_t(kBuiltinMaskEntries - 1)];
    QByteArray out;
    AppendInt32(out, masks->count - kBuiltinMaskEntries);
    out += masks->bytes.mid(from, masks->ends.back() - from);
    if (!WriteFileAtomically(customPath, out, error))
        return CustomMaskUpkeep::WriteFailed;
    return CustomMaskUpkeep::Written;
}

} // namespace mosaiq
