// Untrusted bytes of the subject cache file, read as the cache reads them: as they are, and with
// a checksum that matches them, so the reader's walk over the entries is reached too.
#include "imaging/subject/SubjectCache.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    mosaiq::ReadSubjectCache(bytes);
    const auto crc = std::uint32_t(crc32(0L, data, uInt(size)));
    for (int i = 0; i < 4; ++i)
        bytes.append(char((crc >> (8 * i)) & 0xff));
    const auto entries = mosaiq::ReadSubjectCache(bytes);
    if (entries) {
        // What was read writes back to bytes that read the same number of entries.
        const auto again = mosaiq::ReadSubjectCache(mosaiq::WriteSubjectCache(*entries));
        if (!again || again->size() != entries->size())
            __builtin_trap();
    }
    return 0;
}
