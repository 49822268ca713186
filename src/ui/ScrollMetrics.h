#pragma once

// Thumb arithmetic of the program's own scroll bars, along the bar's long axis. The bar has a
// 16-pixel arrow at each end; the thumb moves between them. Pixel values are client pixels of the
// bar; positions are in the owner's units (the range R).

#include <optional>

namespace mosaiq {

// Codes a scroll bar sends to itself and its owner.
enum class ScrollCode : int {
    LineUp = 0,   // up or left arrow
    LineDown = 1, // down or right arrow
    PageUp = 2,   // track before the thumb
    PageDown = 3, // track after the thumb
    Track = 4,
    ThumbDrag = 5, // the thumb was dragged to the given position
    Top = 6,
    Bottom = 7,
};

inline constexpr int kScrollBarThickness = 17;
inline constexpr int kScrollArrowLength = 16;

class ScrollMetrics {
public:
    // `length` is the bar's client length along its axis (height of a vertical bar).
    void SetLength(int length);
    // The owner's step; the thumb shrinks with √(step × range).
    void SetStep(int step) { m_step = step; }
    // R = range when positive, else 0; the thumb length follows.
    void SetRange(int range);
    // Positions outside 0…R are ignored; with no range the position is 0.
    void SetPosition(int position);

    // The position a thumb drag reaches when the thumb started at `thumbStartAtPress` and the mouse
    // moved by `delta` pixels; nothing when it falls outside 0…R or there is nothing to scroll.
    std::optional<int> DragPosition(int thumbStartAtPress, int delta) const;

    int Length() const { return m_length; }
    int Step() const { return m_step; }
    int Range() const { return m_range; }
    int Position() const { return m_position; }
    int ThumbStart() const { return m_thumbStart; }
    int ThumbLength() const { return m_thumbLength; }
    float Ratio() const { return m_ratio; }

private:
    void UpdateThumbLength();

    int m_length = 0;
    int m_step = 1;
    int m_range = 0;
    int m_position = 0;
    int m_thumbStart = kScrollArrowLength;
    int m_thumbLength = 0;
    float m_ratio = 0.0f;
};

} // namespace mosaiq
