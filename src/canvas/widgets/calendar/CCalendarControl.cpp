#include "canvas/widgets/calendar/CCalendarControl.h"

#include "ui/widgets/CBitmapButton.h"

#include <QPainter>

namespace mosaiq {

CCalendarControl::CCalendarControl(const QRect& rect, QWidget* parent)
    : QWidget(parent), m_sheet(CalendarSheet::ThisMonth()), m_next(new CBitmapButton(kNextId, this)),
      m_previous(new CBitmapButton(kPreviousId, this)) {
    m_next->SetCaption(QStringLiteral(">>"));
    m_previous->SetCaption(QStringLiteral("<<"));
    connect(m_next, &CBitmapButton::commandIssued, this, &CCalendarControl::NextMonth);
    connect(m_previous, &CBitmapButton::commandIssued, this, &CCalendarControl::PreviousMonth);
    setGeometry(rect.x(), rect.y(), CalendarControlWidth(rect.width()), rect.height());
}

void CCalendarControl::ShowMonth(int year, int month) {
    m_sheet = CalendarSheet(year, month);
    Render();
}

void CCalendarControl::NextMonth() {
    m_sheet.NextMonth();
    Render();
}

void CCalendarControl::PreviousMonth() {
    m_sheet.PreviousMonth();
    Render();
}

QImage CCalendarControl::TransparentPicture(int width, int height) const {
    return CalendarPicture(m_backBuffer, width, height);
}

void CCalendarControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // ">>" at (right - 40, 2)-(right - 10, 22), "<<" at (10, 2)-(40, 22).
    m_next->setGeometry(width() - 40, 2, 30, 20);
    m_previous->setGeometry(10, 2, 30, 20);
    Render();
}

void CCalendarControl::Render() {
    m_backBuffer = m_sheet.Render(size());
    update();
    Q_EMIT monthChanged();
}

void CCalendarControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, m_backBuffer);
}

} // namespace mosaiq
