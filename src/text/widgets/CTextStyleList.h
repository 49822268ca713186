#pragma once

// The text panel's style list: eight rows in one column, each showing the word "Text" drawn in
// its style by the text drawing itself, with the style's preview colours. A click chooses a row;
// the wheel and the scroll bar (shown only when the rows do not fit) scroll. The samples are
// drawn once per row size and kept.

#include "ui/WheelAccumulator.h"

#include <QPixmap>
#include <QWidget>

#include <array>

namespace mosaiq {

class CVexScrollBar;

class CTextStyleList : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowCount = 8;
    static constexpr int kRowHeight = 48;
    static constexpr int kMargin = 3;

    explicit CTextStyleList(QWidget* parent = nullptr);

    int CurrentRow() const { return m_current; }
    // Marks a row as the only selected one (no rowChosen); -1 selects none.
    void SetCurrentRow(int row);
    int TopOffset() const { return m_top; }
    // The row under a client point, or -1.
    int RowAt(QPoint p) const;
    // The row's rectangle in client pixels (scrolled).
    QRect RowRect(int row) const;
    // The kept sample of a row (drawn on first use).
    const QPixmap& Sample(int row);
    // Makes the row current, shows it and announces rowChosen, as a click on it does.
    void ChooseRow(int row);

signals:
    void rowChosen(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int RowWidth() const;
    int ScrollRange() const;
    void ScrollTo(int top);
    void OnScrolled(int code, int position);

    CVexScrollBar* m_bar = nullptr;
    int m_current = 0;
    int m_top = 0;
    WheelAccumulator m_wheel;
    std::array<QPixmap, kRowCount> m_samples;
};

} // namespace mosaiq
