#pragma once

// A track-bar drawn from a track bitmap and thumb bitmaps. A click on the track moves the thumb
// there and notifies at once; dragging the thumb moves it freely and notifies on release. With the
// keyboard focus (reached by Tab) the arrows step by one, Page Up and Page Down by a tenth of the
// range, Home and End go to the ends; every key notifies.

#include <QWidget>

namespace mosaiq {

class CBitmapSlider : public QWidget {
    Q_OBJECT
public:
    enum Flag { kShowTip = 0x10, kFollowTip = 0x20 };
    enum State { kPressed = 1, kHover = 16, kNormal = 32 };
    static constexpr int kThumbWidth = 16;
    static constexpr int kThumbHeight = 13;

    // A slider with the track 170, the thumb 156 in every state and the flags 12.
    explicit CBitmapSlider(int controlId, QWidget* parent = nullptr);

    void SetBitmaps(int track, int thumbNormal, int thumbHover, int thumbPressed);
    void SetFlags(int flags) { m_flags = flags; }
    void SetRange(int minimum, int maximum);
    void SetPosition(int position);

    int Position() const { return m_position; }
    int Minimum() const { return m_min; }
    int Maximum() const { return m_max; }
    int ControlId() const { return m_id; }
    int State() const { return m_state; }
    bool IsDragging() const { return m_dragging; }
    QRect ThumbRect() const;
    // The position a client x coordinate stands for, clamped to the range.
    int PositionAt(int x) const;
    // The tooltip text: the position as a percentage of the range.
    QString TipText() const;
    // Moves by `steps` single steps (negative: towards the minimum) and notifies when it moved,
    // as a key press does. True when it moved.
    bool StepBy(int steps);
    // One Page Up or Page Down: a tenth of the range, at least 1.
    int PageStep() const;

signals:
    void positionChanged(int controlId, int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ShowTip();
    bool MoveTo(int position); // sets and notifies when it changed

    int m_id;
    int m_track = 170;
    int m_thumb[3] = {156, 156, 156};
    int m_flags = 12;
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    int m_state = kNormal;
    bool m_dragging = false;
};

} // namespace mosaiq
