#include "imaging/encode/BandWriter.h"

#include "imaging/files/ReplacingFile.h"

#include <QtEndian>

#include <cmath>
#include <cstdint>
#include <vector>

namespace mosaiq {
namespace {

// 24-bit BMP, bottom-up as readers expect: the file's size is known from the header, so each band
// is written at its own offset as it arrives.
class BmpBandWriter final : public BandWriter {
public:
    bool Begin(const QString& path, QSize size, int dpi) override {
        m_file = std::make_unique<ReplacingFile>(path);
        if (!m_file->Open()) {
            m_error = m_file->ErrorString();
            return false;
        }
        m_size = size;
        m_stride = (std::int64_t(size.width()) * 3 + 3) / 4 * 4;
        const std::int64_t pixelBytes = m_stride * size.height();
        if (pixelBytes + kHeaderBytes > std::int64_t(UINT32_MAX)) {
            m_error = QStringLiteral("a BMP file cannot hold %1 x %2 pixels")
                          .arg(size.width())
                          .arg(size.height());
            return false;
        }
        const std::uint32_t dpm = std::uint32_t(DotsPerMetre(dpi));
        std::uint8_t header[kHeaderBytes] = {'B', 'M'};
        qToLittleEndian<std::uint32_t>(std::uint32_t(kHeaderBytes + pixelBytes), header + 2);
        qToLittleEndian<std::uint32_t>(kHeaderBytes, header + 10);
        qToLittleEndian<std::uint32_t>(40, header + 14);
        qToLittleEndian<std::int32_t>(size.width(), header + 18);
        qToLittleEndian<std::int32_t>(size.height(), header + 22);
        qToLittleEndian<std::uint16_t>(1, header + 26);
        qToLittleEndian<std::uint16_t>(24, header + 28);
        qToLittleEndian<std::uint32_t>(std::uint32_t(pixelBytes), header + 34);
        qToLittleEndian<std::uint32_t>(dpm, header + 38);
        qToLittleEndian<std::uint32_t>(dpm, header + 42);
        return Put(0, header, kHeaderBytes);
    }

    bool WriteBand(const QImage& band) override {
        std::vector<std::uint8_t> row(std::size_t(m_stride), 0);
        for (int y = 0; y < band.height(); ++y, ++m_row) {
            if (m_row >= m_size.height()) {
                m_error = QStringLiteral("more rows than the picture has");
                return false;
            }
            const auto* in = reinterpret_cast<const QRgb*>(band.constScanLine(y));
            for (int x = 0; x < m_size.width(); ++x) {
                row[std::size_t(x) * 3] = std::uint8_t(qBlue(in[x]));
                row[std::size_t(x) * 3 + 1] = std::uint8_t(qGreen(in[x]));
                row[std::size_t(x) * 3 + 2] = std::uint8_t(qRed(in[x]));
            }
            const std::int64_t at = kHeaderBytes + m_stride * (m_size.height() - 1 - m_row);
            if (!Put(at, row.data(), m_stride))
                return false;
        }
        return true;
    }

    bool Finish() override {
        if (m_row != m_size.height()) {
            m_error = QStringLiteral("the picture was not complete");
            return false;
        }
        if (!m_file->Commit()) {
            m_error = m_file->ErrorString();
            return false;
        }
        return true;
    }

private:
    static constexpr int kHeaderBytes = 54;

    bool Put(std::int64_t at, const std::uint8_t* data, std::int64_t size) {
        QIODevice* device = m_file->Device();
        if (!device->seek(at) || device->write(reinterpret_cast<const char*>(data), size) != size) {
            m_error = device->errorString();
            return false;
        }
        return true;
    }

    std::unique_ptr<ReplacingFile> m_file;
    QSize m_size;
    std::int64_t m_stride = 0;
    int m_row = 0;
};

} // namespace

int DotsPerMetre(int dpi) {
    return dpi > 0 ? int(std::lround(double(dpi) / 0.0254)) : 0;
}

std::unique_ptr<BandWriter> MakeBmpBandWriter() {
    return std::make_unique<BmpBandWriter>();
}

std::unique_ptr<BandWriter> MakeBandWriter(const QString& extension) {
    const QString e = extension.toLower();
    if (e == QLatin1String("jpg") || e == QLatin1String("jpeg"))
        return MakeJpegBandWriter();
    if (e == QLatin1String("png"))
        return MakePngBandWriter();
    if (e == QLatin1String("tif") || e == QLatin1String("tiff"))
        return MakeTiffBandWriter();
    if (e == QLatin1String("bmp"))
        return MakeBmpBandWriter();
    return nullptr;
}

} // namespace mosaiq
