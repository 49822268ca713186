#include "ui/ColourPopupLayout.h"

#include "ui/NamedColours.h"

#include <algorithm>

namespace mosaiq {

ColourPopupLayout::ColourPopupLayout(const ColourPopupInput& in)
    : m_margin(in.margin), m_box(in.box) {
    const int m = in.margin;
    const int textWidth = std::max(in.automaticText.width(), in.moreText.width()) + 2 * m;
    const int h = std::max(in.automaticText.height(), in.moreText.height()) + 4 * m + 2;
    int width = 2 * m + kNamedColourColumns * m_box;
    int height = kNamedColourRows * m_box + 2 * m;
    const bool hasAutomatic = !in.automaticText.isEmpty();
    const bool hasMore = !in.moreText.isEmpty();
    if (hasAutomatic || hasMore)
        width = std::max(width, textWidth);
    if (hasAutomatic) {
        m_automatic = QRect(QPoint(m, m), QPoint(width - m - 1, h + 2 * m - 1));
        height += 2 * m + m_automatic.height();
        m_cellShift = m_automatic.height() + m;
    }
    if (hasMore) {
        m_more = QRect(QPoint(m, height), QPoint(width - m - 1, height + m + h - 1));
        height += 2 * m + m_more.height();
    }

    // Keep the popup on the screen; near the bottom it opens above the picker instead.
    QRect window(in.origin, QSize(width, height));
    const QRect screen = in.screen;
    if (window.right() > screen.right())
        window.moveRight(screen.right());
    if (window.left() < screen.left())
        window.moveLeft(screen.left());
    if (window.bottom() > screen.bottom())
        window.moveBottom(in.buttonTop - 1);
    m_window = window;
}

QRect ColourPopupLayout::Cell(int index) const {
    return QRect((index % kNamedColourColumns) * m_box + m_margin,
                 (index / kNamedColourColumns) * m_box + m_margin + m_cellShift, m_box, m_box);
}

QRect ColourPopupLayout::ItemRect(int item) const {
    if (item == kPopupAutomatic)
        return m_automatic;
    if (item == kPopupMoreColours)
        return m_more;
    if (item >= 0 && item < kNamedColourCount)
        return Cell(item);
    return {};
}

std::optional<int> ColourPopupLayout::ItemAt(QPoint p) const {
    if (HasMore() && m_more.contains(p))
        return kPopupMoreColours;
    if (HasAutomatic() && m_automatic.contains(p))
        return kPopupAutomatic;
    const int x = p.x() - m_margin;
    const int y = p.y() - m_margin - m_cellShift;
    if (x < 0 || y < 0)
        return std::nullopt;
    const int column = x / m_box;
    const int row = y / m_box;
    if (column >= kNamedColourColumns || row >= kNamedColourRows)
        return std::nullopt;
    return row * kNamedColourColumns + column;
}

int ColourPopupLayout::Step(int item, int dx, int dy) const {
    if (item == kPopupNone)
        return 0;
    return dy != 0 ? StepVertical(item, dy) : StepHorizontal(item, dx);
}

int ColourPopupLayout::StepVertical(int item, int dy) const {
    const int lastRow = kNamedColourCount - kNamedColourColumns;
    if (item == kPopupAutomatic) // down into the grid, up round to the bottom box
        return dy > 0 ? 0 : (HasMore() ? kPopupMoreColours : lastRow);
    if (item == kPopupMoreColours)
        return dy < 0 ? lastRow : (HasAutomatic() ? kPopupAutomatic : 0);
    const int next = item + dy * kNamedColourColumns;
    if (next < 0)
        return HasAutomatic() ? kPopupAutomatic : item;
    if (next >= kNamedColourCount)
        return HasMore() ? kPopupMoreColours : item;
    return next;
}

int ColourPopupLayout::StepHorizontal(int item, int dx) const {
    if (item == kPopupAutomatic)
        return dx > 0 ? 0 : (HasMore() ? kPopupMoreColours : kNamedColourCount - 1);
    if (item == kPopupMoreColours)
        return dx < 0 ? kNamedColourCount - 1 : (HasAutomatic() ? kPopupAutomatic : 0);
    const int next = item + dx; // left and right run on into the neighbouring row
    if (next < 0)
        return HasAutomatic() ? kPopupAutomatic : item;
    if (next >= kNamedColourCount)
        return HasMore() ? kPopupMoreColours : item;
    return next;
}

} // namespace mosaiq
