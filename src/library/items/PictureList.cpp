#include "library/items/PictureList.h"

#include "core/files/AtomicFile.h"
#include "core/files/RegularFile.h"
#include "library/items/LibraryFile.h"

#include <QFile>

namespace mosaiq {
namespace {

bool WithinLimits(const EntryHeader& h) {
    return h.width <= kMaxPictureSide && h.height <= kMaxPictureSide &&
           qint64(h.width) * h.height <= kMaxPicturePixels;
}

// Reads the pixels of the entry whose header was just read; an empty picture for a zero size.
std::optional<QImage> ReadPixels(LibraryReader& reader, const EntryHeader& h) {
    if (!WithinLimits(h))
        return std::nullopt;
    if (h.dataSize == 0)
        return QImage();
    QByteArray pixels;
    if (!reader.ReadBytes(h.dataSize, pixels))
        return std::nullopt;
    QImage image = ImageFromBgra(pixels.constData(), h.width, h.height);
    if (image.isNull())
        return std::nullopt;
    return image;
}

} // namespace

int ReadPictureListCount(QIODevice& device) {
    LibraryReader reader(device);
    return ReadEntryCount(reader, EntryLayout::RawPicture).value_or(-1);
}

std::optional<QImage> ReadPictureListEntry(QIODevice& device, int index) {
    LibraryReader reader(device);
    const std::optional<EntryHeader> h = SeekToEntry(reader, EntryLayout::RawPicture, index);
    if (!h)
        return std::nullopt;
    std::optional<QImage> image = ReadPixels(reader, *h);
    if (!image || image->isNull())
        return std::nullopt;
    return image;
}

std::vector<QImage> ReadPictureList(QIODevice& device) {
    std::vector<QImage> pictures;
    LibraryReader reader(device);
    const std::optional<int> count = ReadEntryCount(reader, EntryLayout::RawPicture);
    if (!count)
        return pictures;
    for (int i = 0; i < *count; ++i) {
        const std::optional<EntryHeader> h = ReadEntryHeader(reader, EntryLayout::RawPicture);
        std::optional<QImage> image = h ? ReadPixels(reader, *h) : std::nullopt;
        if (!image)
            break;
        pictures.push_back(std::move(*image));
    }
    return pictures;
}

int ReadPictureListCount(const QString& path) {
    QFile file;
    if (OpenRegularFile(file, path) != OpenFailure::None)
        return -1;
    return ReadPictureListCount(file);
}

std::optional<QImage> ReadPictureListEntry(const QString& path, int index) {
    QFile file;
    if (OpenRegularFile(file, path) != OpenFailure::None)
        return std::nullopt;
    return ReadPictureListEntry(file, index);
}

std::vector<QImage> ReadPictureList(const QString& path) {
    QFile file;
    if (OpenRegularFile(file, path) != OpenFailure::None)
        return {};
    return ReadPictureList(file);
}

std::optional<QImage> ReadThumbnail(const QString& path, int index) {
    return ReadPictureListEntry(path, index);
}

QByteArray EncodeRawPictureEntry(const QImage& picture) {
    QByteArray out;
    const QByteArray pixels = BgraBytes(picture);
    out.reserve(8 + pixels.size());
    AppendInt32(out, pixels.isEmpty() ? 0 : picture.width());
    AppendInt32(out, pixels.isEmpty() ? 0 : picture.height());
    out += pixels;
    return out;
}

QByteArray EncodePictureList(const std::vector<QImage>& pictures) {
    QByteArray out;
    AppendInt32(out, std::int32_t(pictures.size()));
    for (const QImage& picture : pictures)
        out += EncodeRawPictureEntry(picture);
    return out;
}

bool WritePictureList(const QString& path, const std::vector<QImage>& pictures, QString* error) {
    return WriteFileAtomically(path, EncodePictureList(pictures), error);
}

bool AppendRawPictureEntry(const QString& path, const QImage& picture, QString* error) {
    return AppendEncodedEntry(path, EntryLayout::RawPicture, EncodeRawPictureEntry(picture), error);
}

} // namespace mosaiq
