#include "canvas/edits/CalendarSheet.h"

#include "text/TextFont.h"
#include "text/TextRecord.h"

#include <QDate>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace mosaiq {
namespace {

constexpr QRgb kShadow = 0xFF0A0A0A;
constexpr QRgb kFace = 0xFFDCDCDC;

// The sheet's fonts: "Arial Black", weight 700, lfHeight as given (a cell height).
QFont SheetFont(int lfHeight) {
    LogFontA font;
    font.lfHeight = lfHeight;
    font.lfWeight = 700;
    std::strcpy(font.lfFaceName, "Arial Black");
    return LogicalFont(font);
}

// Draws text twice with its layout box's top-left at (x, y): shadow, then face one pixel right
// and down.
void DrawSheetText(QPainter& p, const QFont& font, int x, int y, const QString& text) {
    p.setFont(font);
    const int ascent = QFontMetrics(font).ascent();
    p.setPen(QColor::fromRgba(kShadow));
    p.drawText(QPoint(x, y + ascent), text);
    p.setPen(QColor::fromRgba(kFace));
    p.drawText(QPoint(x + 1, y + 1 + ascent), text);
}

// Right-aligned text in a rectangle: its width W measured with the font, drawn at
// (right - W - 10, top + 2).
void DrawRightAligned(QPainter& p, const QFont& font, const SheetRect& r, const QString& text) {
    const int w = QFontMetrics(font).horizontalAdvance(text);
    DrawSheetText(p, font, r.right - w - 10, r.top + 2, text);
}

} // namespace

CalendarSheet::CalendarSheet(int year, int month)
    : m_year(std::clamp(year, kCalendarFirstYear, kCalendarLastYear)),
      m_month(std::clamp(month, 1, 12)) {}

CalendarSheet CalendarSheet::ThisMonth() {
    const QDate today = QDate::currentDate();
    return CalendarSheet(today.year(), today.month());
}

void CalendarSheet::NextMonth() {
    if (m_month < 12)
        ++m_month;
    else if (m_year < kCalendarLastYear)
        m_month = 1, ++m_year;
}

void CalendarSheet::PreviousMonth() {
    if (m_month > 1)
        --m_month;
    else if (m_year > kCalendarFirstYear)
        m_month = 12, --m_year;
}

QString CalendarSheet::MonthName(int month) {
    static const char* const names[12] = {"January", "February", "March",     "April",
                                          "May",     "June",     "July",      "August",
                                          "September", "October", "November", "December"};
    return QString::fromLatin1(names[std::clamp(month, 1, 12) - 1]);
}

QString CalendarSheet::WeekdayLabel(int column) {
    static const char* const labels[7] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    return QString::fromLatin1(labels[std::clamp(column, 0, 6)]);
}

QString CalendarSheet::Title() const {
    return QStringLiteral("%1, %2").arg(MonthName(m_month)).arg(m_year, 4, 10, QLatin1Char('0'));
}

int CalendarSheet::FirstWeekday() const {
    return QDate(m_year, m_month, 1).dayOfWeek() % 7; // Qt: 1 Monday .. 7 Sunday
}

int CalendarSheet::DaysInMonth() const { return QDate(m_year, m_month, 1).daysInMonth(); }

int CalendarSheet::DayInCell(int k) const {
    const int day = k - FirstWeekday() + 1;
    return day >= 1 && day <= DaysInMonth() ? day : 0;
}

SheetRect CalendarSheet::TitleRect(QSize client) {
    return {0, 0, client.width(), kCalendarTitleHeight};
}

SheetRect CalendarSheet::HeaderCell(QSize client, int column) {
    const double w = client.width() / 7.0;
    const int left = int(w * column);
    return {left, kCalendarTitleHeight, int(w + left), kCalendarTitleHeight + kCalendarHeaderHeight};
}

SheetRect CalendarSheet::DayCell(QSize client, int k) {
    const double w = client.width() / 7.0;
    const int g = kCalendarTitleHeight + kCalendarHeaderHeight;
    const double h = (client.height() - g) / 6.0;
    const int row = k / 7, column = k % 7;
    const int left = int(w * column), top = int(g + h * row);
    return {left, top, int(w + left), int(h + top)};
}

QImage CalendarSheet::Render(QSize client) const {
    QImage sheet(client, QImage::Format_RGB32);
    if (sheet.isNull())
        return sheet;
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QFont titleFont = SheetFont(24);
    const QString title = Title();
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(title);
    DrawSheetText(p, titleFont, (client.width() - titleWidth) / 2, 2, title);

    const QFont labelFont = SheetFont(16);
    for (int column = 0; column < 7; ++column) {
        SheetRect cell = HeaderCell(client, column);
        cell.right += 5;
        DrawRightAligned(p, labelFont, cell, WeekdayLabel(column));
    }
    const QFont dayFont = SheetFont(24);
    for (int k = 0; k < 42; ++k) {
        const int day = DayInCell(k);
        if (day == 0)
            continue;
        SheetRect cell = DayCell(client, k);
        cell = {cell.left - 1, cell.top - 1, cell.right + 1, cell.bottom + 1};
        DrawRightAligned(p, dayFont, cell, QString::number(day));
    }
    return sheet;
}

int CalendarAlpha(int red, int green, int blue) {
    const int s = red + green + blue;
    if (s == 660 || s == 30)
        return 255;
    return s == 765 ? 0 : 128;
}

QImage CalendarPicture(const QImage& sheet, int width, int height) {
    QImage picture(width, height, QImage::Format_ARGB32);
    if (picture.isNull())
        return picture;
    const QImage source = sheet.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb c = source.valid(x, y) ? source.pixel(x, y) : qRgb(255, 255, 255);
            out[x] = qRgba(qRed(c), qGreen(c), qBlue(c), CalendarAlpha(qRed(c), qGreen(c), qBlue(c)));
        }
    }
    return picture;
}

} // namespace mosaiq
