#include "ui/widgets/CQorListBox.h"

#include "ui/widgets/SkinPainting.h"
#include "ui/widgets/access/AccessibleItems.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace mosaiq {

CQorListBox::CQorListBox(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setFont(DefaultGuiFont());
}

void CQorListBox::SetItems(const QStringList& items) {
    m_items = items;
    m_current = -1;
    m_hover = -1;
    SetOffset(QPoint(0, 0));
    updateGeometry();
    update();
}

void CQorListBox::SetCurrentRow(int row) {
    if (row < -1 || row >= Count() || row == m_current)
        return;
    m_current = row;
    EnsureVisible(row);
    update();
    if (row >= 0) {
        AnnounceItem(this, row, QAccessible::Selection);
        if (hasFocus())
            AnnounceItem(this, row, QAccessible::Focus);
    }
    emit currentRowChanged(row);
}

int CQorListBox::RowAt(QPoint client) const {
    const int y = client.y() + m_offset.y();
    if (y < 0 || client.x() < 0 || client.x() >= width())
        return -1;
    const int row = y / m_itemHeight;
    return row < Count() ? row : -1;
}

QSize CQorListBox::ContentSize() const {
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString& item : m_items)
        widest = std::max(widest, metrics.horizontalAdvance(item) + 8);
    return QSize(widest, Count() * m_itemHeight);
}

void CQorListBox::SetOffset(QPoint offset) {
    if (offset == m_offset)
        return;
    m_offset = offset;
    update();
    emit offsetChanged(offset);
}

void CQorListBox::EnsureVisible(int row) {
    if (row < 0)
        return;
    const int top = row * m_itemHeight;
    if (top < m_offset.y())
        SetOffset(QPoint(m_offset.x(), top));
    else if (top + m_itemHeight > m_offset.y() + height())
        SetOffset(QPoint(m_offset.x(), std::max(0, top + m_itemHeight - height())));
}

void CQorListBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), isEnabled() ? Qt::white : QColor(240, 240, 240));
    const int first = std::max(0, m_offset.y() / m_itemHeight);
    for (int row = first; row < Count(); ++row) {
        const QRect r(-m_offset.x(), row * m_itemHeight - m_offset.y(),
                      std::max(width(), ContentSize().width()) + m_offset.x(), m_itemHeight);
        if (r.top() >= height())
            break;
        QColor ink(40, 40, 40);
        if (row == m_current) {
            p.fillRect(r, hasFocus() ? QColor(61, 127, 208) : QColor(200, 214, 234));
            if (hasFocus())
                ink = Qt::white;
        } else if (row == m_hover) {
            p.fillRect(r, QColor(230, 238, 249));
        }
        p.setPen(isEnabled() ? ink : QColor(150, 150, 150));
        p.drawText(r.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   m_items[row]);
    }
    if (hasFocus() && m_current < 0)
        DrawFocusMark(p, rect());
}

void CQorListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (const int row = RowAt(event->position().toPoint()); row >= 0)
        SetCurrentRow(row);
}

void CQorListBox::mouseMoveEvent(QMouseEvent* event) {
    const int row = RowAt(event->position().toPoint());
    if (row != m_hover) {
        m_hover = row;
        update();
    }
}

void CQorListBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (const int row = RowAt(event->position().toPoint()); row >= 0)
        emit rowClicked(row);
}

void CQorListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (const int row = RowAt(event->position().toPoint()); row >= 0)
        emit rowActivated(row);
}

void CQorListBox::leaveEvent(QEvent*) {
    m_hover = -1;
    update();
}

void CQorListBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        SetCurrentRow(std::max(0, m_current - 1));
        break;
    case Qt::Key_Down:
        SetCurrentRow(std::min(Count() - 1, m_current + 1));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_current >= 0)
            emit rowActivated(m_current);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CQorListBox::wheelEvent(QWheelEvent* event) {
    const int maxY = std::max(0, ContentSize().height() - height());
    // Three rows a notch; small deltas scroll in proportion.
    const int pixels = m_wheel.Take(event->angleDelta().y(), 3 * m_itemHeight);
    SetOffset(QPoint(m_offset.x(), std::clamp(m_offset.y() - pixels, 0, maxY)));
}

} // namespace mosaiq
