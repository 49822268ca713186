#pragma once

// A walk over the chunks of a PNG stream, for what must be known before a decoder allocates the
// whole picture: the header's fields, and whether the compressed image data really holds the
// bytes the header's size needs (a small file can claim 16,000 x 16,000 pixels of garbage).
// Every length is checked against the size: safe on untrusted bytes.

#include <QByteArray>
#include <QImage>

#include <cstdint>

namespace mosaiq {

struct PngStreamInfo {
    bool isPng = false; // the signature and a well-formed IHDR chunk
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0; // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    bool interlaced = false;
    bool colourKey = false;           // a tRNS chunk is present
    std::uint16_t key[3] = {0, 0, 0}; // the colour key of a grey or RGB picture, as stored
    std::int64_t keyChunkOffset = -1; // where the tRNS chunk starts (its length field)
    std::int64_t keyChunkSize = 0;    // its whole size: length, type, body and checksum
    std::int64_t neededBytes = 0;     // filtered image bytes the header's size needs
    std::int64_t inflatedBytes = 0;   // of those, how many the image data delivered
    bool imageDataComplete = false;   // inflatedBytes reached neededBytes
};

// Reads the chunks of the stream; with checkImageData, also inflates the image data (into a small
// buffer, never keeping it) until neededBytes are counted, the data ends or it is damaged.
PngStreamInfo ScanPngStream(const unsigned char* data, std::int64_t size, bool checkImageData);

// True for the one layout the first decoder draws wrongly: 16-bit RGB with a colour key (it
// misreads the pixel format and draws stripes). DecodeDeepRgbWithKey decodes those instead.
bool NeedsOwnColourKey(const PngStreamInfo& info);

// Decodes such a picture without its key (16 bits a sample, which the first decoder reads right)
// and clears every pixel whose three samples equal the key. A null image when it cannot be read.
QImage DecodeDeepRgbWithKey(const QByteArray& png, const PngStreamInfo& info);

} // namespace mosaiq
