#include "imaging/ColourProfile.h"

#include <lcms2.h>

#include <memory>

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

} // namespace

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
