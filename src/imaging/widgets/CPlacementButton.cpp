#include "imaging/widgets/CPlacementButton.h"

#include "ui/widgets/Skin.h"
#include "ui/widgets/SkinPainting.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace mosaiq {

CPlacementButton::CPlacementButton(int commandId, const QString& caption, QWidget* parent)
    : QWidget(parent), m_commandId(commandId), m_caption(caption) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void CPlacementButton::SetOn(bool on) {
    if (m_on == on)
        return;
    m_on = on;
    update();
    QAccessible::State checked;
    checked.checked = true;
    AnnounceState(this, checked);
}

void CPlacementButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect icon(2, (height() - 16) / 2, 16, 16);
    SkinIcon(m_on ? 209 : 208).paint(&p, icon);
    p.setFont(DefaultGuiFont());
    p.setPen(Qt::black);
    const QRect text(icon.right() + 5, 0, width() - icon.right() - 5, height());
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_caption);
    if (hasFocus()) {
        p.setPen(QPen(QColor(61, 127, 208), 1, Qt::DotLine));
        p.drawRect(p.boundingRect(text, Qt::AlignLeft | Qt::AlignVCenter, m_caption)
                       .adjusted(-2, -1, 1, 0));
    }
}

void CPlacementButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit commandIssued(m_commandId);
}

void CPlacementButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space)
        emit commandIssued(m_commandId);
    else
        QWidget::keyPressEvent(event);
}

} // namespace mosaiq
