#include "decoration/DayData.h"

namespace {

// Two spaces before one digit and one before two, so that the list's texts sort by number.
QString padded(int number)
{
    const QString digits = QString::number(number);
    return (digits.size() < 2 ? QStringLiteral("  ") : QStringLiteral(" ")) + digits;
}

// The name of `number` (1-based) in the table; a number a hand-edited file made up shows as itself.
QString fromTable(const char16_t* const (&table)[7], int number, const QString& outside)
{
    return number >= 1 && number <= 7 && table[number - 1] ? QString::fromUtf16(table[number - 1]) : outside;
}

const char16_t* const weekNames[7] = {u" 第一", u" 第二", u" 第三", u" 第四", u" 第五", nullptr, nullptr};
const char16_t* const weekdayNames[7] = {u" 日曜", u" 月曜", u" 火曜", u" 水曜", u" 木曜", u" 金曜", u" 土曜"};

} // namespace

QString DayData::displayText() const
{
    QString text = everyYear ? QStringLiteral("毎年") + padded(month) + QStringLiteral("月") : QStringLiteral("毎月");
    if (dateType) {
        text += padded(day) + QStringLiteral("日");
    } else {
        // A hand-edited file may hold a week or weekday without a name; show its number instead.
        text += fromTable(weekNames, weekNumber, QStringLiteral(" 第%1").arg(weekNumber));
        text += fromTable(weekdayNames, weekday, QStringLiteral(" %1曜").arg(weekday));
    }
    return text + QStringLiteral(" : ") + name;
}

bool DayData::matches(int monthOfDay, int dayOfMonth, int week, int weekdayOfDay) const
{
    if (everyYear && month != monthOfDay)
        return false;
    return dateType ? day == dayOfMonth : weekNumber == week && weekday == weekdayOfDay;
}
