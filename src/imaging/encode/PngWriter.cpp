#include "imaging/encode/PngWriter.h"

#include "imaging/encode/DeflateParts.h"
#include "imaging/files/PictureJob.h"

#include <libdeflate.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <thread>
#include <vector>

namespace mosaiq {
namespace {

using Bytes = std::vector<std::uint8_t>;

// zlib, which compresses the joinable parts, takes this many times as long per byte as libdeflate,
// which compresses the last one (DeflateParts.h), so those parts are made shorter.
constexpr double kZlibCost = 1.8;
// Pictures with fewer filtered bytes than this are compressed in one part.
constexpr std::size_t kMinSplitBytes = std::size_t(4) << 20;
// Largest IDAT chunk written.
constexpr std::size_t kMaxChunk = std::size_t(1) << 20;

enum ColourType : std::uint8_t { kGrey = 0, kRgb = 2, kPalette = 3, kRgba = 6 };

// The picture in one of the four layouts rows are read from, and how it is stored.
struct Source {
    QImage image; // Grayscale8, Indexed8, ARGB32 (straight) or RGB32
    ColourType type = kRgb;
    int channels = 3;
    int paletteSize = 0; // palette pictures: entries written
};

Source Prepare(const QImage& image) {
    Source s;
    switch (image.format()) {
    case QImage::Format_Grayscale8:
        s.image = image;
        s.type = kGrey;
        s.channels = 1;
        return s;
    case QImage::Format_Grayscale16:
        s.image = image.convertToFormat(QImage::Format_Grayscale8);
        s.type = kGrey;
        s.channels = 1;
        return s;
    case QImage::Format_Indexed8:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: {
        QImage indexed = image.convertToFormat(QImage::Format_Indexed8);
        if (indexed.colorCount() == 0)
            break; // no palette to write: stored as colour below
        // Indexes past the palette's end are written as black rather than refused by readers.
        int largest = 0;
        for (int y = 0; y < indexed.height(); ++y) {
            const uchar* row = indexed.constScanLine(y);
            largest = std::max(largest, int(*std::max_element(row, row + indexed.width())));
        }
        s.paletteSize = std::max(int(indexed.colorCount()), largest + 1);
        s.image = indexed;
        s.type = kPalette;
        s.channels = 1;
        return s;
    }
    default:
        break;
    }
    if (image.hasAlphaChannel()) {
        s.image = image.convertToFormat(QImage::Format_ARGB32);
        s.type = kRgba;
        s.channels = 4;
    } else {
        s.image = image.convertToFormat(QImage::Format_RGB32);
        s.type = kRgb;
        s.channels = 3;
    }
    return s;
}

// Row y in stored byte order (R, G, B[, A] or one index or grey byte per pixel).
void FetchRow(const Source& s, int y, std::uint8_t* out) {
    const int w = s.image.width();
    if (s.channels == 1) {
        std::memcpy(out, s.image.constScanLine(y), std::size_t(w));
        return;
    }
    const auto* in = reinterpret_cast<const QRgb*>(s.image.constScanLine(y));
    if (s.channels == 4) {
        for (int x = 0; x < w; ++x, out += 4) {
            out[0] = std::uint8_t(qRed(in[x]));
            out[1] = std::uint8_t(qGreen(in[x]));
            out[2] = std::uint8_t(qBlue(in[x]));
            out[3] = std::uint8_t(qAlpha(in[x]));
        }
    } else {
        for (int x = 0; x < w; ++x, out += 3) {
            out[0] = std::uint8_t(qRed(in[x]));
            out[1] = std::uint8_t(qGreen(in[x]));
            out[2] = std::uint8_t(qBlue(in[x]));
        }
    }
}

inline int Paeth(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

inline unsigned Cost(int v) {
    const int s = std::int8_t(std::uint8_t(v));
    return unsigned(s < 0 ? -s : s);
}

// Filters one row. cur and up point bpp bytes into buffers whose first bpp bytes are zero, so
// the left neighbours of the first pixel read as zero; up is all zero for the first row.
void FilterRow(const std::uint8_t* cur, const std::uint8_t* up, std::size_t n, int bpp,
               bool adaptive, std::uint8_t* out) {
    int chosen = 0;
    if (adaptive) {
        unsigned sums[5] = {0, 0, 0, 0, 0};
        for (std::size_t i = 0; i < n; ++i) {
            const int x = cur[i], a = cur[i - std::size_t(bpp)], b = up[i],
                      c = up[i - std::size_t(bpp)];
            sums[0] += Cost(x);
            sums[1] += Cost(x - a);
            sums[2] += Cost(x - b);
            sums[3] += Cost(x - ((a + b) >> 1));
            sums[4] += Cost(x - Paeth(a, b, c));
        }
        chosen = int(std::min_element(sums, sums + 5) - sums);
    }
    out[0] = std::uint8_t(chosen);
    ++out;
    const std::size_t left = std::size_t(bpp);
    switch (chosen) {
    case 0:
        std::memcpy(out, cur, n);
        break;
    case 1:
        for (std::size_t i = 0; i < n; ++i)
            out[i] = std::uint8_t(cur[i] - cur[i - left]);
        break;
    case 2:
        for (std::size_t i = 0; i < n; ++i)
            out[i] = std::uint8_t(cur[i] - up[i]);
        break;
    case 3:
        for (std::size_t i = 0; i < n; ++i)
            out[i] = std::uint8_t(cur[i] - ((cur[i - left] + up[i]) >> 1));
        break;
    default:
        for (std::size_t i = 0; i < n; ++i)
            out[i] = std::uint8_t(cur[i] - Paeth(cur[i - left], up[i], up[i - left]));
        break;
    }
}

// One horizontal part: its rows filtered, compressed and checksummed.
struct Part {
    int firstRow = 0;
    int endRow = 0;
    bool last = false;
    Bytes compressed;
    std::uint32_t adler = 1;
    std::size_t length = 0; // filtered bytes
    bool ok = false;
};

void MakePart(const Source& s, Part& part, std::uint8_t* filtered, std::size_t rowBytes) {
    const int bpp = s.channels;
    const std::size_t left = std::size_t(bpp);
    Bytes upRow(rowBytes + left, 0), curRow(rowBytes + left, 0);
    if (part.firstRow > 0)
        FetchRow(s, part.firstRow - 1, upRow.data() + left);
    std::uint8_t* out = filtered;
    for (int y = part.firstRow; y < part.endRow; ++y) {
        FetchRow(s, y, curRow.data() + left);
        FilterRow(curRow.data() + left, upRow.data() + left, rowBytes, bpp, s.type != kPalette,
                  out);
        out += rowBytes + 1;
        std::swap(upRow, curRow);
    }
    part.length = std::size_t(out - filtered);
    part.adler = PartAdler32(filtered, part.length);
    part.ok = part.last ? DeflateLastPart(filtered, part.length, part.compressed)
                        : DeflateJoinablePart(filtered, part.length, part.compressed);
}

// Row ranges of the parts: the last (libdeflate) part takes kZlibCost times the rows of each
// other part, so all finish at about the same time.
std::vector<Part> SplitRows(int height, int parts) {
    parts = std::clamp(parts, 1, height);
    std::vector<Part> out(static_cast<std::size_t>(parts));
    const double share = double(height) / (double(parts - 1) + kZlibCost);
    int row = 0;
    for (int i = 0; i < parts; ++i) {
        Part& p = out[std::size_t(i)];
        p.firstRow = row;
        const int remainingParts = parts - 1 - i;
        int rows = (i + 1 == parts) ? height - row : std::max(1, int(share));
        rows = std::min(rows, height - row - remainingParts);
        p.endRow = row + rows;
        p.last = i + 1 == parts;
        row = p.endRow;
    }
    return out;
}

void PutBe32(Bytes& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v >> 24));
    out.push_back(std::uint8_t(v >> 16));
    out.push_back(std::uint8_t(v >> 8));
    out.push_back(std::uint8_t(v));
}

void PutChunk(QByteArray& file, const char type[4], const std::uint8_t* data, std::size_t size) {
    Bytes head;
    PutBe32(head, std::uint32_t(size));
    head.insert(head.end(), type, type + 4);
    file.append(reinterpret_cast<const char*>(head.data()), qsizetype(head.size()));
    if (size > 0)
        file.append(reinterpret_cast<const char*>(data), qsizetype(size));
    std::uint32_t crc = std::uint32_t(libdeflate_crc32(0, type, 4));
    if (size > 0)
        crc = std::uint32_t(libdeflate_crc32(crc, data, size));
    Bytes tail;
    PutBe32(tail, crc);
    file.append(reinterpret_cast<const char*>(tail.data()), 4);
}

void PutHeaderChunks(QByteArray& file, const Source& s) {
    Bytes ihdr;
    PutBe32(ihdr, std::uint32_t(s.image.width()));
    PutBe32(ihdr, std::uint32_t(s.image.height()));
    ihdr.insert(ihdr.end(), {8, std::uint8_t(s.type), 0, 0, 0});
    PutChunk(file, "IHDR", ihdr.data(), ihdr.size());
    // Every picture is decoded into sRGB (embedded profiles are converted): say so, with the
    // perceptual rendering intent.
    const std::uint8_t intent = 0;
    PutChunk(file, "sRGB", &intent, 1);
    if (s.type == kPalette) {
        Bytes plte, trns;
        const QVector<QRgb> colours = s.image.colorTable();
        for (int i = 0; i < s.paletteSize; ++i) {
            const QRgb c = i < colours.size() ? colours[i] : qRgb(0, 0, 0);
            plte.insert(plte.end(),
                        {std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c))});
            trns.push_back(std::uint8_t(qAlpha(c)));
        }
        PutChunk(file, "PLTE", plte.data(), plte.size());
        // Only up to the last entry that is not opaque.
        while (!trns.empty() && trns.back() == 255)
            trns.pop_back();
        if (!trns.empty())
            PutChunk(file, "tRNS", trns.data(), trns.size());
    }
    const int dpmX = s.image.dotsPerMeterX(), dpmY = s.image.dotsPerMeterY();
    if (dpmX > 0 && dpmY > 0) {
        Bytes phys;
        PutBe32(phys, std::uint32_t(dpmX));
        PutBe32(phys, std::uint32_t(dpmY));
        phys.push_back(1); // per metre
        PutChunk(file, "pHYs", phys.data(), phys.size());
    }
}

int ChooseThreads(const PngWriteOptions& options, std::size_t filteredBytes) {
    if (options.threads > 0)
        return options.threads;
    if (filteredBytes < kMinSplitBytes)
        return 1;
    return ScopedPictureJob::SpareThreads();
}

} // namespace

void FilterPngRow(const std::uint8_t* cur, const std::uint8_t* up, std::size_t n, int bpp,
                  std::uint8_t* out) {
    FilterRow(cur, up, n, bpp, true, out);
}

QByteArray EncodePng(const QImage& image, const PngWriteOptions& options, QString* error) {
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return QByteArray();
    };
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return fail(QStringLiteral("there is no picture to save"));
    const ScopedPictureJob job;
    try {
        const Source s = Prepare(image);
        if (s.image.isNull())
            return fail(QStringLiteral("not enough memory to convert the picture"));
        const std::size_t rowBytes = std::size_t(s.image.width()) * std::size_t(s.channels);
        const std::size_t filteredBytes = (rowBytes + 1) * std::size_t(s.image.height());
        Bytes filtered(filteredBytes);

        const int threads = ChooseThreads(options, filteredBytes);
        std::vector<Part> parts =
            SplitRows(s.image.height(), options.parts > 0 ? options.parts : threads);
        std::atomic<std::size_t> next{0};
        const auto work = [&] {
            for (std::size_t i = next++; i < parts.size(); i = next++)
                MakePart(s, parts[i],
                         filtered.data() + std::size_t(parts[i].firstRow) * (rowBytes + 1),
                         rowBytes);
        };
        std::vector<std::thread> helpers;
        for (int i = 1; i < std::min(threads, int(parts.size())); ++i)
            helpers.emplace_back(work);
        work();
        for (std::thread& t : helpers)
            t.join();

        // One zlib stream: header, the parts' deflate data in order, the combined checksum.
        Bytes stream(std::begin(kZlibStreamHeader), std::end(kZlibStreamHeader));
        std::uint32_t adler = 1;
        std::size_t total = 2 + 4;
        for (const Part& p : parts) {
            if (!p.ok)
                return fail(QStringLiteral("the picture could not be compressed"));
            total += p.compressed.size();
        }
        stream.reserve(total);
        for (Part& p : parts) {
            stream.insert(stream.end(), p.compressed.begin(), p.compressed.end());
            adler = JoinAdler32(adler, p.adler, p.length);
            Bytes().swap(p.compressed);
        }
        PutBe32(stream, adler);
        Bytes().swap(filtered);

        QByteArray file;
        file.reserve(qsizetype(stream.size() + stream.size() / kMaxChunk * 12 + 1024));
        static const char kSignature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1A', '\n'};
        file.append(kSignature, 8);
        PutHeaderChunks(file, s);
        for (std::size_t at = 0; at < stream.size(); at += kMaxChunk)
            PutChunk(file, "IDAT", stream.data() + at, std::min(kMaxChunk, stream.size() - at));
        PutChunk(file, "IEND", nullptr, 0);
        return file;
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("not enough memory for a %1 x %2 PNG picture")
                        .arg(image.width())
                        .arg(image.height()));
    }
}

} // namespace mosaiq
