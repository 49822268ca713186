#include "ui/widgets/CBitmapButton.h"

#include "ui/widgets/Skin.h"
#include "ui/widgets/SkinPainting.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace mosaiq {

CBitmapButton::CBitmapButton(int commandId, QWidget* parent)
    : QWidget(parent), m_commandId(commandId) {
    setAttribute(Qt::WA_Hover, false);
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
}

void CBitmapButton::SetBitmaps(int normal, int hover, int pressed, int disabled) {
    m_bitmaps[0] = normal;
    m_bitmaps[1] = hover;
    m_bitmaps[2] = pressed;
    m_bitmaps[3] = disabled;
    update();
}

void CBitmapButton::SetThreePart(bool threePart) {
    m_threePart = threePart;
    update();
}

void CBitmapButton::SetCaption(const QString& caption) {
    m_caption = caption;
    update();
}

void CBitmapButton::SetTextColour(const QColor& colour) {
    m_textColour = colour;
    update();
}

void CBitmapButton::SetTextOffset(QPoint offset) {
    m_textOffset = offset;
    update();
}

void CBitmapButton::SetIconAtLeft(bool atLeft) {
    m_iconAtLeft = atLeft;
    update();
}

void CBitmapButton::SetIcons(const QIcon& icon, const QIcon& disabledIcon) {
    m_icon = icon;
    m_disabledIcon = disabledIcon;
    update();
}

void CBitmapButton::Enable(bool enabled) {
    setEnabled(enabled);
}

void CBitmapButton::SetChecked(bool checked) {
    if (m_checked == checked)
        return;
    m_checked = checked;
    update();
    QAccessible::State changed;
    changed.checked = true;
    AnnounceState(this, changed);
}

void CBitmapButton::Click() {
    if (!isEnabled() || m_state == kDisabled)
        return;
    emit commandIssued(m_commandId);
}

void CBitmapButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & ~Qt::KeypadModifier) {
            QWidget::keyPressEvent(event);
            return;
        }
        Click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CBitmapButton::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CBitmapButton::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void CBitmapButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        SetState(isEnabled() ? kNormal : kDisabled);
    QWidget::changeEvent(event);
}

void CBitmapButton::SetState(int state) {
    if (m_state == state)
        return;
    const bool pressedChanged = (m_state == kPressed) != (state == kPressed);
    m_state = state;
    update();
    if (pressedChanged) {
        QAccessible::State changed;
        changed.pressed = true;
        AnnounceState(this, changed);
    }
}

int CBitmapButton::CurrentBitmap() const {
    switch (m_state) {
    case kHover:
        return m_bitmaps[1];
    case kPressed:
        return m_bitmaps[2];
    case kDisabled:
        return m_bitmaps[3];
    default:
        return m_bitmaps[0];
    }
}

void CBitmapButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(221, 221, 221));
    const QPixmap bitmap = SkinBitmap(CurrentBitmap());
    const int bitmapHeight = bitmap.isNull() ? 0 : int(bitmap.height() / bitmap.devicePixelRatio());
    if (m_threePart) {
        // Caps of 12 columns; the middle is copied (repeated, never stretched) between them.
        DrawBitmapPart(p, QRect(0, 0, 12, bitmapHeight), bitmap, QRect(0, 0, 12, bitmapHeight));
        TileBitmapPart(p, QRect(12, 0, width() - 24, bitmapHeight), bitmap,
                       QRect(12, 0, 94, bitmapHeight));
        DrawBitmapPart(p, QRect(width() - 12, 0, 12, bitmapHeight), bitmap,
                       QRect(106, 0, 12, bitmapHeight));
    } else if (!bitmap.isNull()) {
        // The face fills the button, whatever size the owner gave it.
        p.drawPixmap(rect(), bitmap);
    }
    const QIcon& icon = m_state == kDisabled && !m_disabledIcon.isNull() ? m_disabledIcon : m_icon;
    if (!icon.isNull()) {
        const QRect iconRect(m_iconAtLeft ? 2 : (width() - 16) / 2, (height() - 16) / 2, 16, 16);
        const bool greyed = m_state == kDisabled && m_disabledIcon.isNull();
        icon.paint(&p, iconRect, Qt::AlignCenter, greyed ? QIcon::Disabled : QIcon::Normal);
    }
    if (!m_caption.isEmpty()) {
        p.setFont(DefaultGuiFont());
        p.setPen(m_state == kDisabled ? QColor(120, 120, 120) : m_textColour);
        if (m_iconAtLeft)
            p.drawText(rect().adjusted(22, 0, 0, 0).translated(m_textOffset),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, m_caption);
        else
            p.drawText(rect().translated(m_textOffset), Qt::AlignCenter | Qt::TextShowMnemonic,
                       m_caption);
    }
    if (hasFocus())
        DrawFocusMark(p, rect());
}

void CBitmapButton::enterEvent(QEnterEvent*) {
    if (m_state != kDisabled && m_state != kPressed)
        SetState(kHover);
}

void CBitmapButton::mouseMoveEvent(QMouseEvent* event) {
    if (m_state == kNormal && rect().contains(event->position().toPoint()))
        SetState(kHover);
}

void CBitmapButton::leaveEvent(QEvent*) {
    if (m_state != kDisabled)
        SetState(kNormal);
}

void CBitmapButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_state != kDisabled)
        SetState(kPressed);
}

void CBitmapButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_state == kDisabled)
        return;
    // Releasing outside the button takes the press back, as people expect of a button.
    const bool inside = rect().contains(event->position().toPoint());
    SetState(kNormal);
    if (inside)
        emit commandIssued(m_commandId);
}

} // namespace mosaiq
