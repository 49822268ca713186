#include "canvas/widgets/calendar/CCalendarDialog.h"

#include "ui/widgets/CBitmapButton.h"
#include "canvas/widgets/calendar/CCalendarControl.h"

namespace mosaiq {

CCalendarDialog::CCalendarDialog(QWidget* parent)
    : CSkinDialog(parent),
      // The control at (16, 40)-(276, 300): 254 x 260 after the width rule.
      m_calendar(new CCalendarControl(QRect(16, 40, 260, 260), this)),
      m_ok(new CBitmapButton(1, this)), m_cancel(new CBitmapButton(2, this)) {
    setWindowTitle(tr("Add Transparent Month Calendar"));
    m_ok->SetCaption(tr("OK"));
    m_cancel->SetCaption(tr("Cancel"));
    connect(m_ok, &CBitmapButton::commandIssued, this, &CCalendarDialog::Confirm);
    connect(m_cancel, &CBitmapButton::commandIssued, this, &QDialog::reject);
    setFixedSize(292, 350);
}

void CCalendarDialog::resizeEvent(QResizeEvent* event) {
    CSkinDialog::resizeEvent(event);
    // "Cancel" at (right - 115, bottom - 40)-(right - 45, bottom - 20), "OK" 120 pixels left.
    m_cancel->setGeometry(width() - 115, height() - 40, 70, 20);
    m_ok->setGeometry(width() - 235, height() - 40, 70, 20);
}

void CCalendarDialog::Confirm() {
    m_picture = m_calendar->TransparentPicture(kCalendarPictureSide, kCalendarPictureSide);
    accept();
}

} // namespace mosaiq
