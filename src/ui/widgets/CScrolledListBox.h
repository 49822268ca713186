#pragma once

// A container that shows a CQorListBox with the program's own scroll bars, 17 pixels along the
// right edge and along the bottom; the vertical bar steps by the list's item height. A bar shows
// only while the list does not fit.

#include <QWidget>

namespace mosaiq {

class CQorListBox;
class CVScrollBar;
class CHScrollBar;

class CScrolledListBox : public QWidget {
    Q_OBJECT
public:
    explicit CScrolledListBox(QWidget* parent = nullptr);

    CQorListBox* List() const { return m_list; }
    CVScrollBar* VerticalBar() const { return m_vertical; }
    CHScrollBar* HorizontalBar() const { return m_horizontal; }
    // Lays out the list and the bars again after the items changed.
    void UpdateBars();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnVertical(int code, int position);
    void OnHorizontal(int code, int position);

    CQorListBox* m_list;
    CVScrollBar* m_vertical;
    CHScrollBar* m_horizontal;
};

// Applies a scroll code to an offset: a line is `line` pixels, a page 100, clamped to 0…range.
int ApplyScrollCode(int code, int position, int offset, int line, int range);

} // namespace mosaiq
