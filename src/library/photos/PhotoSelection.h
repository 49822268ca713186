#pragma once

// Which photos of the photo list the browser shows and which are selected. The visible list holds
// the indices of the records that are not hidden, in list order; positions in it are the grid's
// positions. Selection flags are kept per record (not per position), so they survive scrolling
// and removals; the anchor is the record last selected, −1 for none.

#include "imaging/files/PictureFileEntry.h"

#include <QRect>

#include <vector>

namespace mosaiq {

class PhotoGrid;

class PhotoSelection {
public:
    // Takes the records after a change of the list: rebuilds the visible list; hidden records
    // lose their flag and the anchor when they held it. New records start unselected.
    void SetRecords(const std::vector<PictureFileEntry>& records);

    const std::vector<int>& Visible() const { return m_visible; }
    int VisibleCount() const { return int(m_visible.size()); }
    // The record shown at a position, or −1.
    int RecordAt(int position) const;
    // The position of a record, or −1 when it is not shown.
    int PositionOf(int record) const;
    int Anchor() const { return m_anchor; }
    bool IsSelected(int record) const;
    // The selected records in the order they are shown.
    std::vector<int> SelectedRecords() const;

    // A click on position (modifier keys as they were at the press). Without modifiers an
    // unselected photo becomes the only selection and a selected one keeps the others (so that
    // several can be dragged); Ctrl toggles; Shift selects the range from the anchor (Ctrl+Shift,
    // or Shift without an anchor, selects the photo and makes it the anchor). True when a flag
    // changed or a range was selected.
    bool Click(int position, bool ctrl, bool shift);
    // Clears every flag and the anchor; true when a flag changed.
    bool ClearAll();
    // Band selection: a photo is selected exactly when its thumbnail lies strictly inside band
    // (client pixels of grid). True when a flag changed.
    bool ApplyBand(const PhotoGrid& grid, const std::vector<PictureFileEntry>& records,
                   const QRect& band);
    // Selects every shown photo; the first becomes the anchor when there is none. True on change.
    bool SelectAll();
    // Arrow keys: moves the anchor one cell left or right in its row, or one row up or down in
    // its column; the old anchor is deselected and the new one selected. With no anchor the first
    // photo is selected. Returns the new anchor's position, or −1 when nothing moved.
    enum class Direction { Left, Right, Up, Down };
    int Step(Direction direction, int columns);

private:
    bool Set(int record, bool selected);

    std::vector<int> m_visible;
    std::vector<char> m_selected; // per record
    int m_anchor = -1;
};

} // namespace mosaiq
