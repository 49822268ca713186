#pragma once

// The photo browser's grid: cells of 68 x 68 pixels laid out in as many columns as fit beside the
// 17-pixel scroll bar, scrolled vertically by an offset. All rectangles are in browser client
// pixels, as (left, top, right, bottom) edges with right and bottom exclusive.

#include <QRect>
#include <QSize>

namespace mosaiq {

class PhotoGrid {
public:
    static constexpr int kCellWidth = 68;
    static constexpr int kCellHeight = 68;
    static constexpr int kMarginX = 5;
    static constexpr int kMarginY = 10;
    static constexpr int kScrollBarWidth = 17;
    // The "Add to Canvas" button covers the bottom of the browser; no photo is hit there.
    static constexpr int kButtonBand = 26;
    // Height of a caption below its cell.
    static constexpr int kCaptionHeight = 20;

    // Sets the client size and the number of visible photos; the offset is clamped to the new
    // maximum.
    void SetClient(QSize client, int count);
    // Sets the vertical offset, clamped to 0 … MaxOffset(). Returns true when it changed.
    bool SetOffset(int offset);

    int Columns() const;
    int Rows() const;
    int Count() const { return m_count; }
    int Offset() const { return m_offset; }
    // rows × cell height + 33 − client height, or 0 when everything fits (the bar is hidden).
    int MaxOffset() const;
    bool NeedsScrollBar() const { return MaxOffset() > 0; }
    QSize Client() const { return m_client; }

    // The cell rectangle of visible position i (inside the cell margins), scrolled.
    QRect Cell(int i) const;
    // The thumbnail rectangle: a picture of w × h fitted into the cell (shrunk only, aspect
    // kept), centred in it.
    QRect Thumbnail(int i, int pictureWidth, int pictureHeight) const;
    // The caption box below a cell.
    QRect Caption(int i) const;
    // True when the cell is wholly above the client area.
    bool IsAbove(int i) const;
    // True when the cell starts below the part of the client above the button band: drawing and
    // hit testing stop there.
    bool IsBelow(int i) const;
    // The first visible position to draw and one past the last (empty with no columns).
    int FirstShown() const;
    int EndShown() const;
    // The visible position under a client point, or −1 (never inside the button band).
    int HitTest(QPoint p) const;
    // The offset that makes cell i fully visible, changing the current one as little as possible.
    int OffsetToShow(int i) const;

private:
    QSize m_client;
    int m_count = 0;
    int m_offset = 0;
};

// Cuts a text to a number of characters for a box: a text of more than fit characters becomes
// "..." when it is shorter than 4 characters, otherwise its first fit − 4 characters (none when
// fit is below 4) followed by "... ". fit is the box width divided by the width of a "T".
QString CutTextToFit(const QString& text, int fit);

} // namespace mosaiq
