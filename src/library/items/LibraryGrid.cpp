#include "library/items/LibraryGrid.h"

#include <QtGlobal>

#include <algorithm>

namespace mosaiq {

void LibraryGrid::SetCellSize(int width, int height) {
    m_cellWidth = std::max(1, width);
    m_cellHeight = std::max(1, height);
    SetScroll(m_scroll);
}

void LibraryGrid::SetClientSize(QSize size) {
    m_client = size;
    SetScroll(m_scroll);
}

void LibraryGrid::SetCount(int count) {
    m_count = std::max(0, count);
    m_selected = -1;
    SetScroll(m_scroll);
}

int LibraryGrid::Columns() const {
    return std::max(0, m_client.width() / m_cellWidth);
}

int LibraryGrid::Rows() const {
    const int columns = Columns();
    return columns == 0 ? 0 : (m_count + columns - 1) / columns;
}

QRect LibraryGrid::ItemRect(int index) const {
    const int columns = Columns();
    if (columns == 0 || index < 0 || index >= m_count)
        return QRect();
    const int c = index % columns;
    const int r = index / columns;
    const int left = kMargin + c * m_cellWidth;
    const int right = (c + 1) * m_cellWidth - kMargin;
    const int top = r * m_cellHeight + kMargin - m_scroll;
    const int bottom = (r + 1) * m_cellHeight - m_scroll - kMargin;
    return QRect(left, top, right - left, bottom - top);
}

int LibraryGrid::MaxScroll() const {
    if (Columns() == 0)
        return 0;
    return std::max(0, (Rows() + 1) * m_cellHeight - m_client.height());
}

void LibraryGrid::SetScroll(int offset) {
    m_scroll = std::clamp(offset, 0, MaxScroll());
}

int LibraryGrid::FirstVisible() const {
    const int columns = Columns();
    if (columns == 0)
        return 0;
    // Rows whose bottom edge is at or above 0 are entirely above the client area.
    const int firstRow = std::max(0, (m_scroll + kMargin) / m_cellHeight);
    return std::min(m_count, firstRow * columns);
}

int LibraryGrid::EndVisible() const {
    const int columns = Columns();
    if (columns == 0)
        return 0;
    for (int i = FirstVisible(); i < m_count; ++i)
        if (ItemRect(i).top() > m_client.height())
            return i;
    return m_count;
}

int LibraryGrid::HitTest(QPoint p) const {
    for (int i = FirstVisible(); i < EndVisible(); ++i)
        if (ItemRect(i).contains(p))
            return i;
    return -1;
}

int LibraryGrid::DoubleClickHit(QPoint p) const {
    for (int i = FirstVisible(); i < EndVisible(); ++i) {
        const QRect r = ItemRect(i);
        if (r.top() >= m_client.height() - kBottomRule)
            return -1;
        if (r.contains(p))
            return i;
    }
    return -1;
}

void LibraryGrid::Select(int index) {
    m_selected = index >= 0 && index < m_count ? index : -1;
}

void LibraryGrid::Wheel(int delta) {
    if (delta == 0)
        return;
    SetScroll(m_scroll - (delta > 0 ? 1 : -1) * kScrollStep);
}

void LibraryGrid::ApplyScrollCode(int code, int position) {
    // The scroll bar's codes: 0 line up, 1 line down, 2 page up, 3 page down, 4 track,
    // 5 thumb position, 6 top, 7 bottom.
    switch (code) {
    case 0:
    case 2:
        SetScroll(m_scroll - kScrollStep);
        break;
    case 1:
    case 3:
        SetScroll(m_scroll + kScrollStep);
        break;
    case 4:
    case 5:
        SetScroll(position);
        break;
    case 6:
        SetScroll(0);
        break;
    case 7:
        SetScroll(MaxScroll());
        break;
    default:
        break;
    }
}

bool LibraryGrid::ArrowKey(int key) {
    if (m_count == 0 || Columns() == 0)
        return false;
    if (m_selected < 0) {
        Select(0);
        return true;
    }
    const QRect from = ItemRect(m_selected);
    int target = -1;
    for (int i = 0; i < m_count && target < 0; ++i) {
        const QRect r = ItemRect(i);
        const bool sameRow = r.top() == from.top();
        const bool sameColumn = r.left() == from.left();
        if ((key == Qt::Key_Left && sameRow && r.left() == from.left() - m_cellWidth) ||
            (key == Qt::Key_Right && sameRow && r.left() == from.left() + m_cellWidth) ||
            (key == Qt::Key_Up && sameColumn && r.top() == from.top() - m_cellHeight) ||
            (key == Qt::Key_Down && sameColumn && r.top() == from.top() + m_cellHeight))
            target = i;
    }
    if (target < 0)
        return false;
    Select(target);
    if (key == Qt::Key_Up || key == Qt::Key_Down)
        EnsureVisible(target);
    return true;
}

void LibraryGrid::EnsureVisible(int index) {
    const QRect r = ItemRect(index);
    if (!r.isValid())
        return;
    if (r.top() < 0)
        SetScroll(m_scroll + r.top() - kMargin);
    else if (r.bottom() + 1 > m_client.height())
        SetScroll(m_scroll + r.bottom() + 1 + kMargin - m_client.height());
}

} // namespace mosaiq
