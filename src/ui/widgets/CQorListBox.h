#pragma once

// An owner-drawn list of text items in rows of one height, shown from a scroll offset that its
// container (CScrolledListBox) sets. A click selects a row, a double click or Enter activates it.

#include "ui/WheelAccumulator.h"

#include <QStringList>
#include <QWidget>

namespace mosaiq {

class CQorListBox : public QWidget {
    Q_OBJECT
public:
    explicit CQorListBox(QWidget* parent = nullptr);

    void SetItems(const QStringList& items);
    const QStringList& Items() const { return m_items; }
    int Count() const { return int(m_items.size()); }
    void SetCurrentRow(int row);
    int CurrentRow() const { return m_current; }
    int ItemHeight() const { return m_itemHeight; }
    // The row at a client point, or -1.
    int RowAt(QPoint client) const;

    // Content size in pixels, and the offset of the view into it.
    QSize ContentSize() const;
    void SetOffset(QPoint offset);
    QPoint Offset() const { return m_offset; }
    // Scrolls so that the row is in view.
    void EnsureVisible(int row);

signals:
    void currentRowChanged(int row);
    void rowActivated(int row);
    // A left-button release over a row.
    void rowClicked(int row);
    void offsetChanged(QPoint offset);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QStringList m_items;
    int m_current = -1;
    int m_hover = -1;
    int m_itemHeight = 18;
    QPoint m_offset;
    WheelAccumulator m_wheel;
};

} // namespace mosaiq
