#pragma once

// The thirteen photo effects: one image-library call each, with fixed arguments. The effects'
// names are the command-line names; their codes are the numbers the effect commands carry.

#include <QString>

#include <optional>
#include <vector>

namespace mosaiq {

class LibraryImage;

enum class PhotoEffect {
    Erode,   // Erode(2)
    Dilate,  // Dilate(2)
    Noise,   // Noise(50)
    Jitter,  // Jitter(2)
    Median,  // Median(3)
    Contour, // Contour()
    Emboss,  // 3 x 3 (0 0 -1 / 0 0 0 / 1 0 0), divisor 0, offset 127
    Edge,    // Edge(2)
    Sharpen, // 3 x 3 (-1 -1 -1 / -1 15 -1 / -1 -1 -1), divisor 7
    Blur,    // 5 x 5 (0 1 2 1 0 / 1 3 4 3 1 / 2 4 8 4 2 / ...), divisor 52
    Soften,  // 3 x 3 (1 2 1 / 2 4 2 / 1 2 1), divisor 16
    Mean,    // 3 x 3 of nine 1s, divisor 9
    Smooth,  // 3 x 3 (1 1 1 / 1 8 1 / 1 1 1), divisor 16
};

struct PhotoEffectInfo {
    PhotoEffect effect;
    int code;          // the effect code the command maps to
    const char* name;  // lower-case command-line name
};

// Every effect in command order.
const std::vector<PhotoEffectInfo>& PhotoEffects();
std::optional<PhotoEffect> PhotoEffectFromName(const QString& name);
const PhotoEffectInfo& PhotoEffectDetails(PhotoEffect effect);

// The convolution kernel of an effect that is a kernel filter: ksize x ksize values row by row
// (rows in the library's bottom-up order), divisor and offset. False for the other effects.
struct EffectKernel {
    std::vector<int> values;
    int size = 0;
    int divisor = 0;
    int offset = 0;
};
bool PhotoEffectKernel(PhotoEffect effect, EffectKernel* kernel);

// Runs the effect's call on picture in place. False when the picture is not valid or the call
// was stopped by the picture's escape flag (the picture is then unchanged).
bool ApplyPhotoEffect(LibraryImage& picture, PhotoEffect effect);

} // namespace mosaiq
