#include "imaging/magick/PhotoEffect.h"

#include "imaging/magick/ImageLibrary.h"

namespace mosaiq {

const std::vector<PhotoEffectInfo>& PhotoEffects() {
    static const std::vector<PhotoEffectInfo> table = {
        {PhotoEffect::Erode, 32817, "erode"},     {PhotoEffect::Dilate, 32818, "dilate"},
        {PhotoEffect::Noise, 32865, "noise"},     {PhotoEffect::Jitter, 32901, "jitter"},
        {PhotoEffect::Median, 32864, "median"},   {PhotoEffect::Contour, 32898, "contour"},
        {PhotoEffect::Emboss, 32812, "emboss"},   {PhotoEffect::Edge, 32914, "edge"},
        {PhotoEffect::Sharpen, 32815, "sharpen"}, {PhotoEffect::Blur, 32897, "blur"},
        {PhotoEffect::Soften, 32896, "soften"},   {PhotoEffect::Mean, 32813, "mean"},
        {PhotoEffect::Smooth, 32814, "smooth"},
    };
    return table;
}

std::optional<PhotoEffect> PhotoEffectFromName(const QString& name) {
    for (const PhotoEffectInfo& info : PhotoEffects())
        if (name.compare(QLatin1String(info.name), Qt::CaseInsensitive) == 0)
            return info.effect;
    return std::nullopt;
}

const PhotoEffectInfo& PhotoEffectDetails(PhotoEffect effect) {
    return PhotoEffects()[size_t(effect)];
}

bool PhotoEffectKernel(PhotoEffect effect, EffectKernel* kernel) {
    switch (effect) {
    case PhotoEffect::Emboss:
        *kernel = {{0, 0, -1, 0, 0, 0, 1, 0, 0}, 3, 0, 127};
        return true;
    case PhotoEffect::Sharpen:
        *kernel = {{-1, -1, -1, -1, 15, -1, -1, -1, -1}, 3, 7, 0};
        return true;
    case PhotoEffect::Blur:
        *kernel = {{0, 1, 2, 1, 0, 1, 3, 4, 3, 1, 2, 4, 8, 4, 2, 1, 3, 4, 3, 1, 0, 1, 2, 1, 0},
                   5,
                   52,
                   0};
        return true;
    case PhotoEffect::Soften:
        *kernel = {{1, 2, 1, 2, 4, 2, 1, 2, 1}, 3, 16, 0};
        return true;
    case PhotoEffect::Mean:
        *kernel = {{1, 1, 1, 1, 1, 1, 1, 1, 1}, 3, 9, 0};
        return true;
    case PhotoEffect::Smooth:
        *kernel = {{1, 1, 1, 1, 8, 1, 1, 1, 1}, 3, 16, 0};
        return true;
    default:
        return false;
    }
}

bool ApplyPhotoEffect(LibraryImage& picture, PhotoEffect effect) {
    if (!picture.IsValid())
        return false;
    picture.SetProgress(0);
    bool done = false;
    EffectKernel kernel;
    if (PhotoEffectKernel(effect, &kernel)) {
        done = picture.Filter(kernel.values.data(), kernel.size, kernel.divisor, kernel.offset);
    } else {
        switch (effect) {
        case PhotoEffect::Erode:
            done = picture.Erode(2);
            break;
        case PhotoEffect::Dilate:
            done = picture.Dilate(2);
            break;
        case PhotoEffect::Noise:
            done = picture.Noise(50);
            break;
        case PhotoEffect::Jitter:
            done = picture.Jitter(2);
            break;
        case PhotoEffect::Median:
            done = picture.Median(3);
            break;
        case PhotoEffect::Contour:
            done = picture.Contour();
            break;
        case PhotoEffect::Edge:
            done = picture.Edge(2);
            break;
        default:
            break;
        }
    }
    if (done)
        picture.SetProgress(100);
    return done;
}

} // namespace mosaiq
