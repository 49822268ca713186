#pragma once

// The geometry and the rules of a library panel's thumbnail grid, without a window: cells of
// CW × CH pixels laid out in as many columns as the client width holds, a vertical scroll offset
// with one spare row of slack, the selected item, and what a click, a double-click, the wheel,
// a scroll-bar code or an arrow key does. All positions are client pixels of the panel.

#include <QRect>
#include <QSize>

namespace mosaiq {

class LibraryGrid {
public:
    static constexpr int kMargin = 3;
    // Wheel notches and scroll-bar lines and pages move by this many pixels.
    static constexpr int kScrollStep = 100;
    // A double-click on an item whose top is this close to the client bottom does nothing
    // (the panel's buttons sit there).
    static constexpr int kBottomRule = 30;

    void SetCellSize(int width, int height);
    void SetClientSize(QSize size);
    // Sets the item count: the selection is cleared and the scroll offset kept within range.
    void SetCount(int count);

    int Count() const { return m_count; }
    int CellWidth() const { return m_cellWidth; }
    int CellHeight() const { return m_cellHeight; }
    QSize ClientSize() const { return m_client; }

    // client width div CW; with 0 columns nothing is drawn or hit.
    int Columns() const;
    int Rows() const;
    QRect ItemRect(int index) const;
    // (rows + 1) × CH − client height, or 0 when that is not positive (no scroll bar then).
    int MaxScroll() const;
    int Scroll() const { return m_scroll; }
    // Sets the offset, clamped to 0 … MaxScroll().
    void SetScroll(int offset);

    // The items to draw: [first, last) — those not entirely above the client area, up to the
    // first whose top is below it.
    int FirstVisible() const;
    int EndVisible() const;

    // The first item whose rectangle contains the point, or −1.
    int HitTest(QPoint p) const;
    // The item a double-click at p chooses, or −1: items above the client area are skipped and
    // the scan stops at the first whose top lies within kBottomRule pixels of the bottom.
    int DoubleClickHit(QPoint p) const;

    int Selected() const { return m_selected; }
    // Selects one item alone (−1 clears); an index outside the items clears too.
    void Select(int index);
    // Moves the offset just enough to show the item fully (nothing for an unknown item).
    void EnsureVisible(int index);

    // A wheel turn of delta (any sign; 0 does nothing): one step of kScrollStep per turn.
    void Wheel(int delta);
    // A code of the panel's scroll bar (ScrollCode values) with the bar's position.
    void ApplyScrollCode(int code, int position);
    // An arrow key (Qt::Key_Left … Key_Down): with no selection item 0 is selected; otherwise
    // the neighbour in that direction, when there is one, and for up and down the offset moves
    // just enough to show it. True when the selection changed.
    bool ArrowKey(int key);

private:
    int m_cellWidth = 60;
    int m_cellHeight = 60;
    QSize m_client;
    int m_count = 0;
    int m_scroll = 0;
    int m_selected = -1;
};

} // namespace mosaiq
