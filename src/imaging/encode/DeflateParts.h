#pragma once

// Deflate data in parts that join into one zlib stream, so that the parts can be compressed on
// several threads at once: every part but the last is compressed by zlib and ended by a sync flush
// (byte-aligned, no final block), the last one by libdeflate, whose final block ends the stream.
// The stream is kZlibStreamHeader, the parts in order, then the big-endian Adler-32 of all the
// data, which JoinAdler32 makes from the parts' own. A part's output depends only on its input,
// so the stream is the same however many threads made it.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mosaiq {

// Deflate, 32 KiB window, the compression level's flag ("default" class).
inline constexpr std::uint8_t kZlibStreamHeader[2] = {0x78, 0x5E};

// Compresses a part that more parts follow into out (replaced). False when zlib fails.
bool DeflateJoinablePart(const std::uint8_t* data, std::size_t size,
                         std::vector<std::uint8_t>& out);

// Compresses the last part (possibly empty) into out (replaced). False when there is no memory.
bool DeflateLastPart(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out);

// The Adler-32 of size bytes of data.
std::uint32_t PartAdler32(const std::uint8_t* data, std::size_t size);

// The Adler-32 of the data of whole followed by the next part (next's checksum and length).
std::uint32_t JoinAdler32(std::uint32_t whole, std::uint32_t next, std::size_t nextLength);

} // namespace mosaiq
