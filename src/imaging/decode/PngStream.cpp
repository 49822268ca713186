#include "imaging/decode/PngStream.h"

#include <QBuffer>
#include <QImageReader>
#include <QRgba64>

#include <zlib.h>

#include <cstring>
#include <limits>
#include <vector>

namespace mosaiq {

namespace {

std::uint32_t BigEndian32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

int Channels(int colourType) {
    switch (colourType) {
    case 0:
    case 3:
        return 1;
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 0;
    }
}

// More filtered bytes than any file could ever fill; seven passes of it still fit an int64.
constexpr std::int64_t kUnreachableBytes = std::numeric_limits<std::int64_t>::max() / 8;

// Bytes of one pass of filtered rows: each row is a filter byte and its packed samples. Sizes
// are at most 2^32 - 1 and pixels at most 64 bits, so a row fits an int64; the product with the
// height is held at kUnreachableBytes.
std::int64_t PassBytes(std::int64_t width, std::int64_t height, int bitsPerPixel) {
    if (width <= 0 || height <= 0)
        return 0;
    const std::int64_t row = 1 + (width * bitsPerPixel + 7) / 8;
    if (row > kUnreachableBytes / height)
        return kUnreachableBytes;
    return height * row;
}

std::int64_t NeededBytes(const PngStreamInfo& info) {
    const int bits = info.bitDepth * Channels(info.colourType);
    const std::int64_t w = info.width, h = info.height;
    if (!info.interlaced)
        return PassBytes(w, h, bits);
    // The seven passes of the interlaced layout: starting column and row, column and row steps.
    static const int kPass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                    {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    std::int64_t total = 0;
    for (const auto& p : kPass)
        total += PassBytes((w - p[0] + p[2] - 1) / p[2], (h - p[1] + p[3] - 1) / p[3], bits);
    return total;
}

// Inflates the image data chunks one after another into a scratch buffer and counts what comes
// out, stopping as soon as needed bytes are counted, the stream ends or it is damaged.
std::int64_t InflatedBytes(const std::vector<std::pair<const unsigned char*, std::uint32_t>>& parts,
                           std::int64_t needed) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return 0;
    std::vector<unsigned char> scratch(64 * 1024);
    std::int64_t counted = 0;
    bool ended = false;
    for (const auto& [bytes, length] : parts) {
        stream.next_in = const_cast<unsigned char*>(bytes);
        stream.avail_in = length;
        while (!ended && stream.avail_in > 0 && counted < needed) {
            stream.next_out = scratch.data();
            stream.avail_out = uInt(scratch.size());
            const int status = inflate(&stream, Z_NO_FLUSH);
            counted += std::int64_t(scratch.size() - stream.avail_out);
            ended = status != Z_OK;
        }
        if (ended || counted >= needed)
            break;
    }
    inflateEnd(&stream);
    return counted;
}

} // namespace

PngStreamInfo ScanPngStream(const unsigned char* data, std::int64_t size, bool checkImageData) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PngStreamInfo info;
    if (!data || size < 8 + 25 || std::memcmp(data, kSignature, 8) != 0)
        return info;
    std::vector<std::pair<const unsigned char*, std::uint32_t>> imageData;
    std::int64_t pos = 8;
    bool header = false;
    while (pos + 8 <= size) {
        const std::int64_t length = BigEndian32(data + pos);
        const unsigned char* type = data + pos + 4;
        const unsigned char* body = data + pos + 8;
        if (length > size - pos - 8)
            break; // the chunk runs past the end: what came before still counts
        if (!header) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length < 13)
                return info;
            info.width = BigEndian32(body);
            info.height = BigEndian32(body + 4);
            info.bitDepth = body[8];
            info.colourType = body[9];
            info.interlaced = body[12] == 1;
            if (Channels(info.colourType) == 0 || info.bitDepth == 0)
                return info;
            header = true;
        } else if (std::memcmp(type, "tRNS", 4) == 0) {
            info.colourKey = true;
            info.keyChunkOffset = pos;
            info.keyChunkSize = 8 + length + 4;
            for (int i = 0; i < 3 && 2 * i + 1 < length; ++i)
                info.key[i] = std::uint16_t((body[2 * i] << 8) | body[2 * i + 1]);
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            imageData.emplace_back(body, std::uint32_t(length));
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        }
        pos += 8 + length + 4; // length, type, data, CRC
        if (pos > size)
            pos = size;
    }
    info.isPng = header;
    info.neededBytes = NeededBytes(info);
    if (checkImageData) {
        info.inflatedBytes = InflatedBytes(imageData, info.neededBytes);
        info.imageDataComplete = info.inflatedBytes >= info.neededBytes;
    }
    return info;
}

bool NeedsOwnColourKey(const PngStreamInfo& info) {
    return info.isPng && info.colourKey && info.colourType == 2 && info.bitDepth == 16 &&
           info.keyChunkOffset > 0;
}

QImage DecodeDeepRgbWithKey(const QByteArray& png, const PngStreamInfo& info) {
    if (!NeedsOwnColourKey(info) || info.keyChunkOffset + info.keyChunkSize > png.size())
        return QImage();
    QByteArray withoutKey = png;
    withoutKey.remove(qsizetype(info.keyChunkOffset), qsizetype(info.keyChunkSize));
    QBuffer buffer(&withoutKey);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return QImage();
    // 16 bits a channel, straight alpha: the stored samples compare exactly with the key.
    image = image.convertToFormat(QImage::Format_RGBA64);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgba64*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (row[x].red() == info.key[0] && row[x].green() == info.key[1] &&
                row[x].blue() == info.key[2])
                row[x] = QRgba64::fromRgba64(0, 0, 0, 0);
    }
    return image;
}

} // namespace mosaiq
