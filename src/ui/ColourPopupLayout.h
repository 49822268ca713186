#pragma once

// Geometry and keyboard rules of the colour picker's popup: 40 cells in 8 columns and 5 rows, an
// optional "Automatic" box above and an optional "More Colours..." box below. Rectangles are in
// the popup's client pixels; the window rectangle is in screen pixels.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <optional>

namespace mosaiq {

struct ColourPopupInput {
    int margin = 2;      // the system edge width
    int box = 18;        // cell size: 18, or 2 × edge + 7 when larger
    QSize automaticText; // size of the Automatic text; empty: no Automatic box
    QSize moreText;      // size of the More Colours text; empty: no More Colours box
    QPoint origin;       // where the popup opens: the picker's bottom-left corner
    int buttonTop = 0;   // the picker's top edge, for opening above it
    QRect screen;        // the available screen area
};

class ColourPopupLayout {
public:
    explicit ColourPopupLayout(const ColourPopupInput& input);

    QRect Window() const { return m_window; }
    QRect Cell(int index) const;
    QRect AutomaticBox() const { return m_automatic; }
    QRect MoreBox() const { return m_more; }
    bool HasAutomatic() const { return !m_automatic.isNull(); }
    bool HasMore() const { return !m_more.isNull(); }

    // The item under the client point: a cell 0–39 or one of the two boxes; nothing elsewhere.
    std::optional<int> ItemAt(QPoint client) const;
    // The rectangle of an item (cell or box); null for none.
    QRect ItemRect(int item) const;

    // Where an arrow key takes the hover from `item` (dx, dy one of ±1 or 0).
    int Step(int item, int dx, int dy) const;

private:
    int StepVertical(int item, int dy) const;
    int StepHorizontal(int item, int dx) const;

    int m_margin;
    int m_box;
    int m_cellShift = 0;
    QRect m_window;
    QRect m_automatic;
    QRect m_more;
};

} // namespace mosaiq
