// The month calendar: date arithmetic, layout, title, drawing and the transparent picture.
#include "canvas/edits/CalendarSheet.h"

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {
const QSize kClient(CalendarControlWidth(260), 260); // the dialog's control: 254 x 260

// Number of day cells showing a day, and the last one that does.
std::pair<int, int> FilledCells(const CalendarSheet& sheet) {
    int n = 0, last = -1;
    for (int k = 0; k < 42; ++k)
        if (sheet.DayInCell(k)) {
            ++n;
            last = k;
        }
    return {n, last};
}
} // namespace

TEST(CalendarSheet, DaysComeFromRealDateArithmetic) {
    EXPECT_EQ(CalendarSheet(2000, 2).DaysInMonth(), 29);
    EXPECT_EQ(CalendarSheet(1900, 2).DaysInMonth(), 28);
    EXPECT_EQ(CalendarSheet(2100, 2).DaysInMonth(), 28);
    EXPECT_EQ(FilledCells(CalendarSheet(2000, 2)).first, 29);
    EXPECT_EQ(FilledCells(CalendarSheet(1900, 2)).first, 28);
    // 1 January 2000 was a Saturday, 1 September 2010 a Wednesday, 1 January 1 a Monday.
    EXPECT_EQ(CalendarSheet(2000, 1).FirstWeekday(), 6);
    EXPECT_EQ(CalendarSheet(2010, 9).FirstWeekday(), 3);
    EXPECT_EQ(CalendarSheet(1, 1).FirstWeekday(), 1);
}

TEST(CalendarSheet, MonthStartingOnSaturdayFillsFromCellSix) {
    const CalendarSheet january(2000, 1); // 31 days from a Saturday: the sixth row is used
    EXPECT_EQ(january.DayInCell(5), 0);
    EXPECT_EQ(january.DayInCell(6), 1);
    EXPECT_EQ(FilledCells(january), std::make_pair(31, 6 + 31 - 1));
    EXPECT_GE(FilledCells(january).second, 35);
    const CalendarSheet friday(2010, 10); // 1 October 2010 was a Friday, 31 days
    EXPECT_EQ(friday.DayInCell(5), 1);
    EXPECT_EQ(FilledCells(friday).second, 35);
    EXPECT_EQ(friday.DayInCell(36), 0);
}

TEST(CalendarSheet, SteppingCrossesYearsAndStopsAtTheEnds) {
    CalendarSheet sheet(2010, 12);
    sheet.NextMonth();
    EXPECT_EQ(std::make_pair(sheet.Year(), sheet.Month()), std::make_pair(2011, 1));
    sheet.PreviousMonth();
    EXPECT_EQ(std::make_pair(sheet.Year(), sheet.Month()), std::make_pair(2010, 12));
    CalendarSheet last(9999, 12);
    last.NextMonth();
    EXPECT_EQ(std::make_pair(last.Year(), last.Month()), std::make_pair(9999, 12));
    CalendarSheet first(1, 1);
    first.PreviousMonth();
    EXPECT_EQ(std::make_pair(first.Year(), first.Month()), std::make_pair(1, 1));
}

TEST(CalendarSheet, TitleAndLabels) {
    EXPECT_EQ(CalendarSheet(2010, 9).Title(), QStringLiteral("September, 2010"));
    EXPECT_EQ(CalendarSheet(987, 5).Title(), QStringLiteral("May, 0987"));
    EXPECT_EQ(CalendarSheet(1, 1).Title(), QStringLiteral("January, 0001"));
    const char* labels[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(CalendarSheet::WeekdayLabel(i), QLatin1String(labels[i]));
}

TEST(CalendarSheet, LayoutOfTheDialogsControl) {
    EXPECT_EQ(CalendarControlWidth(260), 254);
    EXPECT_EQ(CalendarControlWidth(254), 254);
    EXPECT_EQ(CalendarSheet::TitleRect(kClient), (SheetRect{0, 0, 254, 24}));
    // Columns of 254 / 7 = 36.29 pixels, rows of (260 - 44) / 6 = 36.
    EXPECT_EQ(CalendarSheet::HeaderCell(kClient, 0), (SheetRect{0, 24, 36, 44}));
    EXPECT_EQ(CalendarSheet::HeaderCell(kClient, 6), (SheetRect{217, 24, 253, 44}));
    EXPECT_EQ(CalendarSheet::DayCell(kClient, 0), (SheetRect{0, 44, 36, 80}));
    EXPECT_EQ(CalendarSheet::DayCell(kClient, 41), (SheetRect{217, 224, 253, 260}));
    EXPECT_EQ(CalendarSheet::DayCell(kClient, 10), (SheetRect{108, 80, 144, 116}));
}

TEST(CalendarSheet, PictureFollowsTheAlphaRuleOnEveryPixel) {
    EXPECT_EQ(CalendarAlpha(255, 255, 255), 0);
    EXPECT_EQ(CalendarAlpha(10, 10, 10), 255);
    EXPECT_EQ(CalendarAlpha(220, 220, 220), 255);
    EXPECT_EQ(CalendarAlpha(200, 230, 230), 255); // the rule looks at the sum only
    EXPECT_EQ(CalendarAlpha(11, 10, 10), 128);

    const QImage sheet = CalendarSheet(2010, 9).Render(kClient);
    ASSERT_EQ(sheet.size(), kClient);
    const QImage picture = CalendarPicture(sheet);
    ASSERT_EQ(picture.size(), QSize(260, 260));
    ASSERT_EQ(picture.format(), QImage::Format_ARGB32);
    int opaque = 0, half = 0;
    for (int y = 0; y < 260; ++y)
        for (int x = 0; x < 260; ++x) {
            const QRgb out = picture.pixel(x, y);
            if (x >= 254) { // beyond the 254-pixel control: white, so transparent
                ASSERT_EQ(qAlpha(out), 0) << x << "," << y;
                continue;
            }
            const QRgb in = sheet.pixel(x, y);
            ASSERT_EQ(out & 0x00FFFFFFu, in & 0x00FFFFFFu) << x << "," << y;
            ASSERT_EQ(qAlpha(out), CalendarAlpha(qRed(in), qGreen(in), qBlue(in))) << x << "," << y;
            opaque += qAlpha(out) == 255;
            half += qAlpha(out) == 128;
        }
    // Both text colours and their blended edges are there.
    EXPECT_GT(opaque, 500);
    EXPECT_GT(half, 500);
}

TEST(CalendarSheet, DrawingPutsTextOnlyWhereTheLayoutSays) {
    // February 2009 starts on a Sunday and has 28 days: the last two rows stay white.
    const QImage sheet = CalendarSheet(2009, 2).Render(kClient);
    const SheetRect fifth = CalendarSheet::DayCell(kClient, 28);
    for (int y = fifth.top + 1; y < 260; ++y)
        for (int x = 0; x < 254; ++x)
            ASSERT_EQ(sheet.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
    bool shadow = false, face = false;
    for (int y = 0; y < kCalendarTitleHeight; ++y)
        for (int x = 0; x < 254; ++x) {
            shadow |= sheet.pixel(x, y) == qRgb(10, 10, 10);
            face |= sheet.pixel(x, y) == qRgb(220, 220, 220);
        }
    EXPECT_TRUE(shadow);
    EXPECT_TRUE(face);
}
