// The TIFF band writer: libtiff writes 8-bit RGB strips with LZW and the horizontal predictor as
// the rows come, through procedures over the replacing file; the resolution tags carry the dpi.
#include "imaging/encode/BandWriter.h"

#include "imaging/files/ReplacingFile.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace mosaiq {
namespace {

// Strips of about 64 KiB of pixels, as readers prefer.
constexpr std::int64_t kStripBytes = 1 << 16;

QIODevice* DeviceOf(thandle_t handle) {
    return static_cast<QIODevice*>(handle);
}

extern "C" tmsize_t ReadProc(thandle_t h, void* data, tmsize_t size) {
    return tmsize_t(DeviceOf(h)->read(static_cast<char*>(data), qint64(size)));
}
extern "C" tmsize_t WriteProc(thandle_t h, void* data, tmsize_t size) {
    return tmsize_t(DeviceOf(h)->write(static_cast<const char*>(data), qint64(size)));
}
extern "C" toff_t SeekProc(thandle_t h, toff_t offset, int whence) {
    QIODevice* d = DeviceOf(h);
    qint64 base = 0;
    if (whence == SEEK_CUR)
        base = d->pos();
    else if (whence == SEEK_END)
        base = d->size();
    const qint64 target = base + qint64(offset);
    return d->seek(target) ? toff_t(target) : toff_t(-1);
}
extern "C" int CloseProc(thandle_t) {
    return 0; // the replacing file closes itself
}
extern "C" toff_t SizeProc(thandle_t h) {
    return toff_t(DeviceOf(h)->size());
}
extern "C" int MapProc(thandle_t, void**, toff_t*) {
    return 0;
}
extern "C" void UnmapProc(thandle_t, void*, toff_t) {}

// libtiff reports through process-wide handlers; the writer collects the last message.
thread_local QString t_lastTiffError;
extern "C" void CollectError(const char*, const char* format, va_list args) {
    char message[512];
    std::vsnprintf(message, sizeof message, format, args);
    t_lastTiffError = QString::fromLocal8Bit(message);
}

class TiffBandWriter final : public BandWriter {
public:
    ~TiffBandWriter() override {
        if (m_tiff)
            TIFFClose(m_tiff);
        if (m_handlersSet) {
            TIFFSetErrorHandler(m_previousError);
            TIFFSetWarningHandler(m_previousWarning);
        }
    }

    bool Begin(const QString& path, QSize size, int dpi) override {
        m_file = std::make_unique<ReplacingFile>(path);
        if (!m_file->Open()) {
            m_error = m_file->ErrorString();
            return false;
        }
        // libtiff's handlers are the process's: ours while this file is written, then the
        // earlier ones again.
        m_previousError = TIFFSetErrorHandler(CollectError);
        m_previousWarning = TIFFSetWarningHandler(nullptr);
        m_handlersSet = true;
        t_lastTiffError.clear();
        const bool big = std::int64_t(size.width()) * size.height() * 3 > (std::int64_t(1) << 31);
        m_tiff = TIFFClientOpen("collage", big ? "w8" : "w", m_file->Device(), ReadProc, WriteProc,
                                SeekProc, CloseProc, SizeProc, MapProc, UnmapProc);
        if (!m_tiff)
            return Failed();
        m_size = size;
        const std::uint32_t rowsPerStrip = std::uint32_t(
            std::max<std::int64_t>(1, kStripBytes / (std::int64_t(size.width()) * 3)));
        TIFFSetField(m_tiff, TIFFTAG_IMAGEWIDTH, std::uint32_t(size.width()));
        TIFFSetField(m_tiff, TIFFTAG_IMAGELENGTH, std::uint32_t(size.height()));
        TIFFSetField(m_tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(m_tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(m_tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(m_tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(m_tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
        TIFFSetField(m_tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(m_tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
        TIFFSetField(m_tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
        if (dpi > 0) {
            TIFFSetField(m_tiff, TIFFTAG_XRESOLUTION, float(dpi));
            TIFFSetField(m_tiff, TIFFTAG_YRESOLUTION, float(dpi));
            TIFFSetField(m_tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        }
        m_row.resize(std::size_t(size.width()) * 3);
        return true;
    }

    bool WriteBand(const QImage& band) override {
        for (int y = 0; y < band.height(); ++y, ++m_next) {
            if (m_next >= m_size.height()) {
                m_error = QStringLiteral("more rows than the picture has");
                return false;
            }
            const auto* in = reinterpret_cast<const QRgb*>(band.constScanLine(y));
            std::uint8_t* out = m_row.data();
            for (int x = 0; x < m_size.width(); ++x, out += 3) {
                out[0] = std::uint8_t(qRed(in[x]));
                out[1] = std::uint8_t(qGreen(in[x]));
                out[2] = std::uint8_t(qBlue(in[x]));
            }
            if (TIFFWriteScanline(m_tiff, m_row.data(), std::uint32_t(m_next), 0) < 0)
                return Failed();
        }
        return true;
    }

    bool Finish() override {
        if (m_next != m_size.height()) {
            m_error = QStringLiteral("the picture was not complete");
            return false;
        }
        if (!TIFFFlush(m_tiff))
            return Failed();
        TIFFClose(m_tiff);
        m_tiff = nullptr;
        if (!m_file->Commit()) {
            m_error = m_file->ErrorString();
            return false;
        }
        return true;
    }

private:
    bool Failed() {
        m_error = t_lastTiffError.isEmpty() ? QStringLiteral("the TIFF file could not be written")
                                            : QStringLiteral("TIFF: %1").arg(t_lastTiffError);
        return false;
    }

    std::unique_ptr<ReplacingFile> m_file;
    TIFF* m_tiff = nullptr;
    TIFFErrorHandler m_previousError = nullptr;
    TIFFErrorHandler m_previousWarning = nullptr;
    bool m_handlersSet = false;
    QSize m_size;
    std::vector<std::uint8_t> m_row;
    int m_next = 0;
};

} // namespace

std::unique_ptr<BandWriter> MakeTiffBandWriter() {
    return std::make_unique<TiffBandWriter>();
}

} // namespace mosaiq
