#include "decoration/CalendarRenderer.h"
#include "decoration/DrawingLayers.h"
#include "imaging/drawing/ImagePrinter.h"
#include "imaging/drawing/LayerKeyColor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

constexpr QRgb black = 0xff000000;
constexpr QRgb red = 0xffff0000;
constexpr QRgb green = 0xff008000;
constexpr QRgb blue = 0xff0000ff;

CalendarRequest month(int year, int m)
{
    CalendarRequest r;
    r.year = year;
    r.month = m;
    r.canvas = QSize(240, 320);
    return r;
}

// The strings of the calendar by their text; day numbers and names never share a text.
std::map<QString, CalendarText> byText(const CalendarRequest& r, const CalendarSettings& s)
{
    std::map<QString, CalendarText> texts;
    for (const CalendarText& t : CalendarRenderer::layout(r, s))
        texts.emplace(t.text, t);
    return texts;
}

DayData rule(bool dateType, int day, int week, int weekday, QRgb color, bool moveToMonday)
{
    DayData e;
    e.everyYear = false;
    e.dateType = dateType;
    e.day = day;
    e.weekNumber = week;
    e.weekday = weekday;
    e.color = color;
    e.moveToMonday = moveToMonday;
    return e;
}

} // namespace

TEST(CalendarRenderer, October2005FromSundayAndFromMonday)
{
    CalendarSettings s;
    auto texts = byText(month(2005, 10), s);
    EXPECT_EQ(texts.at(QStringLiteral("2005年 10月")).at.y(), 5);
    EXPECT_EQ(texts.at(QStringLiteral("日")).at, QPoint(5, 20));
    EXPECT_EQ(texts.at(QStringLiteral("土")).at, QPoint(95, 20));
    EXPECT_EQ(texts.at(QStringLiteral("1")).at, QPoint(99, 35));
    EXPECT_EQ(texts.at(QStringLiteral("2")).at, QPoint(9, 50));
    EXPECT_EQ(texts.at(QStringLiteral("30")).at, QPoint(5, 110));
    EXPECT_EQ(texts.at(QStringLiteral("31")).at, QPoint(20, 110));

    s.weekStartsMonday = true;
    texts = byText(month(2005, 10), s);
    EXPECT_EQ(texts.at(QStringLiteral("1")).at, QPoint(9 + 5 * 15, 35));
    EXPECT_EQ(texts.at(QStringLiteral("2")).at, QPoint(9 + 6 * 15, 35));
    EXPECT_EQ(texts.at(QStringLiteral("3")).at, QPoint(9, 50));
    EXPECT_EQ(texts.at(QStringLiteral("月")).at, QPoint(5, 20));
    EXPECT_EQ(texts.at(QStringLiteral("日")).at, QPoint(95, 20));
    EXPECT_EQ(texts.at(QStringLiteral("2005年 10月")).at.y(), 5);
}

TEST(CalendarRenderer, RowsMoveUpWithoutTitleOrWeekdayRow)
{
    CalendarSettings s;
    s.showTitle = false;
    auto texts = byText(month(2005, 10), s);
    EXPECT_EQ(texts.at(QStringLiteral("日")).at.y(), 5);
    EXPECT_EQ(texts.at(QStringLiteral("1")).at.y(), 20);
    EXPECT_EQ(texts.count(QStringLiteral("2005年 10月")), 0u);

    s.showWeekdays = false;
    texts = byText(month(2005, 10), s);
    EXPECT_EQ(texts.at(QStringLiteral("1")).at.y(), 5);
    EXPECT_EQ(texts.size(), 31u);

    // A title without the weekday row stays at the top; a month ending on Saturday moves nothing.
    s.showTitle = true;
    CalendarRequest r = month(2005, 12); // the 31st is a Saturday
    r.vSpace = 20;
    texts = byText(r, s);
    EXPECT_EQ(texts.at(QStringLiteral("2005年 12月")).at.y(), 5);
    EXPECT_EQ(texts.at(QStringLiteral("31")).at.y(), 25 + 4 * 20);
}

TEST(CalendarRenderer, TitleNotationsAndCentring)
{
    const struct
    {
        int year, month;
        TitleNotation notation;
        const char16_t* text;
    } cases[] = {
        {2005, 10, TitleNotation::Japanese, u"2005年 10月"},  {2005, 2, TitleNotation::English, u"Feburary, 2005"},
        {2005, 10, TitleNotation::English, u"October, 2005"}, {2006, 3, TitleNotation::Numeric, u"2006/03"},
        {2005, 10, TitleNotation::Numeric, u"2005/10"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CalendarRenderer::titleText(c.year, c.month, c.notation), QString::fromUtf16(c.text));

    // "2005年 10月" is 11 half-width cells: 4 x 11 = 44 pixels wide at 9 points.
    EXPECT_EQ(CalendarRenderer::estimatedWidth(QStringLiteral("2005年 10月"), 9), 44);
    CalendarSettings s;
    CalendarRequest r = month(2005, 10);
    EXPECT_EQ(byText(r, s).at(QStringLiteral("2005年 10月")).at.x(), (90 - 44) / 2);
    r.hSpace = 1; // (6 - 44) / 2 rounds toward zero
    EXPECT_EQ(byText(r, s).at(QStringLiteral("2005年 10月")).at.x(), -19);
}

TEST(CalendarRenderer, ColoursFromWeekdaysAndHolidayRules)
{
    CalendarSettings s;
    auto texts = byText(month(2005, 10), s);
    EXPECT_EQ(texts.at(QStringLiteral("2")).color, red);   // Sunday
    EXPECT_EQ(texts.at(QStringLiteral("1")).color, green); // Saturday
    EXPECT_EQ(texts.at(QStringLiteral("3")).color, black);
    EXPECT_EQ(texts.at(QStringLiteral("日")).color, red);

    // January 2005 from Sunday: the 1st (Saturday) is row 1 alone, so row 2's Monday is the 3rd.
    s.holidays.add(rule(false, 1, 2, 2, blue, false));
    s.holidays.add(rule(false, 1, 3, 2, 0xff00ffff, false));
    texts = byText(month(2005, 1), s);
    EXPECT_EQ(texts.at(QStringLiteral("3")).color, blue);
    EXPECT_EQ(texts.at(QStringLiteral("10")).color, 0xff00ffffu);
    EXPECT_EQ(texts.at(QStringLiteral("17")).color, black);
}

TEST(CalendarRenderer, MoveToMondayOnlyForDateRules)
{
    const struct
    {
        DayData entry;
        QRgb sunday, monday;
    } cases[] = {
        // 2005-10-02 is a Sunday.
        {rule(true, 2, 1, 1, blue, true), blue, blue},
        {rule(true, 2, 1, 1, blue, false), blue, black},
        // A weekday rule on row 2's Sunday looks at the Monday's own row and weekday: it stays.
        {rule(false, 1, 2, 1, blue, true), blue, black},
    };
    for (const auto& c : cases) {
        CalendarSettings s;
        s.holidays.add(c.entry);
        const auto texts = byText(month(2005, 10), s);
        EXPECT_EQ(texts.at(QStringLiteral("2")).color, c.sunday) << c.entry.displayText().toStdString();
        EXPECT_EQ(texts.at(QStringLiteral("3")).color, c.monday) << c.entry.displayText().toStdString();
    }
    // A flagged rule overrides an earlier unflagged one for the same day.
    CalendarSettings s;
    DayData plain = rule(true, 5, 1, 1, blue, false);
    plain.name = QStringLiteral("あ");
    DayData flagged = rule(true, 5, 1, 1, 0xff00ff00, true);
    flagged.name = QStringLiteral("い");
    s.holidays.add(plain);
    s.holidays.add(flagged);
    EXPECT_EQ(byText(month(2005, 10), s).at(QStringLiteral("5")).color, 0xff00ff00u);
}

TEST(CalendarRenderer, PictureIsCanvasSizedOnTheKeyColour)
{
    CalendarSettings s;
    const CalendarRequest r = month(2005, 10);
    const QImage picture = CalendarRenderer::render(r, s);
    ASSERT_EQ(picture.size(), QSize(240, 320));
    EXPECT_EQ(picture.format(), QImage::Format_RGB888);
    EXPECT_EQ(picture.pixel(239, 319), LayerKeyColor);
    // The Saturday 1st is drawn in green, aliased: exact colours only, within its cell.
    int greenPixels = 0;
    for (int y = 35; y < 50; ++y)
        for (int x = 99; x < 114; ++x) {
            const QRgb p = picture.pixel(x, y);
            EXPECT_TRUE(p == LayerKeyColor || p == green) << x << "," << y;
            greenPixels += p == green;
        }
    EXPECT_GT(greenPixels, 3);
    EXPECT_TRUE(CalendarRenderer::render(CalendarRequest{}, s).isNull()); // no canvas

    // The same pixels as the printer's own text output of every string, title off the left edge too,
    // in the fixed-pitch face whose digits have the width of the proportional MS face's.
    CalendarRequest wide = r;
    wide.hSpace = 1;
    wide.font.size = 11;
    wide.font.bold = true;
    QImage expected(wide.canvas, QImage::Format_RGB32);
    expected.fill(LayerKeyColor);
    ImagePrinter printer;
    printer.attributes().fontName = QStringLiteral("ＭＳ ゴシック");
    printer.attributes().fontSize = 11;
    printer.attributes().fontBold = true;
    for (const CalendarText& t : CalendarRenderer::layout(wide, s)) {
        printer.attributes().text = t.text;
        printer.attributes().textColor = t.color;
        ASSERT_TRUE(printer.textOut(expected, t.at.x(), t.at.y()));
    }
    EXPECT_EQ(CalendarRenderer::render(wide, s), expected.convertToFormat(QImage::Format_RGB888));
}

// With the default face and spacing, two-digit days read as days: the gap between neighbours is
// wider than the one between the digits of a day (a face with wider digits ran "13141516" together).
TEST(CalendarRenderer, TwoDigitDaysOfTheDefaultFaceStandApart)
{
    CalendarSettings s;
    const CalendarRequest r = month(2026, 12); // the week of Sunday 13th to Saturday 19th
    const QImage picture = CalendarRenderer::render(r, s);
    ASSERT_FALSE(picture.isNull());
    const int rowTop = 5 + 4 * r.vSpace; // title, weekday names, two weeks above
    auto inkIn = [&](int x) {
        for (int y = rowTop; y < rowTop + r.vSpace; ++y)
            if (picture.pixel(x, y) != LayerKeyColor)
                return true;
        return false;
    };
    // The columns with ink, as runs: one per digit.
    std::vector<std::pair<int, int>> digits;
    for (int x = 0; x < picture.width(); ++x)
        if (inkIn(x)) {
            if (digits.empty() || digits.back().second != x - 1)
                digits.push_back({x, x});
            digits.back().second = x;
        }
    ASSERT_EQ(digits.size(), 14u);
    int widestInside = 0, narrowestBetween = picture.width();
    for (size_t i = 1; i < digits.size(); ++i) {
        const int gap = digits[i].first - digits[i - 1].second - 1;
        if (i % 2 == 1) // between the two digits of a day
            widestInside = std::max(widestInside, gap);
        else
            narrowestBetween = std::min(narrowestBetween, gap);
    }
    EXPECT_GT(narrowestBetween, widestInside);
}
