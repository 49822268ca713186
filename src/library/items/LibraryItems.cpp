#include "library/items/LibraryItems.h"

#include "imaging/decode/PictureLoaders.h"
#include "library/items/LibraryFile.h"

#include <QFile>

namespace mosaiq {

QImage FitThumbnail(const QImage& picture, QSize box) {
    if (picture.isNull())
        return {};
    const QSize size = FitSize(picture.width(), picture.height(), box.width(), box.height(), false);
    if (size.isEmpty())
        return {};
    QImage premultiplied = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (size == picture.size())
        return premultiplied;
    // Halve first while the picture is more than twice the target, so large entries keep their
    // detail (a single bilinear step would skip most source pixels).
    while (premultiplied.width() >= size.width() * 2 && premultiplied.height() >= size.height() * 2)
        premultiplied = premultiplied.scaled(premultiplied.width() / 2, premultiplied.height() / 2,
                                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return premultiplied.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

LibraryItems LoadLibraryItems(const QString& path, QSize box, bool keepPictures) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return LoadLibraryItems(file, box, keepPictures);
}

LibraryItems LoadLibraryItems(QIODevice& device, QSize box, bool keepPictures) {
    LibraryItems items;
    LibraryReader reader(device);
    std::int32_t count = 0;
    if (!reader.ReadInt32(count) || count < 0)
        return items;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::optional<EntryHeader> h = ReadEntryHeader(reader, EntryLayout::RawPicture);
        if (!h || h->width > kMaxPictureSide || h->height > kMaxPictureSide ||
            qint64(h->width) * h->height > kMaxPicturePixels)
            return items;
        QImage picture;
        if (h->dataSize > 0) {
            QByteArray pixels;
            if (!reader.ReadBytes(h->dataSize, pixels))
                return items;
            picture = ImageFromBgra(pixels.constData(), h->width, h->height);
        }
        items.thumbnails.push_back(FitThumbnail(picture, box));
        if (keepPictures)
            items.pictures.push_back(picture);
    }
    items.complete = true;
    return items;
}

} // namespace mosaiq
