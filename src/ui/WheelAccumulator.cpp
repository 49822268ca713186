#include "ui/WheelAccumulator.h"

namespace mosaiq {

int WheelAccumulator::Take(int angleDelta, int unitsPerNotch) {
    const long long added = static_cast<long long>(angleDelta) * unitsPerNotch;
    if ((added > 0 && m_rest < 0) || (added < 0 && m_rest > 0))
        m_rest = 0;
    m_rest += added;
    const long long units = m_rest / kWheelNotch; // towards zero: the rest keeps its sign
    m_rest -= units * kWheelNotch;
    return static_cast<int>(units);
}

} // namespace mosaiq
