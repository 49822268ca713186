// Untrusted "srcmedia.cfg" bytes: the photo list reader, then a save of what it kept.
#include "library/photos/PhotoList.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    mosaiq::PhotoList list;
    list.LoadFromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    mosaiq::PhotoList again;
    if (!again.LoadFromBytes(list.SaveToBytes()))
        __builtin_trap(); // what was kept must always save as a readable file
    return 0;
}
