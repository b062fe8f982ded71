#pragma once
// What the calendar takes from "カレンダーの設定": weekday colours, the first day of the week,
// whether the title and the weekday row are shown and how, and the holiday rules.
#include "decoration/HolidayList.h"

#include <array>

enum class TitleNotation { Japanese, English, Numeric };
enum class WeekdayNotation { Japanese, English };

struct CalendarSettings
{
    // Sunday first.
    std::array<QRgb, 7> weekdayColors{0xffff0000, 0xff000000, 0xff000000, 0xff000000,
                                      0xff000000, 0xff000000, 0xff008000};
    bool weekStartsMonday = false;
    bool showTitle = true;
    TitleNotation title = TitleNotation::Japanese;
    bool showWeekdays = true;
    WeekdayNotation weekdays = WeekdayNotation::Japanese;
    HolidayList holidays;

    // weekday 1-7, 1 = Sunday.
    QRgb WeekdayColor(int weekday) const
    {
        return weekday >= 1 && weekday <= 7 ? weekdayColors[size_t(weekday - 1)] : 0xff000000;
    }
    bool operator==(const CalendarSettings&) const = default;
};
