#include "imaging/decode/JpegStream.h"

#include "imaging/decode/PictureMetadata.h"

#include <cstring>

namespace mosaiq {

namespace {

// The position of the next marker at or after pos inside entropy-coded data (0xFF followed by
// a byte that is neither a stuffed zero, a restart marker nor another fill byte), or size.
std::int64_t NextMarkerInScan(const unsigned char* data, std::int64_t size, std::int64_t pos) {
    while (pos + 1 < size) {
        const void* hit = std::memchr(data + pos, 0xFF, size_t(size - pos - 1));
        if (!hit)
            return size;
        pos = static_cast<const unsigned char*>(hit) - data;
        const unsigned char next = data[pos + 1];
        if (next == 0x00 || next == 0xFF || (next >= 0xD0 && next <= 0xD7)) {
            ++pos;
            continue;
        }
        return pos;
    }
    return size;
}

} // namespace

JpegStreamInfo ScanJpegStream(const unsigned char* data, std::int64_t size) {
    JpegStreamInfo info;
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return info;
    info.isJpeg = true;
    std::int64_t pos = 2;
    while (pos + 1 < size) {
        if (data[pos] != 0xFF) {
            // Garbage between segments: look for the next marker as libjpeg does.
            pos = NextMarkerInScan(data, size, pos);
            continue;
        }
        const unsigned char marker = data[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        pos += 2;
        if (marker == 0xD9) {
            info.complete = true;
            return info;
        }
        if (marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (pos + 2 > size)
            return info;
        const std::int64_t length = (std::int64_t(data[pos]) << 8) | data[pos + 1];
        if (length < 2 || pos + length > size)
            return info;
        if (marker == 0xE1 && info.exif.isEmpty() && length >= 8 &&
            std::memcmp(data + pos + 2, "Exif\0\0", 6) == 0)
            info.exif =
                QByteArray(reinterpret_cast<const char*>(data + pos + 8), qsizetype(length - 8));
        pos += length;
        if (marker == 0xDA) {
            ++info.scans;
            pos = NextMarkerInScan(data, size, pos);
        }
    }
    return info;
}

int ExifOrientation(const QByteArray& exif) {
    return TiffOrientationTag(reinterpret_cast<const unsigned char*>(exif.constData()),
                              std::size_t(exif.size()));
}

} // namespace mosaiq
