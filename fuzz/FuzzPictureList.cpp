// Every reader of raw picture entries (picture lists, "tbmask.cfg", "tbframe.cfg") on arbitrary
// bytes. A list read whole must agree with the entries read one by one.
#include "library/items/PictureList.h"

#include <QBuffer>

#include <cstdlib>

using namespace mosaiq;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const int count = ReadPictureListCount(buffer);
    buffer.seek(0);
    const std::vector<QImage> all = ReadPictureList(buffer);
    if (count < 0 ? !all.empty() : all.size() > size_t(count))
        std::abort();
    for (size_t i = 0; i < all.size() && i < 8; ++i) {
        buffer.seek(0);
        const std::optional<QImage> one = ReadPictureListEntry(buffer, int(i));
        if (one.has_value() == all[i].isNull() || (one && *one != all[i]))
            std::abort();
    }
    for (int index : {-1, count, 1 << 30}) {
        buffer.seek(0);
        ReadPictureListEntry(buffer, index);
    }
    return 0;
}
