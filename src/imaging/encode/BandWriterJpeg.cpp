// The JPEG band writer: libjpeg-turbo compresses the rows as they come, reading Qt's 32-bit
// pixels directly (BGRX byte order on little-endian machines), at quality 90 as every export.
#include "imaging/encode/BandWriter.h"

#include "core/text/DisplayText.h"
#include "imaging/files/ReplacingFile.h"

#include <QtEndian>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace mosaiq {
namespace {

constexpr int kQuality = 90;
constexpr std::size_t kBufferBytes = 1 << 16;

struct JumpingErrors {
    jpeg_error_mgr base;
    std::jmp_buf returnPoint;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void ExitToBandWriter(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JumpingErrors*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->returnPoint, 1);
}

// The destination: a 64 KiB buffer emptied into the replacing file. A failed write is kept in
// failed and the rest of the data dropped; Finish reports it.
struct Destination {
    jpeg_destination_mgr base;
    QIODevice* device = nullptr;
    std::vector<JOCTET> buffer;
    bool failed = false;

    void Write(std::size_t size) {
        if (!failed && device->write(reinterpret_cast<const char*>(buffer.data()), qint64(size)) !=
                           qint64(size))
            failed = true;
    }
};

extern "C" void InitDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    d->base.next_output_byte = d->buffer.data();
    d->base.free_in_buffer = d->buffer.size();
}

extern "C" boolean EmptyBuffer(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    d->Write(d->buffer.size());
    d->base.next_output_byte = d->buffer.data();
    d->base.free_in_buffer = d->buffer.size();
    return TRUE;
}

extern "C" void TermDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    d->Write(d->buffer.size() - d->base.free_in_buffer);
}

class JpegBandWriter final : public BandWriter {
public:
    ~JpegBandWriter() override {
        if (m_created)
            jpeg_destroy_compress(&m_cinfo);
    }

    bool Begin(const QString& path, QSize size, int dpi) override {
        m_file = std::make_unique<ReplacingFile>(path);
        if (!m_file->Open()) {
            m_error = m_file->ErrorString();
            return false;
        }
        m_destination.device = m_file->Device();
        m_destination.buffer.resize(kBufferBytes);
        m_destination.base.init_destination = InitDestination;
        m_destination.base.empty_output_buffer = EmptyBuffer;
        m_destination.base.term_destination = TermDestination;
        return Start(size.width(), size.height(), dpi) || Failed();
    }

    bool WriteBand(const QImage& band) override {
        if (m_created && m_cinfo.next_scanline + JDIMENSION(band.height()) > m_cinfo.image_height) {
            m_error = QStringLiteral("more rows than the picture has");
            return false;
        }
        if (!Rows(band))
            return Failed();
        return !m_destination.failed || Failed();
    }

    bool Finish() override {
        if (!End())
            return Failed();
        if (m_destination.failed)
            return Failed();
        if (!m_file->Commit()) {
            m_error = m_file->ErrorString();
            return false;
        }
        return true;
    }

private:
    bool Failed() {
        if (m_errors.message[0] != '\0')
            m_error = QStringLiteral("JPEG: %1")
                          .arg(LibraryMessage(QString::fromLocal8Bit(m_errors.message)));
        else if (m_destination.failed)
            m_error = m_destination.device->errorString();
        else
            m_error = QStringLiteral("the JPEG file could not be written");
        return false;
    }

    // Each libjpeg call runs in a frame of plain data, so a jump back skips no destructor.
    bool Start(int width, int height, int dpi) {
        m_cinfo.err = jpeg_std_error(&m_errors.base);
        m_errors.base.error_exit = ExitToBandWriter;
        m_errors.message[0] = '\0';
        if (setjmp(m_errors.returnPoint))
            return false;
        jpeg_CreateCompress(&m_cinfo, JPEG_LIB_VERSION, sizeof(m_cinfo));
        m_created = true;
        m_cinfo.dest = &m_destination.base;
        m_cinfo.image_width = JDIMENSION(width);
        m_cinfo.image_height = JDIMENSION(height);
        m_cinfo.input_components = 4;
        m_cinfo.in_color_space =
            QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRX : JCS_EXT_XRGB;
        jpeg_set_defaults(&m_cinfo);
        jpeg_set_quality(&m_cinfo, kQuality, TRUE);
        if (dpi > 0) {
            m_cinfo.write_JFIF_header = TRUE;
            m_cinfo.density_unit = 1; // dots per inch
            m_cinfo.X_density = UINT16(dpi);
            m_cinfo.Y_density = UINT16(dpi);
        }
        jpeg_start_compress(&m_cinfo, TRUE);
        return true;
    }

    bool Rows(const QImage& band) {
        if (setjmp(m_errors.returnPoint))
            return false;
        for (int y = 0; y < band.height() && m_cinfo.next_scanline < m_cinfo.image_height; ++y) {
            JSAMPROW row = const_cast<JSAMPROW>(band.constScanLine(y));
            jpeg_write_scanlines(&m_cinfo, &row, 1);
        }
        return true;
    }

    bool End() {
        if (setjmp(m_errors.returnPoint))
            return false;
        if (m_cinfo.next_scanline < m_cinfo.image_height) {
            std::snprintf(m_errors.message, sizeof m_errors.message, "%s",
                          "the picture was not complete");
            return false;
        }
        jpeg_finish_compress(&m_cinfo);
        return true;
    }

    jpeg_compress_struct m_cinfo{};
    JumpingErrors m_errors{};
    Destination m_destination;
    std::unique_ptr<ReplacingFile> m_file;
    bool m_created = false;
};

} // namespace

std::unique_ptr<BandWriter> MakeJpegBandWriter() {
    return std::make_unique<JpegBandWriter>();
}

} // namespace mosaiq
