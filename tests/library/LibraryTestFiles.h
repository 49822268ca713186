#pragma once

// Builders of library files for the tests: well-formed ones through the library's own encoders,
// damaged ones byte by byte.

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstdint>

namespace mosaiq::test {

inline QByteArray Int32Bytes(std::int32_t v) {
    const auto u = std::uint32_t(v);
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b.append(char((u >> (8 * i)) & 0xFF));
    return b;
}

inline QByteArray PngBytes(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A picture of w x h filled with one colour and a different top-left pixel.
inline QImage SolidPicture(int w, int h, QRgb fill, QRgb corner) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(fill);
    image.setPixel(0, 0, corner);
    return image;
}

} // namespace mosaiq::test
