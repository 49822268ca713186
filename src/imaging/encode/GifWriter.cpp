#include "imaging/encode/GifWriter.h"

#include <algorithm>
#include <array>
#include <vector>

namespace mosaiq {

namespace {

// Packs variable-width codes least significant bit first into 255-byte data sub-blocks.
class CodeWriter {
public:
    explicit CodeWriter(QByteArray& out) : m_out(out) {}
    void Put(int code, int bits) {
        m_bits |= std::uint32_t(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            Byte(static_cast<unsigned char>(m_bits & 0xFF));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    void Finish() {
        if (m_count > 0)
            Byte(static_cast<unsigned char>(m_bits & 0xFF));
        if (m_fill > 0)
            Flush();
        m_out.append('\0'); // block terminator
    }

private:
    void Byte(unsigned char b) {
        m_block[size_t(m_fill++)] = b;
        if (m_fill == 255)
            Flush();
    }
    void Flush() {
        m_out.append(char(m_fill));
        m_out.append(reinterpret_cast<const char*>(m_block.data()), m_fill);
        m_fill = 0;
    }
    QByteArray& m_out;
    std::uint32_t m_bits = 0;
    int m_count = 0;
    std::array<unsigned char, 255> m_block{};
    int m_fill = 0;
};

// LZW with 8-bit symbols and codes of 9 to 12 bits; the dictionary is a hash of (prefix, symbol).
void LzwEncode(const std::vector<unsigned char>& symbols, QByteArray& out) {
    constexpr int kClear = 256, kEnd = 257, kMaxCodes = 4096, kHashSize = 5003;
    std::vector<int> hashKey(kHashSize), hashCode(kHashSize);
    const auto reset = [&] { std::fill(hashKey.begin(), hashKey.end(), -1); };
    reset();
    CodeWriter writer(out);
    int bits = 9, next = kEnd + 1;
    bool cleared = false;
    const auto write = [&](int code) {
        writer.Put(code, bits);
        if (cleared) {
            bits = 9;
            cleared = false;
        } else if (next > (1 << bits) - 1 && bits < 12) {
            ++bits;
        }
    };
    write(kClear);
    int prefix = symbols.front();
    for (size_t i = 1; i < symbols.size(); ++i) {
        const int c = symbols[i];
        const int key = (prefix << 8) | c;
        int h = ((c << 4) ^ prefix) % kHashSize;
        bool found = false;
        while (hashKey[size_t(h)] >= 0) {
            if (hashKey[size_t(h)] == key) {
                prefix = hashCode[size_t(h)];
                found = true;
                break;
            }
            h = h + 1 == kHashSize ? 0 : h + 1;
        }
        if (found)
            continue;
        write(prefix);
        if (next < kMaxCodes) {
            hashKey[size_t(h)] = key;
            hashCode[size_t(h)] = next++;
        } else {
            reset();
            next = kEnd + 1;
            cleared = true;
            write(kClear);
        }
        prefix = c;
    }
    write(prefix);
    write(kEnd);
    writer.Finish();
}

void PutLe16(QByteArray& out, int v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

} // namespace

QByteArray EncodeGifWithPalette(const QImage& image, const QVector<QRgb>& palette) {
    if (image.isNull() || palette.isEmpty() || palette.size() > 256 || image.width() > 65535 ||
        image.height() > 65535)
        return QByteArray();
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width(), h = rgb.height();

    // Nearest palette entry for every colour at 5 bits a channel (the cell's centre).
    std::vector<unsigned char> nearest(32 * 32 * 32);
    for (int r = 0; r < 32; ++r)
        for (int g = 0; g < 32; ++g)
            for (int b = 0; b < 32; ++b) {
                const int cr = r * 8 + 4, cg = g * 8 + 4, cb = b * 8 + 4;
                int best = 0, bestDistance = INT32_MAX;
                for (int i = 0; i < palette.size(); ++i) {
                    const int dr = qRed(palette[i]) - cr, dg = qGreen(palette[i]) - cg,
                              db = qBlue(palette[i]) - cb;
                    const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (d < bestDistance) {
                        bestDistance = d;
                        best = i;
                    }
                }
                nearest[size_t((r << 10) | (g << 5) | b)] = static_cast<unsigned char>(best);
            }

    // Floyd-Steinberg: errors in sixteenths, carried to the right and into the next row.
    std::vector<unsigned char> indexes(size_t(w) * size_t(h));
    std::vector<int> errNow(size_t(w + 2) * 3, 0), errNext(size_t(w + 2) * 3, 0);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::fill(errNext.begin(), errNext.end(), 0);
        for (int x = 0; x < w; ++x) {
            int* e = &errNow[size_t(x + 1) * 3];
            const int r = std::clamp(qRed(line[x]) + e[0] / 16, 0, 255);
            const int g = std::clamp(qGreen(line[x]) + e[1] / 16, 0, 255);
            const int b = std::clamp(qBlue(line[x]) + e[2] / 16, 0, 255);
            const unsigned char index =
                nearest[size_t(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3))];
            indexes[size_t(y) * size_t(w) + size_t(x)] = index;
            const int diff[3] = {r - qRed(palette[index]), g - qGreen(palette[index]),
                                 b - qBlue(palette[index])};
            for (int c = 0; c < 3; ++c) {
                e[3 + c] += diff[c] * 7;
                errNext[size_t(x) * 3 + size_t(c)] += diff[c] * 3;
                errNext[size_t(x + 1) * 3 + size_t(c)] += diff[c] * 5;
                errNext[size_t(x + 2) * 3 + size_t(c)] += diff[c];
            }
        }
        std::swap(errNow, errNext);
    }

    QByteArray out("GIF89a");
    PutLe16(out, w);
    PutLe16(out, h);
    out.append(char(0xF7)); // global colour table of 256 entries, 8 bits a channel
    out.append('\0');
    out.append('\0');
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    out.append(',');
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, w);
    PutLe16(out, h);
    out.append('\0');
    out.append(char(8)); // LZW minimum code size
    LzwEncode(indexes, out);
    out.append(';');
    return out;
}

} // namespace mosaiq
