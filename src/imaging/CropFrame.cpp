#include "imaging/CropFrame.h"

#include "imaging/decode/PictureLoaders.h"

#include <algorithm>
#include <cstdint>

namespace mosaiq {
namespace {

// Which edges a handle carries.
bool MovesLeft(int h) {
    return h == kHandleTopLeft || h == kHandleLeft || h == kHandleBottomLeft;
}
bool MovesRight(int h) {
    return h == kHandleBottomRight || h == kHandleRight || h == kHandleTopRight;
}
bool MovesTop(int h) {
    return h == kHandleTopLeft || h == kHandleTopRight || h == kHandleTop;
}
bool MovesBottom(int h) {
    return h == kHandleBottomLeft || h == kHandleBottom || h == kHandleBottomRight;
}

// The span between the fixed edge and the pointer, inside [low, high).
void Span(int fixed, int pointer, int low, int high, std::int32_t& start, std::int32_t& end) {
    start = std::max(low, std::min(pointer, fixed));
    end = std::min(high, std::max(pointer, fixed));
}

// Puts a span of the given length back on the fixed edge, on the pointer's side.
void FromFixed(int fixed, int pointer, int length, std::int32_t& start, std::int32_t& end) {
    if (pointer < fixed) {
        start = fixed - length;
        end = fixed;
    } else {
        start = fixed;
        end = fixed + length;
    }
}

int Scaled(int value, int numerator, int denominator) {
    if (denominator <= 0)
        return 0;
    return int(std::int64_t(value) * numerator / denominator);
}

} // namespace

const std::array<CropConstraint, kCropConstraintCount>& CropConstraints() {
    static const std::array<CropConstraint, kCropConstraintCount> kTable = {{
        {"No Constraint", 0, 0},
        {"4 * 3", 4, 3},
        {"4 * 6", 4, 6},
        {"5 * 7", 5, 7},
        {"6 * 8", 6, 8},
        {"7 * 10", 7, 10},
        {"12 * 10", 12, 10},
        {"16 * 9", 16, 9},
    }};
    return kTable;
}

void CropFrame::Layout(QSize viewSize, QSize workingSize) {
    const QSize fitted = FitSize(workingSize.width(), workingSize.height(), viewSize.width(),
                                 viewSize.height(), false);
    m_display.left = (viewSize.width() - fitted.width()) / 2;
    m_display.top = (viewSize.height() - fitted.height()) / 2;
    m_display.right = m_display.left + fitted.width();
    m_display.bottom = m_display.top + fitted.height();
    const int insetX = fitted.width() / 8;
    const int insetY = fitted.height() / 8;
    m_crop = {m_display.left + insetX, m_display.top + insetY, m_display.right - insetX,
              m_display.bottom - insetY};
    m_drag = Drag::None;
    if (m_constrained)
        SetConstraint(m_ratioWidth, m_ratioHeight);
}

void CropFrame::SetConstraint(float a, float b) {
    if (a == 0 || b == 0) {
        m_constrained = false;
        m_ratioWidth = m_ratioHeight = 0;
        return;
    }
    const int dw = RectWidth(m_display);
    const int dh = RectHeight(m_display);
    if (dw <= 0 || dh <= 0)
        return;
    const double k = 1.5 * double(RectWidth(m_crop) + RectHeight(m_crop)) / double(dw + dh);
    Rect32 r{m_display.left, m_display.top, m_display.left + int(k * dw),
             m_display.top + int(k * dh)};
    if (RectWidth(r) > dw || RectHeight(r) > dh) {
        r = m_display;
    } else {
        const int ox = (m_display.right - r.right) / 2;
        const int oy = (m_display.bottom - r.bottom) / 2;
        r = {r.left + ox, r.top + oy, r.right + ox, r.bottom + oy};
    }
    // A picture too small to lose 8 pixels a side keeps its whole display rectangle.
    if (RectWidth(r) > 16 && RectHeight(r) > 16)
        r = {r.left + 8, r.top + 8, r.right - 8, r.bottom - 8};
    const double o = RectWidth(r);
    const double h = RectHeight(r);
    if (o / h >= double(a) / double(b)) {
        const int u = int((o - double(a) * h / double(b)) * 0.5);
        r.left += u;
        r.right -= u;
    } else {
        const int u = int((h - double(b) * o / double(a)) * 0.5);
        r.top += u;
        r.bottom -= u;
    }
    m_crop = r;
    m_constrained = true;
    m_ratioWidth = a;
    m_ratioHeight = b;
}

Rect32 CropFrame::HandleRect(int index) const {
    const int w = RectWidth(m_crop) + kCropHandleSize;
    const int h = RectHeight(m_crop) + kCropHandleSize;
    static constexpr int kSteps[kCropHandleCount][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 2},
                                                        {2, 2}, {2, 1}, {2, 0}, {1, 0}};
    const int dx = kSteps[index][0] * w / 2;
    const int dy = kSteps[index][1] * h / 2;
    const int left = m_crop.left - kCropHandleSize + dx;
    const int top = m_crop.top - kCropHandleSize + dy;
    return {left, top, left + kCropHandleSize, top + kCropHandleSize};
}

bool CropFrame::HandleActive(int index) const {
    return index >= 0 && index < kCropHandleCount && (!m_constrained || index % 2 == 0);
}

int CropFrame::HitHandle(QPoint p) const {
    for (int i = 0; i < kCropHandleCount; ++i) {
        if (HandleActive(i) && RectContains(HandleRect(i), p))
            return i;
    }
    return -1;
}

bool CropFrame::BeginDrag(QPoint p) {
    const int handle = HitHandle(p);
    if (handle >= 0) {
        m_drag = Drag::Resize;
        m_handle = handle;
    } else if (RectContains(m_crop, p)) {
        m_drag = Drag::Move;
        m_handle = -1;
    } else {
        return false;
    }
    m_start = m_crop;
    m_pressPoint = p;
    return true;
}

void CropFrame::DragTo(QPoint p) {
    if (m_drag == Drag::Resize)
        Resize(p);
    else if (m_drag == Drag::Move)
        Move(p);
}

void CropFrame::EndDrag() {
    m_drag = Drag::None;
    m_handle = -1;
}

void CropFrame::Resize(QPoint p) {
    const bool horizontal = MovesLeft(m_handle) || MovesRight(m_handle);
    const bool vertical = MovesTop(m_handle) || MovesBottom(m_handle);
    const int fixedX = MovesLeft(m_handle) ? m_start.right : m_start.left;
    const int fixedY = MovesTop(m_handle) ? m_start.bottom : m_start.top;
    Rect32 r = m_start;
    if (horizontal)
        Span(fixedX, p.x(), m_display.left, m_display.right, r.left, r.right);
    if (vertical)
        Span(fixedY, p.y(), m_display.top, m_display.bottom, r.top, r.bottom);
    if (m_constrained && horizontal && vertical) {
        int d = RectWidth(r);
        int e = RectHeight(r);
        if (double(m_ratioWidth) * e >= double(m_ratioHeight) * d)
            e = int(double(d) * m_ratioHeight / m_ratioWidth);
        else
            d = int(double(e) * m_ratioWidth / m_ratioHeight);
        FromFixed(fixedX, p.x(), d, r.left, r.right);
        FromFixed(fixedY, p.y(), e, r.top, r.bottom);
    }
    m_crop = r;
    KeepInside();
}

void CropFrame::Move(QPoint p) {
    const int dx = p.x() - m_pressPoint.x();
    const int dy = p.y() - m_pressPoint.y();
    m_crop = {m_start.left + dx, m_start.top + dy, m_start.right + dx, m_start.bottom + dy};
    KeepInside();
}

void CropFrame::KeepInside() {
    // Pushed back, keeping its size, in the order left, right, bottom, top; a rectangle larger
    // than the display (never made here) would end at the display's top-left.
    const int w = RectWidth(m_crop);
    const int h = RectHeight(m_crop);
    if (m_crop.left < m_display.left)
        m_crop.left = m_display.left;
    if (m_crop.left + w > m_display.right)
        m_crop.left = m_display.right - w;
    if (m_crop.top + h > m_display.bottom)
        m_crop.top = m_display.bottom - h;
    if (m_crop.top < m_display.top)
        m_crop.top = m_display.top;
    m_crop.left = std::max(m_crop.left, m_display.left);
    m_crop.right = std::min(m_crop.left + w, m_display.right);
    m_crop.bottom = std::min(m_crop.top + h, m_display.bottom);
}

Rect32 CropFrame::Result(QSize pictureSize) const {
    const int dw = RectWidth(m_display);
    const int dh = RectHeight(m_display);
    const int w = pictureSize.width();
    const int h = pictureSize.height();
    return {Scaled(m_crop.left - m_display.left, w, dw), Scaled(m_crop.top - m_display.top, h, dh),
            Scaled(m_crop.right - m_display.left, w, dw),
            Scaled(m_crop.bottom - m_display.top, h, dh)};
}

void CropFrame::SetCropFromPicture(const Rect32& picture, QSize pictureSize) {
    const int dw = RectWidth(m_display);
    const int dh = RectHeight(m_display);
    const int w = pictureSize.width();
    const int h = pictureSize.height();
    if (dw <= 0 || dh <= 0 || w <= 0 || h <= 0)
        return;
    // Outward rounding, so the view rectangle holds every picture pixel asked for.
    const auto down = [](std::int64_t v, std::int64_t size, std::int64_t span) {
        return int(v * span / size);
    };
    const auto up = [](std::int64_t v, std::int64_t size, std::int64_t span) {
        return int((v * span + size - 1) / size);
    };
    Rect32 crop;
    crop.left = m_display.left + std::clamp(down(picture.left, w, dw), 0, dw);
    crop.top = m_display.top + std::clamp(down(picture.top, h, dh), 0, dh);
    crop.right = m_display.left + std::clamp(up(picture.right, w, dw), 0, dw);
    crop.bottom = m_display.top + std::clamp(up(picture.bottom, h, dh), 0, dh);
    if (crop.right > crop.left && crop.bottom > crop.top)
        m_crop = crop;
}

} // namespace mosaiq
