#include "shell/widgets/CMenuBarButton.h"

#include "ui/widgets/Skin.h"
#include "ui/widgets/SkinPainting.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace mosaiq {

CMenuBarButton::CMenuBarButton(int commandId, const QString& caption, QWidget* parent)
    : QWidget(parent), m_commandId(commandId), m_caption(caption) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
}

void CMenuBarButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (Highlighted()) {
        p.fillRect(rect(), QColor(240, 240, 240));
        p.setPen(Qt::black);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    } else {
        p.drawPixmap(rect(), SkinBitmap(261));
    }
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(rect().adjusted(5, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
               m_caption);
    if (hasFocus())
        DrawFocusMark(p, rect());
}

void CMenuBarButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        Click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CMenuBarButton::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void CMenuBarButton::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void CMenuBarButton::enterEvent(QEnterEvent*) {
    m_hover = true;
    update();
}

void CMenuBarButton::leaveEvent(QEvent*) {
    m_hover = false;
    update();
}

void CMenuBarButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    update();
}

void CMenuBarButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    m_hover = rect().contains(event->position().toPoint());
    update();
    if (m_hover)
        Q_EMIT commandIssued(m_commandId);
}

} // namespace mosaiq
