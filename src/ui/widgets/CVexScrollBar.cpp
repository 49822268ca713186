#include "ui/widgets/CVexScrollBar.h"

#include "ui/widgets/Skin.h"
#include "ui/widgets/SkinPainting.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <QMouseEvent>
#include <QPainter>

namespace mosaiq {

CVexScrollBar::CVexScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), m_orientation(orientation) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    if (orientation == Qt::Vertical)
        setFixedWidth(kScrollBarThickness);
    else
        setFixedHeight(kScrollBarThickness);
}

QSize CVexScrollBar::sizeHint() const {
    return m_orientation == Qt::Vertical ? QSize(kScrollBarThickness, 100)
                                         : QSize(100, kScrollBarThickness);
}

int CVexScrollBar::LongLength() const {
    return m_orientation == Qt::Vertical ? height() : width();
}

int CVexScrollBar::Along(QPoint p) const {
    return m_orientation == Qt::Vertical ? p.y() : p.x();
}

QRect CVexScrollBar::Oriented(const QRect& r) const {
    return m_orientation == Qt::Vertical ? r : QRect(r.y(), r.x(), r.height(), r.width());
}

void CVexScrollBar::SetStep(int step) {
    m_metrics.SetStep(step);
    m_metrics.SetRange(m_metrics.Range());
    update();
}

void CVexScrollBar::SetRange(int range) {
    m_metrics.SetRange(range);
    update();
}

void CVexScrollBar::SetPosition(int position) {
    const int before = Position();
    m_metrics.SetPosition(position);
    update();
    if (Position() != before)
        AnnounceValue(this, Position());
}

void CVexScrollBar::resizeEvent(QResizeEvent*) {
    m_metrics.SetLength(LongLength());
}

QRect CVexScrollBar::LineUpRect() const {
    return Oriented(QRect(0, 0, kScrollBarThickness, kScrollArrowLength));
}

QRect CVexScrollBar::LineDownRect() const {
    return Oriented(
        QRect(0, LongLength() - kScrollArrowLength, kScrollBarThickness, kScrollArrowLength));
}

QRect CVexScrollBar::ThumbRect() const {
    return Oriented(QRect(0, m_metrics.ThumbStart(), kScrollBarThickness, m_metrics.ThumbLength()));
}

void CVexScrollBar::Send(ScrollCode code) {
    emit codeSent(int(code), Position());
    emit scrolled(int(code), Position());
}

void CVexScrollBar::SetLook(int look) {
    if (m_look != look) {
        m_look = look;
        update();
    }
}

void CVexScrollBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_orientation == Qt::Horizontal) // draw as a vertical bar, turned on its side
        p.setTransform(QTransform(0, 1, 1, 0, 0, 0));
    const int length = LongLength();
    const int t = kScrollBarThickness;
    p.fillRect(QRect(0, 0, t, length), Qt::white);
    DrawBitmapPart(p, QRect(0, 0, t, 16), SkinBitmap(163), QRect(0, 0, t, 16));
    DrawBitmapPart(p, QRect(0, 16, t, length - 32), SkinBitmap(161), QRect(0, 0, t, 1));
    DrawBitmapPart(p, QRect(0, length - 16, t, 16), SkinBitmap(162), QRect(0, 0, t, 16));
    const int top = m_metrics.ThumbStart();
    const int thumbLength = m_metrics.ThumbLength();
    if (thumbLength < 20)
        return;
    DrawBitmapPart(p, QRect(0, top, t, 10), SkinBitmap(159), QRect(0, 0, t, 10));
    TileBitmapPart(p, QRect(0, top + 10, t, thumbLength - 20), SkinBitmap(160), QRect(0, 0, t, 4));
    DrawBitmapPart(p, QRect(0, top + thumbLength - 10, t, 10), SkinBitmap(158), QRect(0, 0, t, 10));
    if (m_look != kNormal) { // hover darkens the thumb, pressed turns it the accent colour
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(m_look == kPressed ? QColor(61, 127, 208, 150) : QColor(60, 70, 90, 40));
        p.drawRoundedRect(QRectF(3, top + 1, 11, thumbLength - 2), 5, 5);
    }
}

void CVexScrollBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    m_pressedOnPart = true;
    if (ThumbRect().contains(pos)) {
        m_dragging = true;
        m_pressAlong = Along(pos);
        m_thumbAtPress = m_metrics.ThumbStart();
        SetLook(kPressed);
    } else if (LineDownRect().contains(pos)) {
        Send(ScrollCode::LineDown);
    } else if (LineUpRect().contains(pos)) {
        Send(ScrollCode::LineUp);
    } else {
        m_pressedOnPart = false;
    }
}

void CVexScrollBar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_dragging) {
        if (const auto position =
                m_metrics.DragPosition(m_thumbAtPress, Along(pos) - m_pressAlong)) {
            SetPosition(*position);
            Send(ScrollCode::ThumbDrag);
        }
        return;
    }
    SetLook(ThumbRect().contains(pos) ? kHover : kNormal);
}

void CVexScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (!m_dragging && !m_pressedOnPart && rect().contains(pos)) {
        // Paging: the track after the thumb pages down, before it pages up.
        Send(m_metrics.ThumbStart() < Along(pos) ? ScrollCode::PageDown : ScrollCode::PageUp);
    }
    m_dragging = false;
    m_pressedOnPart = false;
    SetLook(ThumbRect().contains(pos) ? kHover : kNormal);
}

void CVexScrollBar::leaveEvent(QEvent*) {
    if (!m_dragging)
        SetLook(kNormal);
}

} // namespace mosaiq
