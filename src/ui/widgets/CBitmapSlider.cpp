#include "ui/widgets/CBitmapSlider.h"

#include "ui/widgets/Skin.h"
#include "ui/widgets/SkinPainting.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace mosaiq {

CBitmapSlider::CBitmapSlider(int controlId, QWidget* parent) : QWidget(parent), m_id(controlId) {
    setMouseTracking(true);
    setMinimumHeight(kThumbHeight);
    setFocusPolicy(Qt::TabFocus);
}

void CBitmapSlider::SetBitmaps(int track, int thumbNormal, int thumbHover, int thumbPressed) {
    m_track = track;
    m_thumb[0] = thumbNormal;
    m_thumb[1] = thumbHover;
    m_thumb[2] = thumbPressed;
    update();
}

void CBitmapSlider::SetRange(int minimum, int maximum) {
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    m_position = std::clamp(m_position, m_min, m_max);
    update();
}

void CBitmapSlider::SetPosition(int position) {
    const int before = m_position;
    m_position = std::clamp(position, m_min, m_max);
    update();
    if (m_position != before)
        AnnounceValue(this, m_position);
}

int CBitmapSlider::PageStep() const {
    return std::max(1, (m_max - m_min) / 10);
}

bool CBitmapSlider::MoveTo(int position) {
    const int before = m_position;
    SetPosition(position);
    if (m_position == before)
        return false;
    emit positionChanged(m_id, m_position);
    return true;
}

bool CBitmapSlider::StepBy(int steps) {
    return MoveTo(m_position + steps);
}

void CBitmapSlider::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        StepBy(-1);
        return;
    case Qt::Key_Right:
    case Qt::Key_Up:
        StepBy(1);
        return;
    case Qt::Key_PageDown:
        StepBy(-PageStep());
        return;
    case Qt::Key_PageUp:
        StepBy(PageStep());
        return;
    case Qt::Key_Home:
        MoveTo(m_min);
        return;
    case Qt::Key_End:
        MoveTo(m_max);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CBitmapSlider::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CBitmapSlider::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

QRect CBitmapSlider::ThumbRect() const {
    const int span = m_max - m_min;
    const int left = span > 0 ? (width() - kThumbWidth) * (m_position - m_min) / span : 0;
    return QRect(left, 0, kThumbWidth, kThumbHeight);
}

int CBitmapSlider::PositionAt(int x) const {
    if (width() <= 0)
        return m_min;
    return std::clamp(m_min + x * (m_max - m_min) / width(), m_min, m_max);
}

QString CBitmapSlider::TipText() const {
    // Measured from the start of the range, so the ends read 0% and 100%.
    const int span = m_max - m_min;
    const int percent = span > 0 ? (m_position - m_min) * 100 / span : 0;
    return QString::number(percent) + QLatin1Char('%');
}

void CBitmapSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(240, 240, 240));
    const QPixmap track = SkinBitmap(m_track);
    DrawBitmapPart(p, QRect(0, 0, 10, kThumbHeight), track, QRect(0, 0, 10, kThumbHeight));
    DrawBitmapPart(p, QRect(10, 0, width() - 20, kThumbHeight), track,
                   QRect(10, 0, 20, kThumbHeight));
    DrawBitmapPart(p, QRect(width() - 10, 0, 10, kThumbHeight), track,
                   QRect(120, 0, 10, kThumbHeight));
    const int thumb = m_state == kHover     ? m_thumb[1]
                      : m_state == kPressed ? m_thumb[2]
                                            : m_thumb[0];
    const QRect thumbRect = ThumbRect();
    DrawBitmapPart(p, thumbRect, SkinBitmap(thumb), QRect(0, 0, kThumbWidth, kThumbHeight));
    if (m_state != kNormal) // the hover and pressed looks of a single thumb bitmap
        p.fillRect(thumbRect.adjusted(2, 1, -2, -1),
                   m_state == kPressed ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 50));
    if (hasFocus())
        DrawFocusMark(p, rect());
}

void CBitmapSlider::ShowTip() {
    if (!(m_flags & (kShowTip | kFollowTip)))
        return;
    QToolTip::showText(mapToGlobal(ThumbRect().bottomLeft()), TipText(), this);
}

void CBitmapSlider::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_dragging) {
        SetPosition(PositionAt(pos.x()));
        if (m_flags & kFollowTip)
            ShowTip();
        return;
    }
    const int state = ThumbRect().contains(pos) ? kHover : kNormal;
    if (state != m_state) {
        m_state = state;
        update();
    }
}

void CBitmapSlider::leaveEvent(QEvent*) {
    if (!m_dragging && m_state != kNormal) {
        m_state = kNormal;
        update();
    }
}

void CBitmapSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (ThumbRect().contains(pos)) {
        m_dragging = true;
        m_state = kPressed;
    }
    SetPosition(PositionAt(pos.x()));
    if (m_dragging)
        ShowTip();
    emit positionChanged(m_id, m_position);
}

void CBitmapSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (m_dragging) {
        QToolTip::hideText();
        m_dragging = false;
        emit positionChanged(m_id, m_position);
    }
    m_state = kNormal;
    update();
}

} // namespace mosaiq
