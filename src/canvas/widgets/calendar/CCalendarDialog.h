#pragma once

// "Add Transparent Month Calendar": a captionless rounded dialog holding the calendar control,
// a close box, "OK" and "Cancel". OK turns the shown month into the 260 x 260 transparent
// picture (Picture()); Cancel and the close box leave Picture() null.

#include "ui/widgets/CSkinDialog.h"

#include <QImage>

namespace mosaiq {

class CBitmapButton;
class CCalendarControl;

class CCalendarDialog : public CSkinDialog {
    Q_OBJECT
public:
    explicit CCalendarDialog(QWidget* parent = nullptr);

    CCalendarControl* Calendar() const { return m_calendar; }
    CBitmapButton* OkButton() const { return m_ok; }
    CBitmapButton* CancelButton() const { return m_cancel; }
    // The picture made when OK was pressed; null otherwise.
    QImage Picture() const { return m_picture; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Confirm();

    CCalendarControl* m_calendar;
    CBitmapButton* m_ok;
    CBitmapButton* m_cancel;
    QImage m_picture;
};

} // namespace mosaiq
