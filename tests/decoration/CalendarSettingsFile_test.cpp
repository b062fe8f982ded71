#include "decoration/CalendarRenderer.h"
#include "decoration/CalendarSettingsFile.h"
#include "foundation/Cp932.h"
#include "foundation/IniFile.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <gtest/gtest.h>

namespace {

DayData entry(bool everyYear, int month, bool dateType, int day, int week, int weekday, const QString& name)
{
    DayData e;
    e.everyYear = everyYear;
    e.month = month;
    e.dateType = dateType;
    e.day = day;
    e.weekNumber = week;
    e.weekday = weekday;
    e.name = name;
    return e;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class CalendarFileTest : public ::testing::Test
{
  protected:
    QTemporaryDir folder;
    QString path = folder.filePath(CalendarSettingsFile::fileName());
};

} // namespace

TEST(HolidayList, DisplayTexts)
{
    const struct
    {
        DayData e;
        const char16_t* text;
    } cases[] = {
        {entry(true, 10, true, 10, 1, 1, QStringLiteral("祝日")), u"毎年 10月 10日 : 祝日"},
        {entry(true, 1, true, 1, 1, 1, QStringLiteral("元日")), u"毎年  1月  1日 : 元日"},
        {entry(true, 1, false, 1, 2, 2, QStringLiteral("祝日")), u"毎年  1月 第二 月曜 : 祝日"},
        {entry(false, 7, true, 25, 1, 1, QStringLiteral("給料日")), u"毎月 25日 : 給料日"},
        {entry(false, 1, false, 1, 5, 7, QStringLiteral("x")), u"毎月 第五 土曜 : x"},
        {entry(false, 1, false, 1, 9, 0, QStringLiteral("x")), u"毎月 第9 0曜 : x"}, // from a hand-edited file
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.e.displayText(), QString::fromUtf16(c.text));
}

TEST(HolidayList, KeepsTextOrderAndItsCapacity)
{
    HolidayList list;
    DayData first = entry(true, 10, true, 10, 1, 1, QStringLiteral("祝日"));
    first.color = 0xff0000ff;
    DayData second = first;
    second.color = 0xff00ff00;
    EXPECT_EQ(list.add(entry(true, 12, true, 1, 1, 1, QStringLiteral("a"))), 0);
    EXPECT_EQ(list.add(first), 0);
    EXPECT_EQ(list.add(second), 1); // after the equal text, so the earlier one still wins
    EXPECT_EQ(list.add(entry(true, 2, true, 1, 1, 1, QStringLiteral("b"))), 0); // "  2月" before " 10月"
    EXPECT_EQ(list.at(1).color, 0xff0000ffu);
    EXPECT_EQ(list.HolidayColor(10, 10, 2, 2, QDate(2005, 10, 10)), std::optional<QRgb>(0xff0000ff));

    // Acting on no entry changes nothing.
    const HolidayList before = list;
    EXPECT_FALSE(list.remove(-1));
    EXPECT_FALSE(list.remove(4));
    EXPECT_EQ(list.replace(-1, first), -1);
    EXPECT_TRUE(list == before);

    while (!list.isFull())
        list.add(first);
    EXPECT_EQ(list.count(), 512);
    EXPECT_EQ(list.add(first), -1);
    EXPECT_EQ(list.count(), 512);
}

TEST_F(CalendarFileTest, WithoutAFileEverythingTakesItsDefault)
{
    const CalendarSettings s = CalendarSettingsFile::load(path);
    EXPECT_EQ(s.WeekdayColor(1), 0xffff0000u);
    EXPECT_EQ(s.WeekdayColor(7), 0xff008000u);
    EXPECT_EQ(s.WeekdayColor(4), 0xff000000u);
    EXPECT_FALSE(s.weekStartsMonday);
    EXPECT_TRUE(s.showTitle && s.showWeekdays);
    EXPECT_EQ(s.title, TitleNotation::Japanese);
    EXPECT_EQ(s.weekdays, WeekdayNotation::Japanese);
    EXPECT_EQ(s.holidays.count(), 0);
    EXPECT_EQ(CalendarSettingsFile::toFileColor(0xff008000), 32768);
}

TEST_F(CalendarFileTest, SavesEveryKeyInTheCodePageAndReadsItBack)
{
    CalendarSettings s;
    s.weekdayColors[3] = 0xff123456;
    s.weekStartsMonday = true;
    s.showTitle = false;
    s.title = TitleNotation::Numeric;
    s.weekdays = WeekdayNotation::English;
    DayData holiday = entry(false, 4, false, 9, 3, 6, QStringLiteral(" \"みどりの日\" "));
    holiday.color = 0xff00ff00;
    holiday.moveToMonday = false;
    s.holidays.add(holiday);
    s.holidays.add(entry(true, 1, true, 1, 1, 1, QStringLiteral("元日")));
    ASSERT_TRUE(CalendarSettingsFile::save(s, path));
    EXPECT_TRUE(CalendarSettingsFile::load(path) == s);

    const QString text = Cp932::decode(bytesOf(path));
    for (const char16_t* line :
         {u"[曜日毎の色]\r\nSundayColor=255\r\n", u"WednesdayColor=5649426\r\n",
          u"[開始曜日]\r\nSunday=0\r\nMonday=1\r\n", u"[年月の標記]\r\nDraw=0\r\nJP=0\r\nEN=0\r\nMA=1\r\n",
          u"[曜日の標記]\r\nDate=1\r\nJP=0\r\nEN=1\r\n",
          u"[祝日設定:1]\r\ntypeYear=0\r\nMonth=4\r\ntypeDate=0\r\nDate=9\r\nWeekNum=3\r\n"
          u"DayOfWeek=6\r\nName=\" \"みどりの日\" \"\r\nColor=65280\r\nReturn=0\r\n",
          u"[祝日設定]\r\nCount=2\r\n"})
        EXPECT_TRUE(text.contains(QString::fromUtf16(line))) << QString::fromUtf16(line).toStdString();
}

TEST_F(CalendarFileTest, ASmallerCountLeavesOlderSectionsUnread)
{
    CalendarSettings s;
    for (int day = 1; day <= 3; ++day)
        s.holidays.add(entry(true, 5, true, day, 1, 1, QStringLiteral("休み")));
    ASSERT_TRUE(CalendarSettingsFile::save(s, path));
    s.holidays.remove(0);
    s.holidays.remove(0);
    ASSERT_TRUE(CalendarSettingsFile::save(s, path));
    const IniFile file(path);
    EXPECT_EQ(file.readInteger(QStringLiteral("祝日設定"), QStringLiteral("Count"), -1), 1);
    EXPECT_TRUE(file.hasKey(QStringLiteral("祝日設定:2"), QStringLiteral("Name")));
    const CalendarSettings back = CalendarSettingsFile::read(file);
    ASSERT_EQ(back.holidays.count(), 1);
    EXPECT_EQ(back.holidays.at(0).day, 3);
}

TEST_F(CalendarFileTest, HostileCountsAndFieldsAreReadSafely)
{
    for (const char* count : {"2147483647", "-5", "99999999999999", "abc"}) {
        QByteArray bytes = QByteArray("[祝日設定]\r\nCount=") + count + "\r\n[other]\r\nkept=1\r\n";
        bytes += "[祝日設定:0]\r\ntypeYear=1\r\nMonth=13\r\ntypeDate=0\r\nDate=-4\r\nWeekNum=99\r\n"
                 "DayOfWeek=-2147483648\r\nColor=-1\r\n";
        writeBytes(path, Cp932::encode(QString::fromUtf8(bytes)));
        const CalendarSettings s = CalendarSettingsFile::load(path);
        EXPECT_LE(s.holidays.count(), 512) << count;
        // Whatever was read draws a calendar.
        CalendarRequest r;
        r.canvas = QSize(120, 120);
        EXPECT_FALSE(CalendarRenderer::render(r, s).isNull());
        // A save keeps the sections it does not own.
        ASSERT_TRUE(CalendarSettingsFile::save(s, path));
        EXPECT_EQ(IniFile(path).readInteger(QStringLiteral("other"), QStringLiteral("kept"), 0), 1);
    }
    EXPECT_EQ(CalendarSettingsFile::load(path).holidays.count(), 0); // "abc" counts as none
}
