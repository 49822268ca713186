#include "imaging/encode/DeflateParts.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>

namespace mosaiq {
namespace {

// libdeflate level 3 on adaptively filtered rows: within 2 % of a zlib level 7 file.
constexpr int kDeflateLevel = 3;
// The joinable parts are compressed by zlib at this level (about 3 % larger than the above).
constexpr int kZlibLevel = 3;
// Input handed to zlib per call (its counters are 32 bits).
constexpr std::size_t kZlibStep = std::size_t(1) << 28;

} // namespace

bool DeflateJoinablePart(const std::uint8_t* data, std::size_t size,
                         std::vector<std::uint8_t>& out) {
    z_stream z{};
    if (deflateInit2(&z, kZlibLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&z, uLong(std::min(size, kZlibStep))) * (size / kZlibStep + 1) + 64);
    std::size_t done = 0, written = 0;
    int status = Z_OK;
    for (;;) {
        const std::size_t step = std::min(size - done, kZlibStep);
        const bool end = done + step == size;
        z.next_in = const_cast<Bytef*>(data + done);
        z.avail_in = uInt(step);
        do {
            if (out.size() - written < 64)
                out.resize(out.size() * 2);
            z.next_out = out.data() + written;
            z.avail_out = uInt(std::min(out.size() - written, kZlibStep));
            status = deflate(&z, end ? Z_SYNC_FLUSH : Z_NO_FLUSH);
            written = std::size_t(z.next_out - out.data());
        } while (status == Z_OK && (z.avail_in > 0 || z.avail_out == 0));
        done += step;
        if (status != Z_OK || end)
            break;
    }
    deflateEnd(&z);
    out.resize(written);
    return status == Z_OK;
}

bool DeflateLastPart(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out) {
    libdeflate_compressor* c = libdeflate_alloc_compressor(kDeflateLevel);
    if (!c)
        return false;
    out.resize(libdeflate_deflate_compress_bound(c, size));
    const std::size_t n = libdeflate_deflate_compress(c, data, size, out.data(), out.size());
    libdeflate_free_compressor(c);
    out.resize(n);
    return n > 0;
}

std::uint32_t PartAdler32(const std::uint8_t* data, std::size_t size) {
    return std::uint32_t(libdeflate_adler32(1, data, size));
}

std::uint32_t JoinAdler32(std::uint32_t whole, std::uint32_t next, std::size_t nextLength) {
    return std::uint32_t(adler32_combine(whole, next, z_off_t(nextLength)));
}

} // namespace mosaiq
