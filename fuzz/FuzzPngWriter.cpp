// The PNG writer against both readers: the fuzzer's bytes become a picture (size, layout, parts
// and pixels), which is written and read back by Qt and by the image library; any pixel that does
// not come back as written stops the run.
#include "imaging/magick/ImageLibrary.h"
#include "imaging/files/PictureType.h"
#include "imaging/encode/PngWriter.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QImage::Format kFormats[] = {QImage::Format_Grayscale8, QImage::Format_RGB32,
                                   QImage::Format_Indexed8, QImage::Format_ARGB32};

QImage PictureFrom(const std::uint8_t* data, std::size_t size) {
    const int w = 1 + data[0] % 97, h = 1 + data[1] % 89;
    const QImage::Format format = kFormats[data[2] % 4];
    const std::uint8_t* pixels = data + 4;
    const std::size_t n = size - 4;
    std::size_t at = 0;
    const auto next = [&] { return n == 0 ? std::uint8_t(0) : pixels[at++ % n]; };
    QImage image(w, h, format);
    if (format == QImage::Format_Indexed8) {
        QVector<QRgb> palette;
        const int entries = 1 + next() % 256;
        for (int i = 0; i < entries; ++i)
            palette << qRgba(next(), next(), next(), next());
        image.setColorTable(palette);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.scanLine(y)[x] = std::uint8_t(next() % entries);
        return image;
    }
    const int bytes = format == QImage::Format_Grayscale8 ? 1 : 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * bytes; ++x)
            image.scanLine(y)[x] = next();
    return image;
}

QRgb Expected(const QImage& image, int x, int y) {
    return image.hasAlphaChannel() ? image.pixel(x, y) : (image.pixel(x, y) | 0xFF000000u);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv); // image format plugins need an application
    mosaiq::EnsureImageLibrary();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    const QImage image = PictureFrom(data, size);
    const QByteArray png = mosaiq::EncodePng(image, {1 + data[3] % 3, 1 + (data[3] >> 2) % 7});
    if (png.isEmpty())
        std::abort();
    const QImage qt = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_ARGB32);
    const mosaiq::LibraryImage library(png, mosaiq::kPicturePng);
    if (qt.size() != image.size() || library.GetWidth() != image.width() ||
        library.GetHeight() != image.height())
        std::abort();
    for (int y = 0; y < image.height(); ++y) {
        const unsigned char* row = library.GetBits(image.height() - 1 - y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb e = Expected(image, x, y);
            const QRgb m = qRgba(row[3 * x + 2], row[3 * x + 1], row[3 * x],
                                 library.AlphaGet(x, image.height() - 1 - y));
            if (qt.pixel(x, y) != e || (qAlpha(e) != 0 && m != e) || qAlpha(m) != qAlpha(e))
                std::abort();
        }
    }
    return 0;
}
