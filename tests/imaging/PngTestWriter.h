#pragma once

// Writes PNG files sample by sample, for tests of every colour type and bit depth the format
// allows (Qt's writer makes only a few of them).

#include <QByteArray>

#include <zlib.h>

#include <cstdint>
#include <vector>

namespace mosaiq::test {

struct PngLayout {
    int width = 0;
    int height = 0;
    int bitDepth = 8;
    int colourType = 2;                 // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    std::vector<std::uint16_t> samples; // width * height * channels, row by row
    QByteArray palette;                 // PLTE body (colour type 3)
    QByteArray transparency;            // tRNS body, empty for none
    bool interlaced = false;            // Adam7
};

inline int PngChannels(int colourType) {
    return colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
}

inline void AppendBig32(QByteArray& out, std::uint32_t v) {
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

inline void AppendPngChunk(QByteArray& out, const char* type, const QByteArray& body) {
    AppendBig32(out, std::uint32_t(body.size()));
    const QByteArray typed = QByteArray(type, 4) + body;
    out += typed;
    AppendBig32(out, std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()),
                                         uInt(typed.size()))));
}

// The filtered rows (filter 0) of the pixels at x0 + i * dx, y0 + j * dy, packed as the bit depth
// says: the whole picture, or one pass of the interlaced layout.
inline QByteArray PngPassRows(const PngLayout& layout, int x0, int y0, int dx, int dy) {
    const int channels = PngChannels(layout.colourType);
    QByteArray rows;
    if (x0 >= layout.width || y0 >= layout.height)
        return rows;
    for (int y = y0; y < layout.height; y += dy) {
        rows.append('\0');
        int bits = 0, acc = 0;
        for (int x = x0; x < layout.width; x += dx)
            for (int c = 0; c < channels; ++c) {
                const std::uint16_t v = layout.samples[size_t((y * layout.width + x) * channels + c)];
                if (layout.bitDepth == 16) {
                    rows.append(char(v >> 8)).append(char(v & 0xFF));
                } else if (layout.bitDepth == 8) {
                    rows.append(char(v));
                } else {
                    acc = (acc << layout.bitDepth) | v;
                    bits += layout.bitDepth;
                    if (bits == 8) {
                        rows.append(char(acc));
                        bits = acc = 0;
                    }
                }
            }
        if (bits > 0)
            rows.append(char(acc << (8 - bits)));
    }
    return rows;
}

inline QByteArray PngRows(const PngLayout& layout) {
    if (!layout.interlaced)
        return PngPassRows(layout, 0, 0, 1, 1);
    static const int kPass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                    {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    QByteArray rows;
    for (const auto& p : kPass)
        rows += PngPassRows(layout, p[0], p[1], p[2], p[3]);
    return rows;
}

inline QByteArray Deflated(const QByteArray& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    QByteArray out(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(raw.constData()), uLong(raw.size()), 9);
    out.resize(qsizetype(size));
    return out;
}

// The PNG file of layout; imageData replaces the compressed rows when given.
inline QByteArray MakePng(const PngLayout& layout, const QByteArray* imageData = nullptr) {
    QByteArray png("\x89PNG\r\n\x1A\n", 8);
    QByteArray header;
    AppendBig32(header, std::uint32_t(layout.width));
    AppendBig32(header, std::uint32_t(layout.height));
    header.append(char(layout.bitDepth)).append(char(layout.colourType)).append('\0').append('\0');
    header.append(layout.interlaced ? '\1' : '\0');
    AppendPngChunk(png, "IHDR", header);
    if (!layout.palette.isEmpty())
        AppendPngChunk(png, "PLTE", layout.palette);
    if (!layout.transparency.isEmpty())
        AppendPngChunk(png, "tRNS", layout.transparency);
    AppendPngChunk(png, "IDAT", imageData ? *imageData : Deflated(PngRows(layout)));
    AppendPngChunk(png, "IEND", QByteArray());
    return png;
}

} // namespace mosaiq::test
