#pragma once

// Samples of a picture coded like video, decoded at their coded depth (8 to 16 bits), turned into
// an 8-bit sRGB picture in one step: the range is expanded, the transfer curve and the primaries
// are applied at full precision and the result is rounded once. Cutting 10- or 12-bit samples to
// 8 bits first and applying a steep curve (PQ, HLG) afterwards leaves smooth tones in visible
// bands; a grey picture coded in video range would keep its black at 16 and its white at 235.

#include "imaging/colour/ColourProfile.h"

#include <QImage>

namespace mosaiq {

struct CodedSamples {
    const unsigned char* data = nullptr; // 8-bit samples when bits <= 8, else native 16-bit words
    qsizetype stride = 0;                // bytes from one row to the next
    int width = 0;
    int height = 0;
    int channels = 1;          // 1 grey, 3 RGB, 4 RGB and alpha (interleaved)
    int bits = 8;              // the significant bits of each sample, 1 to 16
    bool limitedRange = false; // grey coded in video range (16 to 235 at 8 bits, scaled by depth)
    // A separate alpha plane (a grey picture's), or none; its bits as for alphaBits.
    const unsigned char* alpha = nullptr;
    qsizetype alphaStride = 0;
    int alphaBits = 8;
};

// The picture the samples describe in sRGB: Format_RGB32, or Format_ARGB32 (straight) with alpha.
// The transfer and primaries of colour are applied when they are a high dynamic range
// description (PQ, HLG), shown as ProfileFromCodedColour would show them; other samples are taken
// as display values. Null when the samples are not of a kind described above.
QImage CodedSamplesToSrgb(const CodedSamples& samples, const CodedColour& colour);

} // namespace mosaiq
