#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QVector>

namespace mosaiq {

// Writes an opaque picture as a GIF: each pixel mapped to the nearest colour of palette (at most
// 256 colours) with Floyd-Steinberg error diffusion, then LZW coded. Empty on bad input.
QByteArray EncodeGifWithPalette(const QImage& image, const QVector<QRgb>& palette);

} // namespace mosaiq
