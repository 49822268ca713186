// Every reader of frame entries ("frame.cfg") on arbitrary bytes.
#include "library/items/FrameLibrary.h"
#include "library/items/LibraryFile.h"

#include <QBuffer>

using namespace mosaiq;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    for (int index : {0, 1, 2, 7, -1, 1 << 30}) {
        buffer.seek(0);
        if (const std::optional<FrameEntry> entry = ReadFrameEntry(buffer, index))
            DecodeEncodedPicture(entry->encoded);
        buffer.seek(0);
        ReadFrameEntryWindow(buffer, index);
    }
    return 0;
}
