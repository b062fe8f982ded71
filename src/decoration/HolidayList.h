#pragma once
// The holiday rules, kept in the order of their display texts: the first rule that matches a day
// gives its colour, so the list's order and the rules' order are always the same. Texts compare
// by their UTF-16 code units, which puts "  2月" before " 10月" as the padding intends.
#include "decoration/DayData.h"

#include <QtCore/QDate>
#include <QtCore/QStringList>

#include <optional>
#include <vector>

class HolidayList
{
  public:
    static constexpr int Capacity = 512;

    int count() const { return int(entries_.size()); }
    bool isFull() const { return count() >= Capacity; }
    const DayData& at(int index) const { return entries_.at(size_t(index)); }
    const std::vector<DayData>& entries() const { return entries_; }
    const QStringList& displayTexts() const { return texts_; }

    // Puts the rule at its sorted place, after rules with the same text. -1 when the list is full.
    int add(const DayData& entry);
    // Removes the rule; false when there is none at that index.
    bool remove(int index);
    // Removes the rule at index and adds the new one at its sorted place. -1 when index is no rule.
    int replace(int index, const DayData& entry);
    void clear();

    // The colour of the first rule that matches the day; a rule that moves to Monday and matches
    // the previous Sunday (or, for a weekday rule, this day's own row and weekday) overrides it.
    std::optional<QRgb> HolidayColor(int month, int day, int week, int weekday, QDate date) const;

    bool operator==(const HolidayList& other) const { return entries_ == other.entries_; }

  private:
    const DayData* firstMatch(int month, int day, int week, int weekday, bool movingOnly) const;

    std::vector<DayData> entries_;
    QStringList texts_;
};
