#include "imaging/decode/AvifSequence.h"

#include "core/text/DisplayText.h"
#include "imaging/colour/ColourProfile.h"
#include "imaging/files/DecodeBudget.h"
#include "imaging/files/PictureLimits.h"

#include <avif/avif.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace mosaiq {

namespace {

struct DecoderFree {
    void operator()(avifDecoder* d) const { avifDecoderDestroy(d); }
};

QString ErrorText(avifResult result) {
    return QStringLiteral("the AVIF sequence cannot be read (%1)")
        .arg(LibraryMessage(avifResultToString(result)));
}

// The frame's colours: its ICC profile, or one made from its coded primaries and transfer.
QByteArray FrameProfile(const avifImage* image) {
    if (image->icc.size > 0 && image->icc.size <= size_t(8 << 20))
        return QByteArray(reinterpret_cast<const char*>(image->icc.data),
                          qsizetype(image->icc.size));
    CodedColour colour;
    colour.primaries = int(image->colorPrimaries);
    colour.transfer = int(image->transferCharacteristics);
    float values[8] = {};
    avifColorPrimariesGetValues(image->colorPrimaries, values);
    std::memcpy(colour.red, values, sizeof colour.red);
    std::memcpy(colour.green, values + 2, sizeof colour.green);
    std::memcpy(colour.blue, values + 4, sizeof colour.blue);
    std::memcpy(colour.white, values + 6, sizeof colour.white);
    return ProfileFromCodedColour(colour);
}

} // namespace

bool LooksLikeAvifSequence(const QByteArray& data) {
    if (data.size() < 16 || std::memcmp(data.constData() + 4, "ftyp", 4) != 0)
        return false;
    const quint32 box = (quint32(uchar(data[0])) << 24) | (quint32(uchar(data[1])) << 16) |
                        (quint32(uchar(data[2])) << 8) | quint32(uchar(data[3]));
    const qsizetype end = std::min<qsizetype>(data.size(), box < 16 ? 16 : qsizetype(box));
    for (qsizetype at = 8; at + 4 <= end; at += at == 8 ? 8 : 4)
        if (std::memcmp(data.constData() + at, "avis", 4) == 0)
            return true;
    return false;
}

HeifPicture ReadAvifSequence(const QByteArray& data, bool sizeOnly) {
    HeifPicture result;
    std::unique_ptr<avifDecoder, DecoderFree> decoder(avifDecoderCreate());
    if (!decoder) {
        result.error = QStringLiteral("the AVIF reader cannot start");
        return result;
    }
    decoder->maxThreads = 1;
    decoder->imageSizeLimit = uint32_t(kMaxPicturePixels);
    decoder->imageDimensionLimit = uint32_t(kMaxPictureSide);
    decoder->ignoreXMP = AVIF_TRUE;
    // Sequences written by ordinary encoders lack some of the boxes strict reading asks for.
    decoder->strictFlags = AVIF_STRICT_DISABLED;
    avifResult r = avifDecoderSetIOMemory(
        decoder.get(), reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
    if (r == AVIF_RESULT_OK)
        r = avifDecoderParse(decoder.get());
    if (r != AVIF_RESULT_OK) {
        result.error = ErrorText(r);
        return result;
    }
    const QSize size(int(decoder->image->width), int(decoder->image->height));
    if (!PictureSizeAllowed(size, &result.error) ||
        (!sizeOnly && !WithinBudget(size, kWholePictureBudget, &result.error)))
        return result;
    result.fullSize = size;
    if (sizeOnly)
        return result;
    r = avifDecoderNextImage(decoder.get());
    if (r != AVIF_RESULT_OK) {
        result.error = ErrorText(r);
        result.fullSize = QSize();
        return result;
    }
    const avifImage* frame = decoder->image;
    const QSize frameSize(int(frame->width), int(frame->height));
    if (!PictureSizeAllowed(frameSize, &result.error)) {
        result.fullSize = QSize();
        return result;
    }
    const bool alpha = frame->alphaPlane != nullptr;
    QImage image(frameSize, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) {
        result.error = QStringLiteral("not enough memory for %1 x %2 pixels")
                           .arg(frameSize.width())
                           .arg(frameSize.height());
        result.fullSize = QSize();
        return result;
    }
    if (!alpha)
        image.fill(0xFF000000u); // RGB32's fourth byte stays 0xFF where the alpha is ignored
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, frame);
    // QImage's 32-bit pixels are B, G, R, A bytes in memory on little-endian machines.
    rgb.format =
        QSysInfo::ByteOrder == QSysInfo::LittleEndian ? AVIF_RGB_FORMAT_BGRA : AVIF_RGB_FORMAT_ARGB;
    rgb.depth = 8;
    rgb.ignoreAlpha = alpha ? AVIF_FALSE : AVIF_TRUE;
    rgb.pixels = image.bits();
    rgb.rowBytes = uint32_t(image.bytesPerLine());
    r = avifImageYUVToRGB(frame, &rgb);
    if (r != AVIF_RESULT_OK) {
        result.error = ErrorText(r);
        result.fullSize = QSize();
        return result;
    }
    result.fullSize = frameSize;
    result.image = std::move(image);
    result.colourProfile = FrameProfile(frame);
    return result;
}

} // namespace mosaiq
