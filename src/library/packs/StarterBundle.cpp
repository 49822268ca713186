#include "library/packs/StarterBundle.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include <cstring>

namespace mosaiq {
namespace {

constexpr char kMagic[4] = {'M', 'Q', 'S', 'B'};
constexpr quint32 kVersion = 1;
// Magic, version and count.
constexpr qsizetype kHeaderSize = 12;
// Window, picture length and thumbnail length: the smallest possible item.
constexpr qsizetype kMinItemSize = 16 + 4 + 4;

void PutU32(QByteArray& out, quint32 v) {
    const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                       char((v >> 24) & 0xFF)};
    out.append(b, 4);
}

void PutFloat(QByteArray& out, float f) {
    quint32 v = 0;
    std::memcpy(&v, &f, 4);
    PutU32(out, v);
}

void PutBlob(QByteArray& out, const QByteArray& blob) {
    PutU32(out, quint32(blob.size()));
    out.append(blob);
}

// Reads from a byte array, refusing to read past its end.
class Cursor {
public:
    explicit Cursor(const QByteArray& bytes) : m_bytes(bytes) {}
    qsizetype Left() const { return m_bytes.size() - m_pos; }
    bool U32(quint32& v) {
        if (Left() < 4)
            return false;
        const auto* p = reinterpret_cast<const uchar*>(m_bytes.constData() + m_pos);
        v = quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
        m_pos += 4;
        return true;
    }
    bool Float(float& f) {
        quint32 v = 0;
        if (!U32(v))
            return false;
        std::memcpy(&f, &v, 4);
        return true;
    }
    bool Blob(QByteArray& blob) {
        quint32 length = 0;
        if (!U32(length) || qsizetype(length) > Left())
            return false;
        blob = m_bytes.mid(m_pos, qsizetype(length));
        m_pos += qsizetype(length);
        return true;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

} // namespace

QByteArray EncodeStarterPng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    // Highest compression: the bundles live in the executable.
    writer.setQuality(0);
    writer.write(image.convertToFormat(QImage::Format_ARGB32));
    return bytes;
}

QImage DecodeStarterPng(const QByteArray& png) {
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxStarterSide || size.height() > kMaxStarterSide)
        return {};
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray EncodeStarterBundle(const std::vector<StarterItem>& items) {
    QByteArray out(kMagic, 4);
    PutU32(out, kVersion);
    PutU32(out, quint32(items.size()));
    for (const StarterItem& item : items) {
        for (float f : item.window)
            PutFloat(out, f);
        PutBlob(out, item.picturePng);
        PutBlob(out, item.thumbnailPng);
    }
    return out;
}

std::optional<std::vector<StarterItem>> DecodeStarterBundle(const QByteArray& bytes) {
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.constData(), kMagic, 4) != 0)
        return std::nullopt;
    Cursor in(bytes);
    quint32 magic = 0;
    quint32 version = 0;
    quint32 count = 0;
    if (!in.U32(magic) || !in.U32(version) || !in.U32(count) || version != kVersion)
        return std::nullopt;
    // Each item needs at least its fixed fields, so a count the bytes cannot hold is refused
    // before anything is reserved.
    if (qsizetype(count) > in.Left() / kMinItemSize)
        return std::nullopt;
    std::vector<StarterItem> items(count);
    for (StarterItem& item : items) {
        for (float& f : item.window) {
            if (!in.Float(f))
                return std::nullopt;
        }
        if (!in.Blob(item.picturePng) || !in.Blob(item.thumbnailPng))
            return std::nullopt;
    }
    if (in.Left() != 0)
        return std::nullopt;
    return items;
}

} // namespace mosaiq
