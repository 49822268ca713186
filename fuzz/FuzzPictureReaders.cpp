// Untrusted picture bytes through the two-decoder rule (with its checks of the work a picture
// may cost), the HEIF reader, the orientation and colour profile scan, and the profile
// conversion. The first byte picks the extension the bytes are read as (and whether a reduced
// decode, or the picture as stored, is asked for); the rest is the file.
#include "imaging/colour/ColourProfile.h"
#include "imaging/decode/HeifReader.h"
#include "imaging/decode/JpegStream.h"
#include "imaging/decode/PictureDecoder.h"
#include "imaging/decode/PictureMetadata.h"
#include "imaging/decode/PngStream.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv); // image format plugins need an application
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    static const char* const kExtensions[] = {"jpg", "png", "gif",  "bmp",  "tif", "tga",
                                              "pcx", "ico", "wbmp", "wmf",  "emf", "jp2",
                                              "pgx", "pnm", "ras",  "xyz",  "heic", "avif",
                                              "webp", "heif"};
    const std::uint8_t selector = data[0];
    const QString extension = QString::fromLatin1(kExtensions[selector % 20]);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QSize minimum = selector & 0x20 ? QSize(16, 16) : QSize();
    const mosaiq::PictureTurn turn =
        selector & 0x40 ? mosaiq::PictureTurn::AsStored : mosaiq::PictureTurn::Upright;
    const mosaiq::DecodedPicture picture =
        mosaiq::DecodePictureData(bytes, extension, minimum, turn);
    if (picture.Ok() && picture.image.width() > 0)
        (void)picture.image.pixel(picture.image.width() - 1, picture.image.height() - 1);
    const mosaiq::JpegStreamInfo info = mosaiq::ScanJpegStream(data + 1, std::int64_t(size - 1));
    (void)mosaiq::ScanPngStream(data + 1, std::int64_t(size - 1), true);
    (void)mosaiq::ExifOrientation(info.exif);
    const mosaiq::PictureMetadata meta = mosaiq::ScanPictureMetadata(data + 1, size - 1);
    if (!meta.colourProfile.isEmpty()) {
        QImage probe(4, 4, QImage::Format_RGB32);
        probe.fill(0xFF808080u);
        (void)mosaiq::ConvertProfileToSrgb(probe, meta.colourProfile);
    }
    if (mosaiq::LooksLikeHeif(bytes))
        (void)mosaiq::ReadHeif(bytes, QSize(8, 8), true);
    return 0;
}
