// Untrusted thumbnail bytes of a photo list record, decoded as the browser draws them.
#include "library/photos/PhotoThumbnail.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QImage image = mosaiq::DecodePhotoThumbnail(bytes, data[0]);
    if (!image.isNull() &&
        (image.width() > mosaiq::kMaxThumbnailSide || image.height() > mosaiq::kMaxThumbnailSide))
        __builtin_trap(); // only small pictures are ever decoded
    return 0;
}
