// Untrusted picture bytes through the two-decoder rule (with its checks of the work a picture
// may cost). The first byte picks the extension the
// bytes are read as (and whether a reduced decode is asked for); the rest is the file.
#include "imaging/JpegStream.h"
#include "imaging/PictureDecoder.h"
#include "imaging/PngStream.h"

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
    static const char* const kExtensions[] = {"jpg", "png", "gif",  "bmp", "tif", "tga",
                                              "pcx", "ico", "wbmp", "wmf", "emf", "jp2",
                                              "pgx", "pnm", "ras",  "xyz"};
    const std::uint8_t selector = data[0];
    const QString extension = QString::fromLatin1(kExtensions[selector % 16]);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QSize minimum = selector & 0x10 ? QSize(16, 16) : QSize();
    const mosaiq::DecodedPicture picture = mosaiq::DecodePictureData(bytes, extension, minimum);
    if (picture.Ok() && picture.image.width() > 0)
        (void)picture.image.pixel(picture.image.width() - 1, picture.image.height() - 1);
    const mosaiq::JpegStreamInfo info = mosaiq::ScanJpegStream(data + 1, std::int64_t(size - 1));
    (void)mosaiq::ScanPngStream(data + 1, std::int64_t(size - 1), true);
    (void)mosaiq::ExifOrientation(info.exif);
    return 0;
}
