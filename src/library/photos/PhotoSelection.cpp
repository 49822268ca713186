#include "library/photos/PhotoSelection.h"

#include "library/photos/PhotoGrid.h"

#include <algorithm>

namespace mosaiq {

void PhotoSelection::SetRecords(const std::vector<PictureFileEntry>& records) {
    m_visible.clear();
    m_selected.resize(records.size(), 0);
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].hidden) {
            m_selected[i] = 0;
            if (m_anchor == int(i))
                m_anchor = -1;
        } else {
            m_visible.push_back(int(i));
        }
    }
    if (m_anchor >= int(records.size()))
        m_anchor = -1;
}

int PhotoSelection::RecordAt(int position) const {
    return position >= 0 && position < VisibleCount() ? m_visible[size_t(position)] : -1;
}

int PhotoSelection::PositionOf(int record) const {
    const auto it = std::lower_bound(m_visible.begin(), m_visible.end(), record);
    return it != m_visible.end() && *it == record ? int(it - m_visible.begin()) : -1;
}

bool PhotoSelection::IsSelected(int record) const {
    return record >= 0 && record < int(m_selected.size()) && m_selected[size_t(record)];
}

std::vector<int> PhotoSelection::SelectedRecords() const {
    std::vector<int> out;
    for (int record : m_visible)
        if (m_selected[size_t(record)])
            out.push_back(record);
    return out;
}

bool PhotoSelection::Set(int record, bool selected) {
    char& flag = m_selected[size_t(record)];
    if (bool(flag) == selected)
        return false;
    flag = selected ? 1 : 0;
    return true;
}

bool PhotoSelection::Click(int position, bool ctrl, bool shift) {
    const int p = RecordAt(position);
    if (p < 0)
        return false;
    if (!ctrl && !shift) {
        bool changed = false;
        if (!IsSelected(p))
            changed = ClearAll();
        changed = Set(p, true) || changed;
        m_anchor = p;
        return changed;
    }
    if (ctrl && !shift) {
        Set(p, !IsSelected(p));
        if (IsSelected(p))
            m_anchor = p;
        return true;
    }
    if (ctrl || m_anchor < 0 || PositionOf(m_anchor) < 0) {
        m_anchor = p;
        return Set(p, true);
    }
    // A range from the anchor to p, both included; the anchor stays.
    std::fill(m_selected.begin(), m_selected.end(), 0);
    const int from = PositionOf(m_anchor);
    const auto [lo, hi] = std::minmax(from, position);
    for (int i = lo; i <= hi; ++i)
        m_selected[size_t(m_visible[size_t(i)])] = 1;
    return true;
}

bool PhotoSelection::ClearAll() {
    m_anchor = -1;
    bool changed = false;
    for (char& flag : m_selected) {
        changed = changed || flag;
        flag = 0;
    }
    return changed;
}

bool PhotoSelection::ApplyBand(const PhotoGrid& grid, const std::vector<PictureFileEntry>& records,
                               const QRect& band) {
    const QRect b = band.normalized();
    bool changed = false;
    for (int i = 0; i < VisibleCount(); ++i) {
        const int record = m_visible[size_t(i)];
        const PictureFileEntry& e = records[size_t(record)];
        const QRect t = grid.Thumbnail(i, int(e.width), int(e.height));
        // Edges compared as (left, top, right, bottom) with right and bottom exclusive.
        const bool inside = !t.isNull() && b.left() < t.left() && b.top() < t.top() &&
                            t.left() + t.width() < b.left() + b.width() &&
                            t.top() + t.height() < b.top() + b.height();
        changed = Set(record, inside) || changed;
    }
    return changed;
}

bool PhotoSelection::SelectAll() {
    bool changed = false;
    for (int record : m_visible)
        changed = Set(record, true) || changed;
    if (m_anchor < 0 && !m_visible.empty())
        m_anchor = m_visible.front();
    return changed;
}

int PhotoSelection::Step(Direction direction, int columns) {
    if (m_visible.empty() || columns <= 0)
        return -1;
    const int from = PositionOf(m_anchor);
    int to = 0;
    if (from >= 0) {
        const bool sideways = direction == Direction::Left || direction == Direction::Right;
        const int delta = direction == Direction::Left    ? -1
                          : direction == Direction::Right ? 1
                          : direction == Direction::Up    ? -columns
                                                          : columns;
        to = from + delta;
        if (to < 0 || to >= VisibleCount())
            return -1;
        // Left and right stay in the anchor's row.
        if (sideways && to / columns != from / columns)
            return -1;
        Set(m_anchor, false);
    }
    m_anchor = m_visible[size_t(to)];
    Set(m_anchor, true);
    return to;
}

} // namespace mosaiq
