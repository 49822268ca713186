#include "imaging/decode/HeifBoxes.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace mosaiq {

namespace {

struct Box {
    char type[4] = {};
    const unsigned char* body = nullptr;
    std::size_t size = 0; // of the body
};

// The boxes between begin and end, at most limit of them; a box that claims more than its parent
// holds ends the list.
std::vector<Box> Children(const unsigned char* begin, const unsigned char* end,
                          std::size_t limit = 4096) {
    std::vector<Box> boxes;
    const unsigned char* at = begin;
    while (end - at >= 8 && boxes.size() < limit) {
        std::uint64_t size = (std::uint64_t(at[0]) << 24) | (std::uint64_t(at[1]) << 16) |
                             (std::uint64_t(at[2]) << 8) | std::uint64_t(at[3]);
        std::size_t header = 8;
        if (size == 1) {
            if (end - at < 16)
                break;
            size = 0;
            for (int i = 8; i < 16; ++i)
                size = (size << 8) | at[i];
            header = 16;
        } else if (size == 0) {
            size = std::uint64_t(end - at);
        }
        if (size < header || size > std::uint64_t(end - at))
            break;
        Box box;
        std::memcpy(box.type, at + 4, 4);
        box.body = at + header;
        box.size = std::size_t(size) - header;
        boxes.push_back(box);
        at += size;
    }
    return boxes;
}

const Box* Find(const std::vector<Box>& boxes, const char* type) {
    for (const Box& b : boxes)
        if (std::memcmp(b.type, type, 4) == 0)
            return &b;
    return nullptr;
}

// Reads big-endian fields and single bits from a bounded buffer; reading past its end fails.
class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Ok() const { return m_ok; }
    std::uint64_t Bits(int n) {
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i) {
            if (m_bit >= m_size * 8) {
                m_ok = false;
                return 0;
            }
            v = (v << 1) | ((m_data[m_bit / 8] >> (7 - m_bit % 8)) & 1u);
            ++m_bit;
        }
        return v;
    }
    std::uint64_t Bytes(int n) { return Bits(8 * n); }
    // AV1's uvlc(): a count of leading zeros, then that many bits.
    std::uint64_t Uvlc() {
        int zeros = 0;
        while (Ok() && Bits(1) == 0)
            if (++zeros >= 32)
                return 0xFFFFFFFFu;
        return Bits(zeros) + (std::uint64_t(1) << zeros) - 1;
    }
    // AV1's leb128(): seven bits a byte, low bits first, at most eight bytes.
    std::uint64_t Leb128() {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) {
            const std::uint64_t byte = Bytes(1);
            v |= (byte & 0x7F) << (7 * i);
            if (!(byte & 0x80))
                break;
        }
        return v;
    }
    std::size_t BytePos() const { return (m_bit + 7) / 8; }
    void SkipTo(std::size_t byte) { m_bit = byte * 8; }

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_bit = 0;
    bool m_ok = true;
};

// The largest frame of an AV1 sequence header OBU's payload (AV1 specification 5.5).
QSize SequenceHeaderSize(Reader r) {
    r.Bits(3); // seq_profile
    r.Bits(1); // still_picture
    const bool reduced = r.Bits(1);
    if (reduced) {
        r.Bits(5); // seq_level_idx[0]
    } else {
        bool decoderModel = false;
        int delayLength = 0;
        if (r.Bits(1)) { // timing_info_present_flag
            r.Bits(32);
            r.Bits(32);
            if (r.Bits(1)) // equal_picture_interval
                r.Uvlc();
            decoderModel = r.Bits(1);
            if (decoderModel) {
                delayLength = int(r.Bits(5)) + 1;
                r.Bits(32);
                r.Bits(5);
                r.Bits(5);
            }
        }
        const bool initialDelay = r.Bits(1);
        const int points = int(r.Bits(5)) + 1;
        for (int i = 0; i < points && r.Ok(); ++i) {
            r.Bits(12); // operating_point_idc
            if (r.Bits(5) > 7)
                r.Bits(1); // seq_tier
            if (decoderModel && r.Bits(1)) {
                r.Bits(delayLength);
                r.Bits(delayLength);
                r.Bits(1);
            }
            if (initialDelay && r.Bits(1))
                r.Bits(4);
        }
    }
    const int widthBits = int(r.Bits(4)) + 1;
    const int heightBits = int(r.Bits(4)) + 1;
    const std::uint64_t width = r.Bits(widthBits) + 1;
    const std::uint64_t height = r.Bits(heightBits) + 1;
    if (!r.Ok() || width > 65536 || height > 65536)
        return QSize();
    return QSize(int(width), int(height));
}

// The largest frame of the first sequence header among size bytes of AV1 OBUs; invalid when
// there is none.
QSize SequenceHeaderIn(const unsigned char* obus, std::size_t size) {
    Reader r(obus, size);
    for (int count = 0; r.Ok() && r.BytePos() < size && count < 64; ++count) {
        const int header = int(r.Bytes(1));
        const int type = (header >> 3) & 0xF;
        if (header & 0x04)
            r.Bytes(1); // the extension
        const std::size_t payload = (header & 0x02) ? std::size_t(r.Leb128()) : size - r.BytePos();
        const std::size_t start = r.BytePos();
        if (!r.Ok() || start > size || payload > size - start)
            return QSize();
        if (type == 1) // OBU_SEQUENCE_HEADER
            return SequenceHeaderSize(Reader(obus + start, payload));
        r.SkipTo(start + payload);
    }
    return QSize();
}

// av1C: four bytes of configuration, then the configuration OBUs (a sequence header among them,
// though most writers leave them out).
void ReadAv1Config(const Box& av1C, HeifPrimaryCoding* coding) {
    if (av1C.size < 4)
        return;
    coding->found = true;
    coding->av1 = true;
    coding->monochrome = (av1C.body[2] >> 4) & 1;
    coding->codedSize = SequenceHeaderIn(av1C.body + 4, av1C.size - 4);
}

// The first extent of item in the file, from the "iloc" box (items stored in the file itself,
// construction method 0); empty when it cannot be found inside data.
std::pair<std::size_t, std::size_t> ItemExtent(const Box& iloc, std::uint32_t item,
                                               std::size_t fileSize) {
    Reader r(iloc.body, iloc.size);
    const int version = int(r.Bytes(1));
    r.Bytes(3);
    const int offsetSize = int(r.Bits(4)), lengthSize = int(r.Bits(4));
    const int baseSize = int(r.Bits(4));
    const int indexField = int(r.Bits(4)); // reserved in version 0
    const int indexSize = version == 0 ? 0 : indexField;
    const std::uint64_t items = r.Bytes(version < 2 ? 2 : 4);
    for (std::uint64_t i = 0; i < items && r.Ok(); ++i) {
        const std::uint64_t id = r.Bytes(version < 2 ? 2 : 4);
        int method = 0;
        if (version == 1 || version == 2)
            method = int(r.Bytes(2) & 0xF);
        r.Bytes(2); // data_reference_index
        const std::uint64_t base = r.Bytes(baseSize);
        const std::uint64_t extents = r.Bytes(2);
        for (std::uint64_t e = 0; e < extents && r.Ok(); ++e) {
            if (indexSize > 0)
                r.Bytes(indexSize);
            const std::uint64_t offset = r.Bytes(offsetSize);
            const std::uint64_t length = r.Bytes(lengthSize);
            if (id == item && e == 0 && method == 0 && r.Ok()) {
                const std::uint64_t at = base + offset;
                if (at < fileSize && length > 0 && length <= fileSize - at)
                    return {std::size_t(at), std::size_t(length)};
                return {0, 0};
            }
        }
    }
    return {0, 0};
}

} // namespace

HeifPrimaryCoding ReadHeifPrimaryCoding(const QByteArray& data) {
    HeifPrimaryCoding coding;
    const auto* begin = reinterpret_cast<const unsigned char*>(data.constData());
    const std::vector<Box> top = Children(begin, begin + data.size(), 64);
    const Box* meta = Find(top, "meta");
    if (!meta || meta->size < 4)
        return coding;
    const std::vector<Box> inMeta = Children(meta->body + 4, meta->body + meta->size);
    const Box* pitm = Find(inMeta, "pitm");
    const Box* iprp = Find(inMeta, "iprp");
    if (!pitm || !iprp || pitm->size < 6)
        return coding;
    const std::uint32_t primary =
        pitm->body[0] == 0
            ? (std::uint32_t(pitm->body[4]) << 8) | pitm->body[5]
            : (pitm->size < 8
                   ? 0u
                   : (std::uint32_t(pitm->body[4]) << 24) | (std::uint32_t(pitm->body[5]) << 16) |
                         (std::uint32_t(pitm->body[6]) << 8) | pitm->body[7]);
    const Box* iloc = Find(inMeta, "iloc");
    const std::vector<Box> inIprp = Children(iprp->body, iprp->body + iprp->size);
    const Box* ipco = Find(inIprp, "ipco");
    const Box* ipma = Find(inIprp, "ipma");
    if (!ipco || !ipma || ipma->size < 8)
        return coding;
    const std::vector<Box> properties = Children(ipco->body, ipco->body + ipco->size);
    Reader r(ipma->body, ipma->size);
    const int version = int(r.Bytes(1));
    const bool wideIndex = r.Bytes(3) & 1;
    const std::uint64_t entries = r.Bytes(4);
    for (std::uint64_t e = 0; e < entries && r.Ok(); ++e) {
        const std::uint64_t item = r.Bytes(version < 1 ? 2 : 4);
        const int count = int(r.Bytes(1));
        for (int a = 0; a < count && r.Ok(); ++a) {
            const std::uint64_t index = wideIndex ? r.Bits(16) & 0x7FFF : r.Bits(8) & 0x7F;
            if (item != primary || index == 0 || index > properties.size())
                continue;
            const Box& property = properties[size_t(index - 1)];
            if (std::memcmp(property.type, "av1C", 4) == 0) {
                ReadAv1Config(property, &coding);
            } else if (std::memcmp(property.type, "hvcC", 4) == 0 && property.size >= 17) {
                coding.found = true;
                coding.monochrome = (property.body[16] & 3) == 0; // chroma_format_idc
            }
        }
        if (item == primary)
            break;
    }
    // Most writers leave the sequence header out of av1C: it opens the picture's own data.
    if (coding.av1 && !coding.codedSize.isValid() && iloc) {
        const auto [at, length] = ItemExtent(*iloc, primary, std::size_t(data.size()));
        if (length > 0)
            coding.codedSize = SequenceHeaderIn(begin + at, length);
    }
    return coding;
}

} // namespace mosaiq
