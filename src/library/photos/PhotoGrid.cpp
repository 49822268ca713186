#include "library/photos/PhotoGrid.h"

#include "imaging/decode/PictureLoaders.h"

#include <QString>

#include <algorithm>

namespace mosaiq {

void PhotoGrid::SetClient(QSize client, int count) {
    m_client = client;
    m_count = std::max(0, count);
    SetOffset(m_offset);
}

bool PhotoGrid::SetOffset(int offset) {
    const int clamped = std::clamp(offset, 0, std::max(0, MaxOffset()));
    if (clamped == m_offset)
        return false;
    m_offset = clamped;
    return true;
}

int PhotoGrid::Columns() const {
    const int usable = m_client.width() - kScrollBarWidth;
    return usable > 0 ? usable / kCellWidth : 0;
}

int PhotoGrid::Rows() const {
    const int columns = Columns();
    return columns > 0 ? (m_count + columns - 1) / columns : 0;
}

int PhotoGrid::MaxOffset() const {
    return std::max(0, Rows() * kCellHeight + 33 - m_client.height());
}

QRect PhotoGrid::Cell(int i) const {
    const int columns = Columns();
    if (columns <= 0 || i < 0)
        return QRect();
    const int c = i % columns;
    const int r = i / columns;
    const int left = c * kCellWidth + kMarginX;
    const int right = (c + 1) * kCellWidth - kMarginX;
    const int top = r * kCellHeight + kMarginY - m_offset;
    const int bottom = (r + 1) * kCellHeight - kMarginY - m_offset;
    return QRect(left, top, right - left, bottom - top);
}

QRect PhotoGrid::Thumbnail(int i, int pictureWidth, int pictureHeight) const {
    const QRect cell = Cell(i);
    if (cell.isNull())
        return QRect();
    const QSize fit = FitSize(std::max(0, pictureWidth), std::max(0, pictureHeight), cell.width(),
                              cell.height(), false);
    return QRect(cell.left() + (cell.width() - fit.width()) / 2,
                 cell.top() + (cell.height() - fit.height()) / 2, fit.width(), fit.height());
}

QRect PhotoGrid::Caption(int i) const {
    const QRect cell = Cell(i);
    const int left = cell.left() + 2;
    const int top = cell.top() + cell.height();
    return QRect(left, top, cell.left() + cell.width() - left, kCaptionHeight);
}

bool PhotoGrid::IsAbove(int i) const {
    const QRect cell = Cell(i);
    return cell.top() + cell.height() < 0;
}

bool PhotoGrid::IsBelow(int i) const {
    return Cell(i).top() > m_client.height() - kButtonBand;
}

int PhotoGrid::FirstShown() const {
    const int columns = Columns();
    if (columns <= 0)
        return 0;
    // Rows whose cells end above the client are skipped.
    const int row = std::max(0, (m_offset - (kCellHeight - kMarginY)) / kCellHeight);
    int i = std::min(m_count, row * columns);
    while (i < m_count && IsAbove(i))
        ++i;
    return i;
}

int PhotoGrid::EndShown() const {
    if (Columns() <= 0)
        return 0;
    int i = FirstShown();
    while (i < m_count && !IsBelow(i))
        ++i;
    return i;
}

int PhotoGrid::HitTest(QPoint p) const {
    if (p.y() >= m_client.height() - kButtonBand)
        return -1;
    const int end = EndShown();
    for (int i = FirstShown(); i < end; ++i)
        if (Cell(i).contains(p))
            return i;
    return -1;
}

int PhotoGrid::OffsetToShow(int i) const {
    const QRect cell = Cell(i);
    if (cell.isNull())
        return m_offset;
    const int top = cell.top() + m_offset; // unscrolled
    const int bottom = top + cell.height() + kCaptionHeight;
    const int visibleHeight = m_client.height() - kButtonBand;
    if (top - kMarginY < m_offset)
        return std::max(0, top - kMarginY);
    if (bottom > m_offset + visibleHeight)
        return std::min(MaxOffset(), bottom - visibleHeight);
    return m_offset;
}

QString CutTextToFit(const QString& text, int fit) {
    if (text.size() <= fit)
        return text;
    if (text.size() < 4)
        return QStringLiteral("...");
    return text.left(std::max(0, fit - 4)) + QStringLiteral("... ");
}

} // namespace mosaiq
