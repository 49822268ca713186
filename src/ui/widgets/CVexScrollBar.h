#pragma once

// The program's own scroll bar, 17 pixels thick: arrows at both ends, a thumb whose length shrinks
// with the range, paging on the track and dragging of the thumb. It reports every action as a code
// (ScrollCode) with the position, first to itself (codeSent) and then to its owner (scrolled).
// CVScrollBar is the vertical bar, CHScrollBar the horizontal one; the horizontal bar draws the
// vertical bar's artwork turned on its side.

#include "ui/ScrollMetrics.h"

#include <QWidget>

namespace mosaiq {

class CVexScrollBar : public QWidget {
    Q_OBJECT
public:
    enum Look { kPressed = 1, kHover = 16, kNormal = 32 };

    CVexScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    void SetStep(int step);
    void SetRange(int range);
    void SetPosition(int position);
    int Position() const { return m_metrics.Position(); }
    int Range() const { return m_metrics.Range(); }
    const ScrollMetrics& Metrics() const { return m_metrics; }
    Qt::Orientation Orientation() const { return m_orientation; }
    int Look() const { return m_look; }
    // Acts as a press on its parts does: LineUp/LineDown as the arrows, PageUp/PageDown as the
    // track; the position moves by what the owner does with the code.
    void Step(ScrollCode code) { Send(code); }

    // Parts in client pixels.
    QRect LineUpRect() const;
    QRect LineDownRect() const;
    QRect ThumbRect() const;

    QSize sizeHint() const override;

signals:
    // Sent first: the bar's own notification of a code.
    void codeSent(int code, int position);
    // Sent next, to the owner.
    void scrolled(int code, int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int Along(QPoint p) const; // the coordinate along the bar
    int LongLength() const;
    QRect Oriented(const QRect& vertical) const; // a vertical-bar rectangle in this bar
    void Send(ScrollCode code);
    void SetLook(int look);

    Qt::Orientation m_orientation;
    ScrollMetrics m_metrics;
    int m_look = kNormal;
    bool m_dragging = false;
    bool m_pressedOnPart = false;
    int m_pressAlong = 0;
    int m_thumbAtPress = 0;
};

class CVScrollBar : public CVexScrollBar {
    Q_OBJECT
public:
    explicit CVScrollBar(QWidget* parent = nullptr) : CVexScrollBar(Qt::Vertical, parent) {}
};

class CHScrollBar : public CVexScrollBar {
    Q_OBJECT
public:
    explicit CHScrollBar(QWidget* parent = nullptr) : CVexScrollBar(Qt::Horizontal, parent) {}
};

} // namespace mosaiq
