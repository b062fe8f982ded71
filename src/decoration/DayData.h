#pragma once
// One holiday or anniversary rule of the calendar: a fixed day or the n-th row's weekday, every
// year in one month or every month, with its own colour. Every field is kept whatever the type.
#include <QtCore/QString>
#include <QtGui/QRgb>

struct DayData
{
    bool everyYear = true; // false: every month
    int month = 1;         // 1-12
    bool dateType = true;  // false: the weekNumber-th row's weekday
    int day = 1;           // 1-31
    int weekNumber = 1;    // 1-5, the calendar row that holds the day
    int weekday = 1;       // 1-7, 1 = Sunday
    QString name = QStringLiteral("祝日");
    QRgb color = 0xffff0000;
    bool moveToMonday = true; // "指定日が日曜日の場合は月曜日に振り替える"

    bool operator==(const DayData&) const = default;

    // The list's text for the rule, e.g. "毎年  1月 第二 月曜 : 祝日".
    QString displayText() const;
    bool matches(int monthOfDay, int dayOfMonth, int week, int weekdayOfDay) const;
};
