#include "decoration/HolidayList.h"

#include <algorithm>

int HolidayList::add(const DayData& entry)
{
    if (isFull())
        return -1;
    const QString text = entry.displayText();
    const auto at = std::upper_bound(texts_.cbegin(), texts_.cend(), text,
                                     [](const QString& a, const QString& b) { return a < b; });
    const auto index = at - texts_.cbegin();
    texts_.insert(index, text);
    entries_.insert(entries_.begin() + index, entry);
    return int(index);
}

bool HolidayList::remove(int index)
{
    if (index < 0 || index >= count())
        return false;
    texts_.removeAt(index);
    entries_.erase(entries_.begin() + index);
    return true;
}

int HolidayList::replace(int index, const DayData& entry)
{
    return remove(index) ? add(entry) : -1;
}

void HolidayList::clear()
{
    entries_.clear();
    texts_.clear();
}

const DayData* HolidayList::firstMatch(int month, int day, int week, int weekday, bool movingOnly) const
{
    for (const DayData& entry : entries_)
        if ((!movingOnly || entry.moveToMonday) && entry.matches(month, day, week, weekday))
            return &entry;
    return nullptr;
}

std::optional<QRgb> HolidayList::HolidayColor(int month, int day, int week, int weekday, QDate date) const
{
    std::optional<QRgb> color;
    if (const DayData* first = firstMatch(month, day, week, weekday, false))
        color = first->color;
    // The second pass looks at the previous day's date when that was a Sunday, but at this day's
    // own row and weekday: a date rule on a Sunday colours the Monday after it, while a weekday
    // rule only ever matches its own day, so it never moves to the Monday.
    const QDate previous = date.addDays(-1);
    if (previous.isValid() && previous.dayOfWeek() == Qt::Sunday) {
        month = previous.month();
        day = previous.day();
    }
    if (const DayData* moving = firstMatch(month, day, week, weekday, true))
        color = moving->color;
    return color;
}
