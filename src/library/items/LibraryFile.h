#pragma once

// Bounded reading of the library files: a 4-byte little-endian entry count followed by entries
// back to back, with no index. Every size read from a file is checked against what is left of it
// before anything is allocated or skipped, so damaged or hostile files give "no result".

#include "core/WinTypes.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <optional>

class QIODevice;

namespace mosaiq {

// Largest picture any library reader hands out: 16,384 pixels a side and 256 megapixels.
constexpr int kMaxPictureSide = 16384;
constexpr qint64 kMaxPicturePixels = qint64(256) * 1024 * 1024;

// The three entry layouts of the library files.
enum class EntryLayout {
    RawPicture,   // int32 w, int32 h, w*h*4 bytes B,G,R,A (thumbnail files and picture lists)
    KeyedEncoded, // int32 w, int32 h, int32 L, 16-byte key, L encoded bytes (mask libraries)
    Frame,        // int32 w, int32 h, int32 L, 4 floats (frame window), L encoded bytes
};

// Reads little-endian values from a device that is already open for reading, never past its
// end. The device's size is taken once at construction; reads and skips that would go past it
// fail and leave the reader unusable (every later call fails too).
class LibraryReader {
public:
    explicit LibraryReader(QIODevice& device);

    bool ReadInt32(std::int32_t& value);
    bool ReadFloat(float& value);
    bool ReadKey(Guid& key);
    // Reads exactly length bytes (0 <= length <= Remaining()).
    bool ReadBytes(qint64 length, QByteArray& out);
    bool Skip(qint64 length);

    qint64 Remaining() const { return m_failed ? 0 : m_size - m_pos; }
    qint64 Position() const { return m_pos; }
    bool Failed() const { return m_failed; }

private:
    bool Fail();
    bool ReadRaw(char* data, qint64 length);

    QIODevice& m_device;
    qint64 m_size = 0;
    qint64 m_pos = 0;
    bool m_failed = false;
};

// The header of one entry; pixelBytes (raw entries) or length (encoded and frame entries) is the
// size of the data that follows the header.
struct EntryHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t length = 0;        // encoded entries only
    Guid key;                       // keyed entries only
    float window[4] = {0, 0, 0, 0}; // frame entries only: left, top, right, bottom
    qint64 dataSize = 0;            // bytes of data after the header, checked against the file
};

// Size in bytes of an entry header of the layout (8, 28 or 28).
qint64 EntryHeaderSize(EntryLayout layout);

// Reads the entry count. No result when the file is shorter than 4 bytes, the count is negative,
// or count entry headers alone could not fit in the rest of the file.
std::optional<int> ReadEntryCount(LibraryReader& reader, EntryLayout layout);

// Reads the header of the entry at the reader's position. No result when a size is negative,
// w*h*4 does not fit in the rest of the file, or L is beyond the end of the file.
std::optional<EntryHeader> ReadEntryHeader(LibraryReader& reader, EntryLayout layout);

// Reads the count, then skips entries 0 .. index-1. The reader is then at the header of entry
// index. No result when index is negative or not below the count, or any skipped entry is damaged.
std::optional<EntryHeader> SeekToEntry(LibraryReader& reader, EntryLayout layout, int index);

// Bytes of w*h*4 pixels, or -1 when w or h is negative or the product overflows the limit given.
qint64 RawPixelBytes(std::int32_t width, std::int32_t height, qint64 limit);

// Decodes an encoded picture (PNG, JPEG, BMP, GIF, TIFF or ICO, recognised by content)
// to Format_ARGB32 (bytes B, G, R, A in memory). No result for undecodable data and for pictures
// over kMaxPictureSide a side or kMaxPicturePixels; the picture keeps its own decoded size.
std::optional<QImage> DecodeEncodedPicture(const QByteArray& encoded);

// A Format_ARGB32 copy of w*h B,G,R,A pixels, rows top to bottom without padding.
QImage ImageFromBgra(const char* pixels, int width, int height);

// The pixels of picture as B,G,R,A bytes, rows top to bottom without padding (any input format).
QByteArray BgraBytes(const QImage& picture);

// Little-endian writers used by the encoders.
void AppendInt32(QByteArray& out, std::int32_t value);
void AppendFloat(QByteArray& out, float value);

// Appends one already encoded entry (header and data, as the layout stores it) to the library
// file at path and rewrites its count, through a temporary file renamed over the old one.
// A missing file is created with count 1. A file that exists but cannot be read, and a damaged
// file (its count promises more than it holds, or bytes follow the counted entries), are left
// byte for byte as they are (false with a reason): an append never removes bytes.
bool AppendEncodedEntry(const QString& path, EntryLayout layout, const QByteArray& entry,
                        QString* error = nullptr);

} // namespace mosaiq
