#include "imaging/encode/JpegCompressor.h"

#include "core/Notifier.h"
#include "core/text/DisplayText.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace mosaiq {

namespace {

struct JumpingErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf returnPoint;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg's default error exit ends the process; this one formats the message and jumps back to
// the compressor, which reports it and returns nothing.
extern "C" void ExitToCompressor(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->returnPoint, 1);
}

// Only plain C data lives in this frame, so the jump back from libjpeg skips no destructor.
// Returns true with the output in *out / *outSize (malloc'ed by libjpeg), or false with the
// library's message in errors->message.
bool Compress(JumpingErrorManager* errors, const unsigned char* rows, int width, int height,
              int components, int quality, unsigned char** out, unsigned long* outSize) {
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&errors->base);
    errors->base.error_exit = ExitToCompressor;
    if (setjmp(errors->returnPoint)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_CreateCompress(&cinfo, JPEG_LIB_VERSION, sizeof(cinfo));
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t stride = size_t(width) * size_t(components);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rows + size_t(cinfo.next_scanline) * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

static_assert(JPEG_LIB_VERSION == 62,
              "the thumbnail compressor is built against the libjpeg 6b API");

QByteArray CompressJpegToMemory(const unsigned char* pixels, int width, int height, int quality,
                                bool colour) {
    if (!pixels || width <= 0 || height <= 0)
        return QByteArray();
    std::vector<unsigned char> grey;
    if (!colour) {
        grey.resize(size_t(width) * size_t(height));
        for (size_t i = 0; i < grey.size(); ++i) {
            const unsigned char* p = pixels + 3 * i;
            grey[i] = static_cast<unsigned char>(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]);
        }
    }
    JumpingErrorManager errors{};
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const bool ok = Compress(&errors, colour ? pixels : grey.data(), width, height, colour ? 3 : 1,
                             quality, &out, &outSize);
    QByteArray result;
    if (ok && out)
        result = QByteArray(reinterpret_cast<const char*>(out), qsizetype(outSize));
    std::free(out);
    if (!ok)
        Warn(QStringLiteral("JPEG Fatal Error: %1")
                 .arg(LibraryMessage(QString::fromLocal8Bit(errors.message))));
    return result;
}

} // namespace mosaiq
