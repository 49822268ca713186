#pragma once

// Embedded colour profiles: pictures are drawn and written in sRGB, so a picture that carries
// another profile (a camera's Adobe RGB, a wide-gamut editing space) has its colours converted
// when it is decoded. A picture without a profile is taken as sRGB.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace mosaiq {

// Converts image (Format_RGB32 or Format_ARGB32 with straight alpha; other formats are left
// alone) from the RGB colour space described by the ICC profile bytes to sRGB, in place,
// perceptual intent, alpha untouched. False, leaving image as it was, when the profile cannot be
// read or is not an RGB profile (a grey or CMYK one describes other samples than these).
bool ConvertProfileToSrgb(QImage& image, const QByteArray& profile, QString* reason = nullptr);

// True when profile is one lcms can read and describes RGB samples.
bool IsRgbProfile(const QByteArray& profile);

// How a picture coded like video (HEIF's "nclx" colour box) describes its colours instead of
// an ICC profile: ITU-T H.273 code points, and the chromaticities (x, y) of its primaries and
// white point as the reader decoded them from the primaries code.
struct CodedColour {
    int primaries = 2; // 1 BT.709 (as sRGB), 2 unspecified, 9 BT.2020, 12 Display P3, ...
    int transfer = 2;  // 1 BT.709, 2 unspecified, 13 sRGB, 8 linear, 16 PQ, 18 HLG, ...
    float red[2] = {0, 0};
    float green[2] = {0, 0};
    float blue[2] = {0, 0};
    float white[2] = {0, 0};
};

// An ICC profile for the RGB samples of a picture coded so, for ConvertProfileToSrgb. High
// dynamic range transfers (PQ, HLG) are mapped to the display's range: their reference white
// (203 cd/m²) lands a little below white and brighter tones are rolled off towards it. Empty when
// nothing is to be converted: the samples are sRGB already (BT.709 or unspecified primaries with
// an sRGB-like transfer; BT.709's own transfer is shown as sRGB, as viewers do), or the
// description is unknown or damaged.
QByteArray ProfileFromCodedColour(const CodedColour& colour);

// True when transfer is a high dynamic range one (16 PQ, 18 HLG): such samples are converted from
// their coded depth (CodedSamplesToSrgb), since cutting them to 8 bits before the curve bands
// smooth tones.
bool IsHighDynamicRangeTransfer(int transfer);

// The display light (0 black, 1 white) that coded value e (0 to 1) of a high dynamic range
// transfer is shown at, with the reference white and roll-off ProfileFromCodedColour uses; e
// itself for other transfers.
double HdrDisplayLight(int transfer, double e);

} // namespace mosaiq
