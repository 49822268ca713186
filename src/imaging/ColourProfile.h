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

} // namespace mosaiq
