#pragma once

// The tuning panel's six sliders without a window: their labels, control ids, ranges and
// default positions, and how a position becomes the value the canvas stores. The arithmetic is
// done in double precision from the integer position and stored as a 32-bit float.

#include "canvas/document/Records.h"

#include <array>

namespace mosaiq {

enum class TuningSlider { Contrast, Brightness, Saturation, Hue, Gamma, Colour };
inline constexpr int kTuningSliderCount = 6;

struct TuningSliderInfo {
    const char* label;
    int controlId;
    int minimum;
    int maximum;
    int defaultPosition;
    bool rightColumn;
    int row; // 0..2
};

// In the order Contrast, Brightness, Saturation, Hue, Gamma, Colour.
const std::array<TuningSliderInfo, kTuningSliderCount>& TuningSliderTable();
const TuningSliderInfo& InfoOf(TuningSlider slider);

// The value a position stands for (clamped to the slider's range first): contrast, saturation
// and gamma position x 0.01; brightness position x 0.01 - 1; hue position x 0.01 - 180 degrees;
// colour (position x 0.01 - 180) x 0.2 degrees.
float TuningValue(TuningSlider slider, int position);

// The six values of six positions (in slider order).
using TuningPositions = std::array<int, kTuningSliderCount>;
std::array<float, kTuningSliderCount> TuningValuesOf(const TuningPositions& positions);
TuningPositions DefaultTuningPositions();

// The position that shows a stored value: the nearest one, clamped to the slider's range.
int TuningPosition(TuningSlider slider, float value);
// The positions that show an object's tuning; an inactive tuning shows the defaults.
TuningPositions TuningPositionsOf(const TuningBlock& tuning);
// The field of a tuning block one slider sets.
float& TuningField(TuningBlock& tuning, TuningSlider slider);

} // namespace mosaiq
