#include "imaging/decode/PictureMetadata.h"

#include <QTransform>

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace mosaiq {

namespace {

std::uint32_t Big32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

std::uint32_t Little32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// A TIFF directory reader over one block, in the block's byte order.
struct TiffBlock {
    const unsigned char* data;
    std::size_t size;
    bool little;

    std::uint32_t U16(std::size_t at) const {
        return little ? std::uint32_t(data[at]) | (std::uint32_t(data[at + 1]) << 8)
                      : (std::uint32_t(data[at]) << 8) | std::uint32_t(data[at + 1]);
    }
    std::uint32_t U32(std::size_t at) const {
        return little ? Little32(data + at) : Big32(data + at);
    }
};

// Finds tag in the first directory of a TIFF block; entryOffset receives the offset of its
// 12-byte entry. False when the block is damaged or the tag is absent.
bool FindTiffTag(const unsigned char* data, std::size_t size, std::uint32_t tag, TiffBlock* block,
                 std::size_t* entryOffset) {
    if (size < 8)
        return false;
    const bool little = data[0] == 'I' && data[1] == 'I' && data[2] == 42 && data[3] == 0;
    const bool big = data[0] == 'M' && data[1] == 'M' && data[2] == 0 && data[3] == 42;
    if (!little && !big)
        return false;
    *block = TiffBlock{data, size, little};
    const std::uint32_t directory = block->U32(4);
    if (directory < 8 || directory > size - 2)
        return false;
    const std::uint32_t count = block->U16(directory);
    if (std::uint64_t(count) * 12 > size - directory - 2)
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = directory + 2 + std::size_t(i) * 12;
        if (block->U16(entry) == tag) {
            *entryOffset = entry;
            return true;
        }
    }
    return false;
}

// The colour profile of a TIFF file: tag 34675 of the first directory, as bytes.
QByteArray TiffProfile(const unsigned char* data, std::size_t size) {
    TiffBlock block{};
    std::size_t entry = 0;
    if (!FindTiffTag(data, size, 34675, &block, &entry))
        return {};
    const std::uint32_t type = block.U16(entry + 2);
    const std::uint32_t count = block.U32(entry + 4);
    if ((type != 1 && type != 7) || count <= 4 || count > kMaxColourProfileBytes)
        return {};
    const std::uint32_t offset = block.U32(entry + 8);
    if (offset > size || count > size - offset)
        return {};
    return QByteArray(reinterpret_cast<const char*>(data + offset), qsizetype(count));
}

// An EXIF block may start with the "Exif\0\0" identifier (JPEG always, WebP and PNG writers
// sometimes): the TIFF header follows it.
int ExifOrientation(const unsigned char* data, std::size_t size) {
    if (size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0)
        return TiffOrientation(data + 6, size - 6);
    return TiffOrientation(data, size);
}

// Inflates a zlib stream of at most kMaxColourProfileBytes; empty when damaged or larger.
QByteArray InflateProfile(const unsigned char* data, std::size_t size) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    QByteArray out;
    unsigned char buffer[16384];
    stream.next_in = const_cast<unsigned char*>(data);
    stream.avail_in = uInt(std::min<std::size_t>(size, 0x7fffffff));
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        const qsizetype produced = qsizetype(sizeof buffer - stream.avail_out);
        if ((status != Z_OK && status != Z_STREAM_END) ||
            out.size() + produced > kMaxColourProfileBytes || (status == Z_OK && produced == 0)) {
            inflateEnd(&stream);
            return {};
        }
        out.append(reinterpret_cast<const char*>(buffer), produced);
    }
    inflateEnd(&stream);
    return out;
}

PictureMetadata ScanJpeg(const unsigned char* data, std::size_t size) {
    PictureMetadata meta;
    // ICC_PROFILE segments carry a sequence number and a count: pieces are joined in order and
    // the profile is kept only when every piece is there once.
    QByteArray pieces[256];
    int count = 0;
    bool orientationSeen = false;
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            break;
        const unsigned char marker = data[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // scan data or the end: no metadata follows
            break;
        const std::size_t length = (std::size_t(data[at + 2]) << 8) | data[at + 3];
        if (length < 2 || length > size - at - 2)
            break;
        const unsigned char* body = data + at + 4;
        const std::size_t bodySize = length - 2;
        if (marker == 0xE1 && !orientationSeen && bodySize >= 6 &&
            std::memcmp(body, "Exif\0\0", 6) == 0) {
            orientationSeen = true;
            meta.orientation = TiffOrientation(body + 6, bodySize - 6);
        } else if (marker == 0xE2 && bodySize > 14 && std::memcmp(body, "ICC_PROFILE\0", 12) == 0) {
            const int sequence = body[12], total = body[13];
            if (sequence >= 1 && sequence <= total && (count == 0 || count == total)) {
                count = total;
                pieces[sequence - 1] =
                    QByteArray(reinterpret_cast<const char*>(body + 14), qsizetype(bodySize - 14));
            }
        }
        at += 2 + length;
    }
    QByteArray profile;
    for (int i = 0; i < count; ++i) {
        if (pieces[i].isEmpty() || profile.size() + pieces[i].size() > kMaxColourProfileBytes)
            return PictureMetadata{meta.orientation, {}};
        profile += pieces[i];
    }
    meta.colourProfile = profile;
    return meta;
}

PictureMetadata ScanPng(const unsigned char* data, std::size_t size) {
    PictureMetadata meta;
    std::size_t at = 8;
    while (at + 12 <= size) {
        const std::uint32_t length = Big32(data + at);
        if (length > size - at - 12)
            break;
        const unsigned char* type = data + at + 4;
        const unsigned char* body = data + at + 8;
        if (std::memcmp(type, "eXIf", 4) == 0) {
            meta.orientation = ExifOrientation(body, length);
        } else if (std::memcmp(type, "iCCP", 4) == 0 && meta.colourProfile.isEmpty()) {
            // A name of 1 to 79 bytes, its NUL, compression method 0, then the zlib stream.
            const void* nul = std::memchr(body, 0, std::min<std::size_t>(length, 80));
            if (nul) {
                const std::size_t name = std::size_t(static_cast<const unsigned char*>(nul) - body);
                if (name >= 1 && name + 2 <= length && body[name + 1] == 0)
                    meta.colourProfile = InflateProfile(body + name + 2, length - name - 2);
            }
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        }
        at += 12 + std::size_t(length);
    }
    return meta;
}

PictureMetadata ScanWebp(const unsigned char* data, std::size_t size) {
    PictureMetadata meta;
    std::size_t at = 12;
    while (at + 8 <= size) {
        const std::uint32_t length = Little32(data + at + 4);
        if (length > size - at - 8)
            break;
        const unsigned char* body = data + at + 8;
        if (std::memcmp(data + at, "EXIF", 4) == 0)
            meta.orientation = ExifOrientation(body, length);
        else if (std::memcmp(data + at, "ICCP", 4) == 0 && length <= kMaxColourProfileBytes)
            meta.colourProfile = QByteArray(reinterpret_cast<const char*>(body), qsizetype(length));
        at += 8 + std::size_t(length) + (length & 1);
    }
    return meta;
}

} // namespace

int TiffOrientationTag(const unsigned char* data, std::size_t size) {
    TiffBlock block{};
    std::size_t entry = 0;
    if (!FindTiffTag(data, size, 0x0112, &block, &entry))
        return 0;
    // SHORT, one value, held in the first two bytes of the value field.
    if (block.U16(entry + 2) != 3 || block.U32(entry + 4) != 1)
        return 0;
    const std::uint32_t value = block.U16(entry + 8);
    return value >= 1 && value <= 8 ? int(value) : 0;
}

int TiffOrientation(const unsigned char* data, std::size_t size) {
    return std::max(1, TiffOrientationTag(data, size));
}

PictureMetadata ScanPictureMetadata(const unsigned char* data, std::size_t size) {
    if (!data || size < 12)
        return {};
    if (data[0] == 0xFF && data[1] == 0xD8)
        return ScanJpeg(data, size);
    if (std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0)
        return ScanPng(data, size);
    if (std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0)
        return ScanWebp(data, size);
    if (std::memcmp(data, "II*\0", 4) == 0 || std::memcmp(data, "MM\0*", 4) == 0)
        return PictureMetadata{TiffOrientation(data, size), TiffProfile(data, size)};
    return {};
}

bool OrientationSwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

QSize OrientedSize(QSize size, int orientation) {
    return OrientationSwapsSides(orientation) ? size.transposed() : size;
}

QImage OrientImage(const QImage& image, int orientation) {
    if (image.isNull() || orientation <= 1 || orientation > 8)
        return image;
    // Quarter turns clockwise after an optional mirror, per orientation: 5 and 7 are a quarter
    // turn followed by a mirror left to right and top to bottom respectively.
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    default:
        break;
    }
    const QImage turned =
        image.transformed(QTransform().rotate(orientation == 8 ? 270 : 90), Qt::FastTransformation);
    if (orientation == 5)
        return turned.mirrored(true, false);
    if (orientation == 7)
        return turned.mirrored(false, true);
    return turned;
}

} // namespace mosaiq
