#pragma once

// The month calendar control: shows one month as a sheet (title, weekday labels, day numbers,
// drawn by CalendarSheet) with "<<" and ">>" buttons that step to the previous and next month.
// Its width is cut down so that width - 2 is a multiple of 7.

#include "canvas/edits/CalendarSheet.h"

#include <QImage>
#include <QWidget>

namespace mosaiq {

class CBitmapButton;

class CCalendarControl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kNextId = 11100;
    static constexpr int kPreviousId = 11101;

    // A control at rect (its width cut by the width rule), starting at the current month.
    CCalendarControl(const QRect& rect, QWidget* parent = nullptr);

    const CalendarSheet& Sheet() const { return m_sheet; }
    void ShowMonth(int year, int month);
    void NextMonth();
    void PreviousMonth();
    // The sheet as the transparent picture of width x height.
    QImage TransparentPicture(int width, int height) const;
    CBitmapButton* NextButton() const { return m_next; }
    CBitmapButton* PreviousButton() const { return m_previous; }

Q_SIGNALS:
    void monthChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Render();

    CalendarSheet m_sheet;
    QImage m_backBuffer; // the drawn sheet at the client size
    CBitmapButton* m_next;
    CBitmapButton* m_previous;
};

} // namespace mosaiq
