#include "imaging/decode/WebpReader.h"

#include <webp/decode.h>

#include <cstring>

namespace mosaiq {

bool LooksLikeWebp(const QByteArray& data) {
    return data.size() >= 12 && std::memcmp(data.constData(), "RIFF", 4) == 0 &&
           std::memcmp(data.constData() + 8, "WEBP", 4) == 0;
}

WebpPicture ReadWebpHeader(const QByteArray& data) {
    WebpPicture picture;
    WebPBitstreamFeatures features;
    const VP8StatusCode status = WebPGetFeatures(reinterpret_cast<const uint8_t*>(data.constData()),
                                                 size_t(data.size()), &features);
    if (status != VP8_STATUS_OK) {
        picture.error = QStringLiteral("the WebP picture is damaged or cut short");
        return picture;
    }
    picture.size = QSize(features.width, features.height);
    picture.still = !features.has_animation;
    return picture;
}

bool DecodeWebp(const QByteArray& data, WebpPicture* picture) {
    QImage image(picture->size, QImage::Format_ARGB32);
    if (image.isNull()) {
        picture->error = QStringLiteral("not enough memory for %1 x %2 pixels")
                             .arg(picture->size.width())
                             .arg(picture->size.height());
        return false;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.constData());
    const size_t room = size_t(image.sizeInBytes());
    const int stride = int(image.bytesPerLine());
    // ARGB32 holds B, G, R, A bytes in memory on little-endian machines, A, R, G, B on others.
    const uint8_t* done =
        QSysInfo::ByteOrder == QSysInfo::LittleEndian
            ? WebPDecodeBGRAInto(bytes, size_t(data.size()), image.bits(), room, stride)
            : WebPDecodeARGBInto(bytes, size_t(data.size()), image.bits(), room, stride);
    if (!done) {
        picture->error = QStringLiteral("the WebP picture is damaged or cut short");
        return false;
    }
    // The header's alpha flag is a hint: the pixels decide.
    bool opaque = true;
    for (int y = 0; y < image.height() && opaque; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 255) {
                opaque = false;
                break;
            }
    }
    if (opaque)
        image.reinterpretAsFormat(QImage::Format_RGB32);
    picture->image = std::move(image);
    return true;
}

} // namespace mosaiq
