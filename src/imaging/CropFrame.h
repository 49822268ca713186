#pragma once

// The crop tool's rectangle without a window: where the working picture is shown inside the
// view, the crop rectangle on it, its eight handles, resizing and moving by the mouse, the aspect
// constraints and the result in the picture's own pixels.
//
// Coordinates are view (client) pixels. Rectangles are (left, top, right, bottom) with the right
// and bottom edges exclusive, so a rectangle's width is right - left.

#include "core/WinTypes.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <array>

namespace mosaiq {

// The eight aspect constraints, in button order; index 0 is "No Constraint" (ratio 0 : 0).
inline constexpr int kCropConstraintCount = 8;
struct CropConstraint {
    const char* label;
    float ratioWidth;
    float ratioHeight;
};
const std::array<CropConstraint, kCropConstraintCount>& CropConstraints();

// Handles, counter-clockwise from the top-left corner.
enum CropHandle {
    kHandleTopLeft,
    kHandleLeft,
    kHandleBottomLeft,
    kHandleBottom,
    kHandleBottomRight,
    kHandleRight,
    kHandleTopRight,
    kHandleTop
};
inline constexpr int kCropHandleCount = 8;
inline constexpr int kCropHandleSize = 8;

inline int RectWidth(const Rect32& r) {
    return r.right - r.left;
}
inline int RectHeight(const Rect32& r) {
    return r.bottom - r.top;
}
inline bool RectContains(const Rect32& r, QPoint p) {
    return p.x() >= r.left && p.x() < r.right && p.y() >= r.top && p.y() < r.bottom;
}

class CropFrame {
public:
    // Lays the picture out in a view of viewSize: the working picture fitted (never enlarged)
    // and centred, the crop rectangle inset by an eighth of the display size on every side. An
    // active constraint is applied again to the new rectangle.
    void Layout(QSize viewSize, QSize workingSize);

    // Sets the aspect constraint a : b; 0 for either clears it and keeps the rectangle. A new
    // constraint makes a rectangle about 1.5 times the current one's share of the picture,
    // centred, 8 pixels in from its edges, trimmed evenly to the ratio.
    void SetConstraint(float a, float b);
    bool Constrained() const { return m_constrained; }
    float RatioWidth() const { return m_ratioWidth; }
    float RatioHeight() const { return m_ratioHeight; }

    const Rect32& Display() const { return m_display; }
    const Rect32& Crop() const { return m_crop; }
    void SetCrop(const Rect32& crop) { m_crop = crop; }

    // Handle i's 8 x 8 square just outside the crop rectangle.
    Rect32 HandleRect(int index) const;
    // Under a constraint only the corner handles 0, 2, 4 and 6 are active.
    bool HandleActive(int index) const;
    // The first active handle (in index order) holding the point; -1 when none.
    int HitHandle(QPoint p) const;

    // Drag: a press on a handle resizes, inside the rectangle moves; false when the press is on
    // neither. DragTo follows the pointer; EndDrag ends it.
    bool BeginDrag(QPoint p);
    void DragTo(QPoint p);
    void EndDrag();
    bool Dragging() const { return m_drag != Drag::None; }
    bool Resizing() const { return m_drag == Drag::Resize; }
    int DragHandle() const { return m_handle; }

    // The crop rectangle in the pixels of a picture of pictureSize that the display rectangle
    // shows (multiplication first, integer division).
    Rect32 Result(QSize pictureSize) const;
    // Shows the rectangle picture (in the pixels of a picture of pictureSize) as the crop
    // rectangle: the view rectangle that holds it, kept inside the display rectangle. Nothing
    // changes without a display rectangle or a picture size.
    void SetCropFromPicture(const Rect32& picture, QSize pictureSize);

private:
    void Resize(QPoint p);
    void Move(QPoint p);
    void KeepInside();

    enum class Drag { None, Resize, Move };
    Rect32 m_display;
    Rect32 m_crop;
    bool m_constrained = false;
    float m_ratioWidth = 0;
    float m_ratioHeight = 0;
    Drag m_drag = Drag::None;
    int m_handle = -1;
    Rect32 m_start;
    QPoint m_pressPoint;
};

} // namespace mosaiq
