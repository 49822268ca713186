#include "ui/ScrollMetrics.h"

#include <algorithm>
#include <cmath>

namespace mosaiq {

void ScrollMetrics::SetLength(int length) {
    m_length = std::max(0, length);
    UpdateThumbLength();
    SetPosition(m_position);
}

void ScrollMetrics::SetRange(int range) {
    m_range = range > 0 ? range : 0;
    UpdateThumbLength();
    if (m_position > m_range)
        m_position = m_range;
    SetPosition(m_position);
}

void ScrollMetrics::UpdateThumbLength() {
    // The thumb takes the whole track without a range and shrinks towards 20 pixels (its two caps)
    // as step × range grows to 10,000.
    const double product = double(m_step) * double(m_range);
    const int shrink = std::min(int(std::sqrt(std::max(0.0, product))), 100);
    m_thumbLength = m_length - shrink * (m_length - 52) / 100 - 32;
}

void ScrollMetrics::SetPosition(int position) {
    if (m_range <= 0) {
        m_position = 0;
        m_ratio = 0.0f;
        m_thumbStart = kScrollArrowLength;
        return;
    }
    if (position < 0 || position > m_range)
        return;
    m_position = position;
    m_ratio = float(m_length - m_thumbLength - 32) / float(m_range);
    m_thumbStart = int(m_ratio * float(position)) + kScrollArrowLength;
}

std::optional<int> ScrollMetrics::DragPosition(int thumbStartAtPress, int delta) const {
    // A track no longer than the thumb has nowhere to move it (and a zero ratio to divide by).
    if (m_range <= 0 || m_ratio <= 0.0f)
        return std::nullopt;
    const int thumbStart = thumbStartAtPress + delta;
    const int position = int(float(thumbStart - kScrollArrowLength) / m_ratio);
    if (position < 0 || position > m_range)
        return std::nullopt;
    return position;
}

} // namespace mosaiq
