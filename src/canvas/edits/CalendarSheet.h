#pragma once

// The month calendar sheet: which month it shows, where its title, weekday labels and day cells
// go inside the control's client rectangle, how it is drawn, and how a drawn sheet becomes the
// transparent calendar picture. The calendar control shows what Render draws; the calendar
// command and `mosaiq-cli calendar` place or write the picture.

#include <QImage>
#include <QSize>
#include <QString>

namespace mosaiq {

// A rectangle as the sheet's layout rules compute it: right and bottom are exclusive.
struct SheetRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const SheetRect&) const = default;
};

constexpr int kCalendarTitleHeight = 24;
constexpr int kCalendarHeaderHeight = 20;
constexpr int kCalendarPictureSide = 260;
constexpr int kCalendarFirstYear = 1;
constexpr int kCalendarLastYear = 9999;

// The width a calendar control of the asked width gets: cut down so that width - 2 is a
// multiple of 7.
constexpr int CalendarControlWidth(int width) { return (width - 2) / 7 * 7 + 2; }

class CalendarSheet {
public:
    // The month of year (1..9999) and month (1..12); values outside are brought into range.
    CalendarSheet(int year, int month);
    // The current local month.
    static CalendarSheet ThisMonth();

    int Year() const { return m_year; }
    int Month() const { return m_month; }
    // ">>": December steps to January of the next year (not past December 9999).
    void NextMonth();
    // "<<": January steps to December of the year before (not before January of year 1).
    void PreviousMonth();

    // The month name, a comma, a blank and the year in four digits: "September, 2010".
    QString Title() const;
    static QString MonthName(int month);
    // The weekday labels of columns 0..6, Sunday first.
    static QString WeekdayLabel(int column);
    // Weekday of the 1st (0 = Sunday) and the number of days, by the proleptic Gregorian calendar.
    int FirstWeekday() const;
    int DaysInMonth() const;
    // The day number cell k (0..41, row-major) shows, or 0 for a cell of another month.
    int DayInCell(int k) const;

    // Layout inside the client rectangle (0, 0, size).
    static SheetRect TitleRect(QSize client);
    static SheetRect HeaderCell(QSize client, int column);
    static SheetRect DayCell(QSize client, int k);

    // The sheet drawn at the client size: white, with every text drawn twice, shadow
    // RGB(10, 10, 10) at (x, y) and face RGB(220, 220, 220) at (x + 1, y + 1). Format_RGB32.
    QImage Render(QSize client) const;

private:
    int m_year;
    int m_month;
};

// Alpha of a sheet pixel in the calendar picture by the sum s of its red, green and blue: 255 for
// the two text colours (s = 660 or 30), 0 for the white sheet (765), 128 for every other value.
int CalendarAlpha(int red, int green, int blue);

// The transparent picture of a drawn sheet, width x height (Format_ARGB32, colours kept, alpha by
// CalendarAlpha); pixels beyond the sheet count as white, so they are transparent.
QImage CalendarPicture(const QImage& sheet, int width = kCalendarPictureSide,
                       int height = kCalendarPictureSide);

} // namespace mosaiq
