// The PNG band writer: 8-bit RGB rows filtered adaptively as they come and deflated by zlib into
// IDAT chunks of up to 1 MiB; the sRGB chunk marks the colours, pHYs carries the resolution.
#include "imaging/BandWriter.h"

#include "imaging/PngWriter.h"
#include "imaging/ReplacingFile.h"

#include <QtEndian>

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace mosaiq {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Faster than zlib's default for pictures of hundreds of megabytes, a few per cent larger.
constexpr int kLevel = 3;
constexpr std::size_t kChunkBytes = std::size_t(1) << 20;
constexpr int kBpp = 3;

class PngBandWriter final : public BandWriter {
public:
    ~PngBandWriter() override {
        if (m_deflating)
            deflateEnd(&m_z);
    }

    bool Begin(const QString& path, QSize size, int dpi) override {
        m_file = std::make_unique<ReplacingFile>(path);
        if (!m_file->Open()) {
            m_error = m_file->ErrorString();
            return false;
        }
        m_size = size;
        if (deflateInit(&m_z, kLevel) != Z_OK) {
            m_error = QStringLiteral("not enough memory for the PNG compressor");
            return false;
        }
        m_deflating = true;
        const std::size_t rowBytes = std::size_t(size.width()) * kBpp;
        m_up.assign(rowBytes + kBpp, 0);
        m_cur.assign(rowBytes + kBpp, 0);
        m_filtered.resize(rowBytes + 1);
        m_out.resize(kChunkBytes);

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
            FilterPngRow(m_cur.data() + kBpp, m_up.data() + kBpp, m_cur.size() - kBpp, kBpp,
                         m_filtered.data());
            std::swap(m_cur, m_up);
            if (!Deflate(m_filtered.data(), m_filtered.size(), Z_NO_FLUSH))
                return false;
        }
        return true;
    }

    bool Finish() override {
        if (m_row != m_size.height()) {
            m_error = QStringLiteral("the picture was not complete");
            return false;
        }
        if (!Deflate(nullptr, 0, Z_FINISH) || !Chunk("IEND", nullptr, 0))
            return false;
        if (!m_file->Commit()) {
            m_error = m_file->ErrorString();
            return false;
        }
        return true;
    }

private:
    bool Deflate(const std::uint8_t* data, std::size_t size, int flush) {
        m_z.next_in = const_cast<Bytef*>(data);
        m_z.avail_in = uInt(size);
        for (;;) {
            m_z.next_out = m_out.data() + m_outUsed;
            m_z.avail_out = uInt(m_out.size() - m_outUsed);
            const int status = deflate(&m_z, flush);
            if (status == Z_STREAM_ERROR) {
                m_error = QStringLiteral("the PNG data could not be compressed");
                return false;
            }
            m_outUsed = m_out.size() - m_z.avail_out;
            const bool full = m_z.avail_out == 0;
            const bool ended = status == Z_STREAM_END;
            if ((full || ended) && m_outUsed > 0) {
                if (!Chunk("IDAT", m_out.data(), m_outUsed))
                    return false;
                m_outUsed = 0;
            }
            if (ended || (flush == Z_NO_FLUSH && m_z.avail_in == 0 && !full))
                return true;
        }
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
    z_stream m_z{};
    bool m_deflating = false;
    Bytes m_up, m_cur, m_filtered, m_out;
    std::size_t m_outUsed = 0;
    int m_row = 0;
};

} // namespace

std::unique_ptr<BandWriter> MakePngBandWriter() {
    return std::make_unique<PngBandWriter>();
}

} // namespace mosaiq
