#include "library/items/LibraryFile.h"

#include "core/files/AtomicFile.h"
#include "core/files/RegularFile.h"
#include "imaging/decode/DecodeCost.h"
#include "imaging/decode/PngStream.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <bit>
#include <cstring>

namespace mosaiq {

LibraryReader::LibraryReader(QIODevice& device) : m_device(device) {
    m_size = device.size();
    m_pos = device.pos();
    if (!device.isReadable() || m_size < 0 || m_pos < 0 || m_pos > m_size)
        m_failed = true;
}

bool LibraryReader::Fail() {
    m_failed = true;
    return false;
}

bool LibraryReader::ReadRaw(char* data, qint64 length) {
    if (m_failed || length < 0 || length > m_size - m_pos)
        return Fail();
    if (m_device.read(data, length) != length)
        return Fail();
    m_pos += length;
    return true;
}

bool LibraryReader::ReadInt32(std::int32_t& value) {
    unsigned char b[4];
    if (!ReadRaw(reinterpret_cast<char*>(b), 4))
        return false;
    value = std::int32_t(std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) |
                         (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24));
    return true;
}

bool LibraryReader::ReadFloat(float& value) {
    std::int32_t bits = 0;
    if (!ReadInt32(bits))
        return false;
    value = std::bit_cast<float>(bits);
    return true;
}

bool LibraryReader::ReadKey(Guid& key) {
    return ReadRaw(reinterpret_cast<char*>(key.bytes.data()), qint64(key.bytes.size()));
}

bool LibraryReader::ReadBytes(qint64 length, QByteArray& out) {
    if (m_failed || length < 0 || length > m_size - m_pos)
        return Fail();
    out.resize(qsizetype(length));
    if (!ReadRaw(out.data(), length)) {
        out.clear();
        return false;
    }
    return true;
}

bool LibraryReader::Skip(qint64 length) {
    if (m_failed || length < 0 || length > m_size - m_pos)
        return Fail();
    if (!m_device.seek(m_pos + length))
        return Fail();
    m_pos += length;
    return true;
}

qint64 EntryHeaderSize(EntryLayout layout) {
    return layout == EntryLayout::RawPicture ? 8 : 28;
}

std::optional<int> ReadEntryCount(LibraryReader& reader, EntryLayout layout) {
    std::int32_t count = 0;
    if (!reader.ReadInt32(count) || count < 0)
        return std::nullopt;
    if (qint64(count) * EntryHeaderSize(layout) > reader.Remaining())
        return std::nullopt;
    return count;
}

qint64 RawPixelBytes(std::int32_t width, std::int32_t height, qint64 limit) {
    if (width < 0 || height < 0 || limit < 0)
        return -1;
    if (width == 0 || height == 0)
        return 0;
    // w*h*4 <= limit, checked without forming a product that could overflow.
    if (qint64(height) > limit / 4 / qint64(width))
        return -1;
    return qint64(width) * qint64(height) * 4;
}

std::optional<EntryHeader> ReadEntryHeader(LibraryReader& reader, EntryLayout layout) {
    EntryHeader h;
    if (!reader.ReadInt32(h.width) || !reader.ReadInt32(h.height))
        return std::nullopt;
    if (layout == EntryLayout::RawPicture) {
        h.dataSize = RawPixelBytes(h.width, h.height, reader.Remaining());
        if (h.dataSize < 0)
            return std::nullopt;
        return h;
    }
    if (!reader.ReadInt32(h.length))
        return std::nullopt;
    if (layout == EntryLayout::KeyedEncoded) {
        if (!reader.ReadKey(h.key))
            return std::nullopt;
    } else {
        for (float& f : h.window)
            if (!reader.ReadFloat(f))
                return std::nullopt;
    }
    if (h.length < 0 || qint64(h.length) > reader.Remaining())
        return std::nullopt;
    h.dataSize = h.length;
    return h;
}

std::optional<EntryHeader> SeekToEntry(LibraryReader& reader, EntryLayout layout, int index) {
    const std::optional<int> count = ReadEntryCount(reader, layout);
    if (!count || index < 0 || index >= *count)
        return std::nullopt;
    for (int i = 0; i < index; ++i) {
        const std::optional<EntryHeader> h = ReadEntryHeader(reader, layout);
        if (!h || !reader.Skip(h->dataSize))
            return std::nullopt;
    }
    return ReadEntryHeader(reader, layout);
}

namespace {

bool WithinPictureLimits(const QSize& size) {
    return size.width() > 0 && size.height() > 0 && size.width() <= kMaxPictureSide &&
           size.height() <= kMaxPictureSide &&
           qint64(size.width()) * size.height() <= kMaxPicturePixels;
}

// Qt refuses pictures whose decoded buffer exceeds its allocation limit (128 MB by default).
// Our own cap is 256 megapixels of 4 bytes; make sure Qt's limit lets those through.
void RaiseAllocationLimit() {
    constexpr int kLimitMb = int(kMaxPicturePixels * 4 / (1024 * 1024)) + 64;
    if (QImageReader::allocationLimit() != 0 && QImageReader::allocationLimit() < kLimitMb)
        QImageReader::setAllocationLimit(kLimitMb);
}

} // namespace

std::optional<QImage> DecodeEncodedPicture(const QByteArray& encoded) {
    if (encoded.isEmpty())
        return std::nullopt;
    RaiseAllocationLimit();
    QBuffer buffer;
    buffer.setData(encoded);
    if (!buffer.open(QIODevice::ReadOnly))
        return std::nullopt;
    QImageReader reader(&buffer);
    // Library pictures are in the formats the program has always stored: PNG, JPEG, BMP, GIF,
    // TIFF and ICO. Other decoders are not offered untrusted bytes (some spend seconds on a
    // damaged header before refusing it).
    static const QByteArray kFormats[] = {"png", "jpeg", "jpg", "bmp", "gif", "tiff", "tif", "ico"};
    if (std::find(std::begin(kFormats), std::end(kFormats), reader.format()) == std::end(kFormats))
        return std::nullopt;
    // The header's size is checked first so that a lying header is refused before decoding.
    const QSize announced = reader.size();
    if (announced.isValid() && !WithinPictureLimits(announced))
        return std::nullopt;
    if (!DecodeCostBounded(encoded, nullptr))
        return std::nullopt;
    QImage image;
    const PngStreamInfo png = ScanPngStream(
        reinterpret_cast<const unsigned char*>(encoded.constData()), encoded.size(), false);
    if (NeedsOwnColourKey(png))
        image = DecodeDeepRgbWithKey(encoded, png);
    else if (!reader.read(&image))
        return std::nullopt;
    if (image.isNull() || !WithinPictureLimits(image.size()))
        return std::nullopt;
    if (image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return std::nullopt;
    return image;
}

QImage ImageFromBgra(const char* pixels, int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return image;
    const qsizetype rowBytes = qsizetype(width) * 4;
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        const char* src = pixels + rowBytes * y;
        // Format_ARGB32 keeps 0xAARRGGBB in native order: B, G, R, A in memory on little-endian.
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(row, src, size_t(rowBytes));
        } else {
            auto* dst = reinterpret_cast<QRgb*>(row);
            for (int x = 0; x < width; ++x) {
                const auto* p = reinterpret_cast<const uchar*>(src + x * 4);
                dst[x] = qRgba(p[2], p[1], p[0], p[3]);
            }
        }
    }
    return image;
}

QByteArray BgraBytes(const QImage& picture) {
    const QImage image = picture.format() == QImage::Format_ARGB32
                             ? picture
                             : picture.convertToFormat(QImage::Format_ARGB32);
    QByteArray out;
    if (image.isNull())
        return out;
    const qsizetype rowBytes = qsizetype(image.width()) * 4;
    out.resize(rowBytes * image.height());
    for (int y = 0; y < image.height(); ++y) {
        auto* dst = reinterpret_cast<uchar*>(out.data() + rowBytes * y);
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            dst[x * 4 + 0] = uchar(qBlue(src[x]));
            dst[x * 4 + 1] = uchar(qGreen(src[x]));
            dst[x * 4 + 2] = uchar(qRed(src[x]));
            dst[x * 4 + 3] = uchar(qAlpha(src[x]));
        }
    }
    return out;
}

void AppendInt32(QByteArray& out, std::int32_t value) {
    const auto v = std::uint32_t(value);
    const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                       char((v >> 24) & 0xFF)};
    out.append(b, 4);
}

void AppendFloat(QByteArray& out, float value) {
    AppendInt32(out, std::bit_cast<std::int32_t>(value));
}

bool AppendEncodedEntry(const QString& path, EntryLayout layout, const QByteArray& entry,
                        QString* error) {
    const auto refuse = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QByteArray kept; // the existing entries, without the count
    std::int32_t entries = 0;
    QFile file;
    QString reason;
    const OpenFailure failure = OpenRegularFile(file, path, &reason);
    if (failure != OpenFailure::None && failure != OpenFailure::Missing)
        return refuse(reason);
    if (failure == OpenFailure::None) {
        // The new entry can only go right after the last counted one. When the count promises
        // more than the file holds, or bytes follow the counted entries, appending would have to
        // cut what is there: the file is left exactly as it is instead.
        LibraryReader reader(file);
        std::int32_t count = 0;
        // An empty file holds nothing to keep.
        bool whole = reader.Remaining() == 0 || (reader.ReadInt32(count) && count >= 0);
        for (std::int32_t i = 0; whole && i < count; ++i) {
            const std::optional<EntryHeader> h = ReadEntryHeader(reader, layout);
            whole = h && reader.Skip(h->dataSize);
        }
        if (!whole || reader.Remaining() != 0)
            return refuse(QStringLiteral("%1 is damaged (its entries do not match its count); "
                                         "nothing was added and the file is left as it is")
                              .arg(path));
        entries = count;
        const qint64 end = reader.Position();
        if (entries > 0 && (!file.seek(4) || (kept = file.read(end - 4)).size() != end - 4))
            return refuse(QStringLiteral("cannot read %1").arg(path));
        file.close();
    }
    if (entries == INT32_MAX)
        return refuse(QStringLiteral("%1 is full").arg(path));
    QByteArray out;
    out.reserve(4 + kept.size() + entry.size());
    AppendInt32(out, entries + 1);
    out += kept;
    out += entry;
    return WriteFileAtomically(path, out, error);
}

} // namespace mosaiq
