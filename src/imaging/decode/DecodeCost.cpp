#include "imaging/decode/DecodeCost.h"

#include "imaging/decode/JpegStream.h"
#include "imaging/decode/PngStream.h"

namespace mosaiq {

namespace {
// A PNG whose filtered rows are more than this many times its file's size has its image data
// counted before it is decoded.
constexpr std::int64_t kPngCheckedRatio = 16;
} // namespace

bool DecodeCostBounded(const QByteArray& data, QString* reason) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const auto refuse = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (data.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
        const JpegStreamInfo jpeg = ScanJpegStream(bytes, data.size());
        if (jpeg.scans > kMaxJpegScans)
            return refuse(QStringLiteral("the JPEG picture holds %1 scans (at most %2 are read); "
                                         "it is damaged or made to be slow to decode")
                              .arg(jpeg.scans)
                              .arg(kMaxJpegScans));
        return true;
    }
    PngStreamInfo png = ScanPngStream(bytes, data.size(), false);
    // Ordinary pictures compress a few times at most; only a picture claiming far more than its
    // file holds is inflated ahead of the decoder, so photos are not read twice.
    if (!png.isPng || png.neededBytes <= kPngCheckedRatio * data.size())
        return true;
    png = ScanPngStream(bytes, data.size(), true);
    if (!png.imageDataComplete)
        return refuse(QStringLiteral("the PNG picture is damaged: its image data holds %1 of the "
                                     "%2 bytes a picture of %3 x %4 needs")
                          .arg(png.inflatedBytes)
                          .arg(png.neededBytes)
                          .arg(png.width)
                          .arg(png.height));
    return true;
}

} // namespace mosaiq
