#include "canvas/edits/TuningSliders.h"

#include <algorithm>
#include <cmath>

namespace mosaiq {

const std::array<TuningSliderInfo, kTuningSliderCount>& TuningSliderTable() {
    // The control ids are not in row order: Brightness is 10004 and Saturation 10003.
    static const std::array<TuningSliderInfo, kTuningSliderCount> kSliders = {{
        {"Contrast", 10002, 20, 400, 100, false, 0},
        {"Brightness", 10004, 0, 200, 100, false, 1},
        {"Saturation", 10003, 0, 300, 100, false, 2},
        {"Hue", 10005, 0, 36000, 18000, true, 0},
        {"Gamma", 10006, 20, 400, 100, true, 1},
        {"Color", 10007, 0, 36000, 18000, true, 2},
    }};
    return kSliders;
}

const TuningSliderInfo& InfoOf(TuningSlider slider) {
    return TuningSliderTable()[size_t(slider)];
}

float TuningValue(TuningSlider slider, int position) {
    const TuningSliderInfo& info = InfoOf(slider);
    const double p = double(std::clamp(position, info.minimum, info.maximum)) * 0.01;
    switch (slider) {
    case TuningSlider::Brightness:
        return float(p - 1.0);
    case TuningSlider::Hue:
        return float(p - 180.0);
    case TuningSlider::Colour:
        return float((p - 180.0) * 0.2);
    default:
        return float(p);
    }
}

std::array<float, kTuningSliderCount> TuningValuesOf(const TuningPositions& positions) {
    std::array<float, kTuningSliderCount> values{};
    for (int i = 0; i < kTuningSliderCount; ++i)
        values[size_t(i)] = TuningValue(TuningSlider(i), positions[size_t(i)]);
    return values;
}

TuningPositions DefaultTuningPositions() {
    TuningPositions p{};
    for (int i = 0; i < kTuningSliderCount; ++i)
        p[size_t(i)] = TuningSliderTable()[size_t(i)].defaultPosition;
    return p;
}

int TuningPosition(TuningSlider slider, float value) {
    const TuningSliderInfo& info = InfoOf(slider);
    double p = double(value);
    switch (slider) {
    case TuningSlider::Brightness:
        p += 1.0;
        break;
    case TuningSlider::Hue:
        p += 180.0;
        break;
    case TuningSlider::Colour:
        p = p / 0.2 + 180.0;
        break;
    default:
        break;
    }
    p *= 100.0;
    // A damaged record may hold anything: NaN shows the default, values out of range the ends.
    if (std::isnan(p))
        return info.defaultPosition;
    p = std::clamp(p, double(info.minimum), double(info.maximum));
    return int(std::lround(p));
}

TuningPositions TuningPositionsOf(const TuningBlock& tuning) {
    if (!tuning.active)
        return DefaultTuningPositions();
    TuningBlock copy = tuning;
    TuningPositions p{};
    for (int i = 0; i < kTuningSliderCount; ++i)
        p[size_t(i)] = TuningPosition(TuningSlider(i), TuningField(copy, TuningSlider(i)));
    return p;
}

float& TuningField(TuningBlock& tuning, TuningSlider slider) {
    switch (slider) {
    case TuningSlider::Contrast:
        return tuning.contrast;
    case TuningSlider::Brightness:
        return tuning.brightness;
    case TuningSlider::Saturation:
        return tuning.saturation;
    case TuningSlider::Hue:
        return tuning.hue;
    case TuningSlider::Gamma:
        return tuning.gamma;
    case TuningSlider::Colour:
        break;
    }
    return tuning.colour;
}

} // namespace mosaiq
