#include "imaging/colour/ColourProfile.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace mosaiq {

namespace {

struct ProfileCloser {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter {
    void operator()(void* t) const { cmsDeleteTransform(t); }
};

// lcms reports damaged profiles through a global handler; a picture's damaged profile is an
// ordinary failure here, reported by the return value, so the messages are dropped.
void Quiet(cmsContext, cmsUInt32Number, const char*) {}

Profile OpenRgbProfile(const QByteArray& bytes) {
    static const bool quieted = [] {
        cmsSetLogErrorHandler(Quiet);
        return true;
    }();
    (void)quieted;
    if (bytes.size() < 132) // the 128-byte header and a tag count
        return nullptr;
    // The header's own length: a profile cut short is refused rather than half read.
    const auto* b = reinterpret_cast<const uchar*>(bytes.constData());
    const quint32 declared =
        (quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | quint32(b[3]);
    if (declared < 132 || declared > quint32(bytes.size()))
        return nullptr;
    Profile profile(cmsOpenProfileFromMem(bytes.constData(), cmsUInt32Number(bytes.size())));
    if (profile && cmsGetColorSpace(profile.get()) != cmsSigRgbData)
        profile.reset();
    return profile;
}

// High dynamic range pictures (PQ, HLG) are shown on an sRGB display with their reference white
// (203 cd/m², as ITU-R BT.2408 places graphics white) a little below the display's white: tones
// up to kKnee of it are kept, and everything brighter is rolled off towards white, so highlights
// keep their detail instead of being clipped.
constexpr double kReferenceWhite = 203.0; // cd/m²
constexpr double kKnee = 0.8;

double RollOff(double relative) {
    if (relative <= kKnee)
        return std::max(relative, 0.0);
    const double over = (relative - kKnee) / (1.0 - kKnee);
    return kKnee + (1.0 - kKnee) * over / (1.0 + over);
}

// SMPTE ST 2084 (PQ): the luminance, in cd/m², of coded value e in [0, 1].
double PqLuminance(double e) {
    const double m1 = 2610.0 / 16384.0, m2 = 2523.0 / 4096.0 * 128.0;
    const double c1 = 3424.0 / 4096.0, c2 = 2413.0 / 4096.0 * 32.0, c3 = 2392.0 / 4096.0 * 32.0;
    const double p = std::pow(e, 1.0 / m2);
    return 10000.0 * std::pow(std::max(p - c1, 0.0) / (c2 - c3 * p), 1.0 / m1);
}

// ITU-R BT.2100 HLG: the luminance, in cd/m², of coded value e on the nominal 1000 cd/m² display
// (inverse OETF, then the system gamma of 1.2 applied per channel).
double HlgLuminance(double e) {
    const double a = 0.17883277, b = 1.0 - 4.0 * a, c = 0.5 - a * std::log(4.0 * a);
    const double scene = e <= 0.5 ? e * e / 3.0 : (std::exp((e - c) / a) + b) / 12.0;
    return 1000.0 * std::pow(scene, 1.2);
}

// A tabulated curve from coded value to the display's linear light (1 = white).
cmsToneCurve* HdrCurve(double (*luminance)(double)) {
    constexpr int kEntries = 4096;
    std::vector<cmsFloat32Number> table(kEntries);
    for (int i = 0; i < kEntries; ++i)
        table[size_t(i)] = cmsFloat32Number(
            std::min(RollOff(luminance(double(i) / (kEntries - 1)) / kReferenceWhite), 1.0));
    return cmsBuildTabulatedToneCurveFloat(nullptr, kEntries, table.data());
}

// The transfer curve for an H.273 transfer code, or nothing for one this reader leaves alone.
cmsToneCurve* TransferCurve(int transfer) {
    switch (transfer) {
    case 1:  // BT.709
    case 2:  // unspecified
    case 6:  // BT.601
    case 13: // sRGB
    case 14: // BT.2020, 10 bit
    case 15: // BT.2020, 12 bit
    {
        // IEC 61966-2-1: Y = ((aX + b)^g) for X >= d, else cX.
        const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
        return cmsBuildParametricToneCurve(nullptr, 4, srgb);
    }
    case 4: // gamma 2.2
        return cmsBuildGamma(nullptr, 2.2);
    case 5: // gamma 2.8
        return cmsBuildGamma(nullptr, 2.8);
    case 8: // linear
        return cmsBuildGamma(nullptr, 1.0);
    case 16: // PQ
        return HdrCurve(PqLuminance);
    case 18: // HLG
        return HdrCurve(HlgLuminance);
    default:
        return nullptr;
    }
}

bool SrgbLikeTransfer(int transfer) {
    return transfer == 1 || transfer == 2 || transfer == 6 || transfer == 13 || transfer == 14 ||
           transfer == 15;
}

bool PlausibleChromaticity(const float xy[2]) {
    // x and y of a real colour lie in (0, 1) and add to at most 1.
    return xy[0] > 0.0f && xy[1] > 0.0f && xy[0] < 1.0f && xy[1] < 1.0f && xy[0] + xy[1] <= 1.0f;
}

} // namespace

QByteArray ProfileFromCodedColour(const CodedColour& colour) {
    if ((colour.primaries == 1 || colour.primaries == 2) && SrgbLikeTransfer(colour.transfer))
        return {};
    for (const float* xy : {colour.red, colour.green, colour.blue, colour.white})
        if (!PlausibleChromaticity(xy))
            return {};
    cmsToneCurve* curve = TransferCurve(colour.transfer);
    if (!curve)
        return {};
    const cmsCIExyY white{colour.white[0], colour.white[1], 1.0};
    const cmsCIExyYTRIPLE primaries{{colour.red[0], colour.red[1], 1.0},
                                    {colour.green[0], colour.green[1], 1.0},
                                    {colour.blue[0], colour.blue[1], 1.0}};
    cmsToneCurve* curves[3] = {curve, curve, curve};
    const Profile profile(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(curve);
    if (!profile)
        return {};
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile.get(), nullptr, &size) || size == 0)
        return {};
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    if (!cmsSaveProfileToMem(profile.get(), bytes.data(), &size))
        return {};
    bytes.truncate(qsizetype(size));
    return bytes;
}

bool IsHighDynamicRangeTransfer(int transfer) {
    return transfer == 16 || transfer == 18;
}

double HdrDisplayLight(int transfer, double e) {
    e = std::clamp(e, 0.0, 1.0);
    if (!IsHighDynamicRangeTransfer(transfer))
        return e;
    const double nits = transfer == 16 ? PqLuminance(e) : HlgLuminance(e);
    return std::min(RollOff(nits / kReferenceWhite), 1.0);
}

bool IsRgbProfile(const QByteArray& profile) {
    return OpenRgbProfile(profile) != nullptr;
}

bool ConvertProfileToSrgb(QImage& image, const QByteArray& profile, QString* reason) {
    const auto fail = [reason](const char* text) {
        if (reason)
            *reason = QString::fromLatin1(text);
        return false;
    };
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        return fail("the picture is not 8-bit RGB");
    Profile source = OpenRgbProfile(profile);
    if (!source)
        return fail("the colour profile cannot be read or is not an RGB profile");
    Profile srgb(cmsCreate_sRGBProfile());
    // QImage's 32-bit formats hold B, G, R, A bytes in memory on little-endian machines and
    // A, R, G, B on big-endian ones.
    const cmsUInt32Number format =
        QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TYPE_BGRA_8 : TYPE_ARGB_8;
    std::unique_ptr<void, TransformDeleter> transform(cmsCreateTransform(
        source.get(), format, srgb.get(), format, INTENT_PERCEPTUAL, cmsFLAGS_COPY_ALPHA));
    if (!transform)
        return fail("the colour profile cannot be converted to sRGB");
    // The fourth byte (alpha, or RGB32's 0xFF) is copied as it is.
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        cmsDoTransform(transform.get(), line, line, cmsUInt32Number(image.width()));
    }
    return true;
}

} // namespace mosaiq
