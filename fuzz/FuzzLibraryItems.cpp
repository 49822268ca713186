// The library panel's reader of picture lists on arbitrary bytes: it must never crash or
// allocate beyond the file, must agree with the list reader on what it could read, and every
// thumbnail must fit its cell.
#include "library/items/LibraryItems.h"
#include "library/items/PictureList.h"

#include <QBuffer>

#include <cstdlib>

using namespace mosaiq;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const LibraryItems items = LoadLibraryItems(buffer, QSize(54, 54), true);
    if (items.pictures.size() != items.thumbnails.size())
        std::abort();
    for (const QImage& thumb : items.thumbnails)
        if (thumb.width() > 54 || thumb.height() > 54)
            std::abort();
    buffer.seek(0);
    const std::vector<QImage> all = ReadPictureList(buffer);
    if (items.complete && all.size() != items.pictures.size())
        std::abort();
    return 0;
}
