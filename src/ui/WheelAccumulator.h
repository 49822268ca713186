#pragma once

// Turns wheel events into whole scroll steps. A mouse wheel reports 120 (1/8 degree units) per
// notch, but high-resolution wheels and touchpads report many small deltas (15, 8, ...): each
// alone is less than a notch, and dividing it by 120 would give nothing. The accumulator sums
// the deltas and hands out whole units, keeping the rest for the next event.

namespace mosaiq {

// One notch of a classic mouse wheel, in angle-delta units.
inline constexpr int kWheelNotch = 120;

class WheelAccumulator {
public:
    // Adds an angle delta and returns the whole units it completes, one notch being
    // unitsPerNotch units (positive: the wheel turned away from the user). A turn the other
    // way drops what was kept, so reversing responds at once.
    int Take(int angleDelta, int unitsPerNotch = 1);
    // Forgets what was kept.
    void Reset() { m_rest = 0; }

private:
    long long m_rest = 0; // angle delta x units per notch, not yet handed out
};

} // namespace mosaiq
