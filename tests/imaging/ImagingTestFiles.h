#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace mosaiq::test {

// A picture of w x h whose pixel (x, y) has red = x, green = y, blue = (x + y) (each mod 256).
inline QImage GradientImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    return image;
}

// A picture of w x h filled with one colour.
inline QImage FilledImage(int w, int h, QColor colour,
                          QImage::Format format = QImage::Format_RGB32) {
    QImage image(w, h, format);
    image.fill(colour);
    return image;
}

// Channel difference within tolerance.
inline bool Near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace mosaiq::test
