// The PNG band writer: 8-bit RGB rows filtered adaptively as they come, gathered into parts of a
// few megabytes that are deflated on the cores the other picture jobs leave while the next rows
// are drawn (DeflateParts.h: the parts join into one zlib stream, the same however many threads
// made it), and written in order as IDAT chunks of up to 1 MiB; the sRGB chunk marks the colours,
// pHYs carries the resolution.
#include "imaging/encode/BandWriter.h"

#include "imaging/encode/DeflateParts.h"
#include "imaging/files/PictureJob.h"
#include "imaging/encode/PngWriter.h"
#include "imaging/files/ReplacingFile.h"

#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <new>
#include <system_error>
#include <vector>

namespace mosaiq {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kChunkBytes = std::size_t(1) << 20;
// Filtered bytes per part: large enough that restarting the compressor's history costs nothing
// measurable, small enough that a few parts in flight stay a few tens of megabytes.
constexpr std::size_t kPartBytes = std::size_t(4) << 20;
constexpr int kBpp = 3;
constexpr int kMostThreads = 8;

// One part: its filtered rows in, its deflate data and checksum out.
struct Part {
    Bytes input;
    Bytes output;
    std::uint32_t adler = 1;
    std::size_t length = 0;
    bool last = false;
    bool ok = false;

    void Compress() {
        try {
            length = input.size();
            adler = PartAdler32(input.data(), length);
            ok = last ? DeflateLastPart(input.data(), length, output)
                      : DeflateJoinablePart(input.data(), length, output);
        } catch (const std::bad_alloc&) {
            ok = false;
        }
        Bytes().swap(input);
    }
};

class PngBandWriter final : public BandWriter {
public:
    ~PngBandWriter() override {
        // Parts still being compressed finish before what they read and write goes away.
        for (InFlight& f : m_inFlight)
            if (f.done.valid())
                f.done.wait();
    }

    bool Begin(const QString& path, QSize size, int dpi) override {
        m_file = std::make_unique<ReplacingFile>(path);
        if (!m_file->Open()) {
            m_error = m_file->ErrorString();
            return false;
        }
        m_size = size;
        // At most eight parts in flight: a few tens of megabytes on any machine.
        m_threads = std::min(ScopedPictureJob::SpareThreads(), kMostThreads);
        const std::size_t rowBytes = std::size_t(size.width()) * kBpp;
        m_up.assign(rowBytes + kBpp, 0);
        m_cur.assign(rowBytes + kBpp, 0);
        m_part.reserve(kPartBytes + rowBytes + 1);
        m_out.reserve(kChunkBytes + 8);
        m_out.insert(m_out.end(), std::begin(kZlibStreamHeader), std::end(kZlibStreamHeader));

        static const char kSignature[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1A', '\n'};
        if (!Put(kSignature, 8))
            return false;
        std::uint8_t ihdr[13] = {};
        qToBigEndian<std::uint32_t>(std::uint32_t(size.width()), ihdr);
        qToBigEndian<std::uint32_t>(std::uint32_t(size.height()), ihdr + 4);
        ihdr[8] = 8; // bits per channel
        ihdr[9] = 2; // RGB
        if (!Chunk("IHDR", ihdr, sizeof ihdr))
            return false;
        // Pictures are drawn in sRGB (decoded photos are converted to it), as the one-piece
        // writer says too; perceptual intent.
        const std::uint8_t intent = 0;
        if (!Chunk("sRGB", &intent, 1))
            return false;
        if (dpi > 0) {
            std::uint8_t phys[9] = {};
            qToBigEndian<std::uint32_t>(std::uint32_t(DotsPerMetre(dpi)), phys);
            qToBigEndian<std::uint32_t>(std::uint32_t(DotsPerMetre(dpi)), phys + 4);
            phys[8] = 1; // per metre
            if (!Chunk("pHYs", phys, sizeof phys))
                return false;
        }
        return true;
    }

    bool WriteBand(const QImage& band) override {
        const std::size_t rowBytes = m_cur.size() - kBpp;
        for (int y = 0; y < band.height(); ++y, ++m_row) {
            if (m_row >= m_size.height()) {
                m_error = QStringLiteral("more rows than the picture has");
                return false;
            }
            const auto* in = reinterpret_cast<const QRgb*>(band.constScanLine(y));
            std::uint8_t* row = m_cur.data() + kBpp;
            for (int x = 0; x < m_size.width(); ++x, row += 3) {
                row[0] = std::uint8_t(qRed(in[x]));
                row[1] = std::uint8_t(qGreen(in[x]));
                row[2] = std::uint8_t(qBlue(in[x]));
            }
            const std::size_t at = m_part.size();
            m_part.resize(at + rowBytes + 1);
            FilterPngRow(m_cur.data() + kBpp, m_up.data() + kBpp, rowBytes, kBpp,
                         m_part.data() + at);
            std::swap(m_cur, m_up);
            if (m_part.size() >= kPartBytes && !Submit(false))
                return false;
        }
        return true;
    }

    bool Finish() override {
        if (m_row != m_size.height()) {
            m_error = QStringLiteral("the picture was not complete");
            return false;
        }
        if (!Submit(true))
            return false;
        while (!m_inFlight.empty())
            if (!WriteOldest())
                return false;
        std::uint8_t adler[4];
        qToBigEndian<std::uint32_t>(m_adler, adler);
        m_out.insert(m_out.end(), adler, adler + 4);
        if (!FlushChunks(true) || !Chunk("IEND", nullptr, 0))
            return false;
        if (!m_file->Commit()) {
            m_error = m_file->ErrorString();
            return false;
        }
        return true;
    }

private:
    struct InFlight {
        std::unique_ptr<Part> part;
        std::future<void> done; // invalid when the part was compressed on this thread
    };

    // Hands the rows gathered so far to a compressing thread, first writing out the oldest part
    // when as many are in flight as there are threads to spare.
    bool Submit(bool last) {
        auto part = std::make_unique<Part>();
        part->input.swap(m_part);
        part->last = last;
        m_part.reserve(part->input.capacity());
        while (int(m_inFlight.size()) >= m_threads)
            if (!WriteOldest())
                return false;
        InFlight flight;
        if (m_threads > 1) {
            try {
                Part* p = part.get();
                flight.done = std::async(std::launch::async, [p] { p->Compress(); });
            } catch (const std::system_error&) {
                // No thread to be had: compressed here instead.
            }
        }
        if (!flight.done.valid())
            part->Compress();
        flight.part = std::move(part);
        m_inFlight.push_back(std::move(flight));
        return m_threads > 1 || WriteOldest();
    }

    // Waits for the oldest part and writes its deflate data.
    bool WriteOldest() {
        InFlight flight = std::move(m_inFlight.front());
        m_inFlight.pop_front();
        if (flight.done.valid())
            flight.done.get();
        const Part& part = *flight.part;
        if (!part.ok) {
            m_error = QStringLiteral("the PNG data could not be compressed");
            return false;
        }
        m_adler = JoinAdler32(m_adler, part.adler, part.length);
        m_out.insert(m_out.end(), part.output.begin(), part.output.end());
        return FlushChunks(false);
    }

    // Writes the stream gathered so far as IDAT chunks of kChunkBytes; with all, the rest too.
    bool FlushChunks(bool all) {
        std::size_t at = 0;
        while (m_out.size() - at >= kChunkBytes || (all && at < m_out.size())) {
            const std::size_t n = std::min(kChunkBytes, m_out.size() - at);
            if (!Chunk("IDAT", m_out.data() + at, n))
                return false;
            at += n;
        }
        m_out.erase(m_out.begin(), m_out.begin() + std::ptrdiff_t(at));
        return true;
    }

    bool Chunk(const char type[4], const std::uint8_t* data, std::size_t size) {
        std::uint8_t head[8];
        qToBigEndian<std::uint32_t>(std::uint32_t(size), head);
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
        if (size > 0)
            crc = crc32(crc, data, uInt(size));
        std::uint8_t tail[4];
        qToBigEndian<std::uint32_t>(std::uint32_t(crc), tail);
        return Put(head, 8) && (size == 0 || Put(data, size)) && Put(tail, 4);
    }

    bool Put(const void* data, std::size_t size) {
        QIODevice* device = m_file->Device();
        if (device->write(static_cast<const char*>(data), qint64(size)) != qint64(size)) {
            m_error = device->errorString();
            return false;
        }
        return true;
    }

    std::unique_ptr<ReplacingFile> m_file;
    QSize m_size;
    int m_threads = 1;
    Bytes m_up, m_cur;
    Bytes m_part;                   // filtered rows not yet handed to a compressor
    std::deque<InFlight> m_inFlight; // oldest first
    Bytes m_out;                    // the stream not yet written as chunks
    std::uint32_t m_adler = 1;
    int m_row = 0;
};

} // namespace

std::unique_ptr<BandWriter> MakePngBandWriter() {
    return std::make_unique<PngBandWriter>();
}

} // namespace mosaiq
