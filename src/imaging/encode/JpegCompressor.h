#pragma once

#include <QByteArray>

namespace mosaiq {

// Compresses a top-down RGB buffer (the first row becomes the first scanline; rows of exactly
// 3 * width bytes, bytes red, green, blue) to JPEG bytes in memory with libjpeg. colour false
// writes one grey channel (grey = 0.299 R + 0.587 G + 0.114 B, truncated). Returns a null array
// for empty input, and after a fatal libjpeg error, which is reported through the notifier as
// "JPEG Fatal Error: <message>". The photo list compresses its 80 x 80 thumbnails with quality 75.
QByteArray CompressJpegToMemory(const unsigned char* pixels, int width, int height, int quality,
                                bool colour);

} // namespace mosaiq
