#pragma once

// A walk over the chunks of a PNG stream, for what must be known before a decoder allocates the
// whole picture: the header's fields, and whether the compressed image data really holds the
// bytes the header's size needs (a small file can claim 16,000 x 16,000 pixels of garbage).
// Every length is checked against the size: safe on untrusted bytes.

#include <cstdint>

namespace mosaiq {

struct PngStreamInfo {
    bool isPng = false;        // the signature and a well-formed IHDR chunk
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;        // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    bool interlaced = false;
    bool colourKey = false;    // a tRNS chunk is present
    std::int64_t neededBytes = 0;   // filtered image bytes the header's size needs
    std::int64_t inflatedBytes = 0; // of those, how many the image data delivered
    bool imageDataComplete = false; // inflatedBytes reached neededBytes
};

// Reads the chunks of the stream; with checkImageData, also inflates the image data (into a small
// buffer, never keeping it) until neededBytes are counted, the data ends or it is damaged.
PngStreamInfo ScanPngStream(const unsigned char* data, std::int64_t size, bool checkImageData);

} // namespace mosaiq
