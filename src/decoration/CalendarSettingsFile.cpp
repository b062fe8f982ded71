#include "decoration/CalendarSettingsFile.h"

#include "foundation/Cp932.h"
#include "foundation/IniFile.h"

namespace {

const QString colorSection = QStringLiteral("曜日毎の色");
const QString startSection = QStringLiteral("開始曜日");
const QString titleSection = QStringLiteral("年月の標記");
const QString weekdaySection = QStringLiteral("曜日の標記");
const QString holidaySection = QStringLiteral("祝日設定");

const char* const colorKeys[7] = {"SundayColor",   "MondayColor", "TuesdayColor", "WednesdayColor",
                                  "ThursdayColor", "FridayColor", "SaturdayColor"};

QString key(const char* name)
{
    return QLatin1String(name);
}

QString entrySection(int index)
{
    return holidaySection + QLatin1Char(':') + QString::number(index);
}

// Radio groups read in key order: the last one set wins, and none set keeps the default.
template <typename Notation>
Notation readNotation(const IniFile& file, const QString& section, std::initializer_list<const char*> keys,
                      Notation fallback)
{
    Notation chosen = fallback;
    int value = 0;
    for (const char* name : keys) {
        if (file.readBool(section, key(name), value == int(fallback)))
            chosen = Notation(value);
        ++value;
    }
    return chosen;
}

template <typename Notation>
void writeNotation(IniFile& file, const QString& section, std::initializer_list<const char*> keys, Notation chosen)
{
    int value = 0;
    for (const char* name : keys)
        file.writeBool(section, key(name), value++ == int(chosen));
}

// The name as the file will hold it, so that what is read is what a save writes back.
QString asStored(const QString& name)
{
    return Cp932::decode(Cp932::encode(name));
}

DayData readEntry(const IniFile& file, const QString& section)
{
    const DayData defaults;
    DayData e;
    e.everyYear = file.readBool(section, key("typeYear"), defaults.everyYear);
    e.month = file.readInteger(section, key("Month"), defaults.month);
    e.dateType = file.readBool(section, key("typeDate"), defaults.dateType);
    e.day = file.readInteger(section, key("Date"), defaults.day);
    e.weekNumber = file.readInteger(section, key("WeekNum"), defaults.weekNumber);
    e.weekday = file.readInteger(section, key("DayOfWeek"), defaults.weekday);
    e.name = asStored(file.readString(section, key("Name"), defaults.name));
    e.color = CalendarSettingsFile::fromFileColor(
        file.readInteger(section, key("Color"), CalendarSettingsFile::toFileColor(defaults.color)));
    e.moveToMonday = file.readBool(section, key("Return"), defaults.moveToMonday);
    return e;
}

void writeEntry(IniFile& file, const QString& section, const DayData& e)
{
    file.writeBool(section, key("typeYear"), e.everyYear);
    file.writeInteger(section, key("Month"), e.month);
    file.writeBool(section, key("typeDate"), e.dateType);
    file.writeInteger(section, key("Date"), e.day);
    file.writeInteger(section, key("WeekNum"), e.weekNumber);
    file.writeInteger(section, key("DayOfWeek"), e.weekday);
    file.writeString(section, key("Name"), e.name); // the INI writer quotes what its reader would trim
    file.writeInteger(section, key("Color"), CalendarSettingsFile::toFileColor(e.color));
    file.writeBool(section, key("Return"), e.moveToMonday);
}

} // namespace

int CalendarSettingsFile::toFileColor(QRgb color)
{
    return qRed(color) | qGreen(color) << 8 | qBlue(color) << 16;
}

QRgb CalendarSettingsFile::fromFileColor(int value)
{
    // Only the three colour bytes count; a system colour's flag byte has no meaning here.
    return qRgb(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

CalendarSettings CalendarSettingsFile::read(const IniFile& file)
{
    CalendarSettings s;
    for (int i = 0; i < 7; ++i)
        s.weekdayColors[size_t(i)] =
            fromFileColor(file.readInteger(colorSection, key(colorKeys[i]), toFileColor(s.weekdayColors[size_t(i)])));
    // "Sunday" and "Monday" are the two radios; Monday set wins, as the later of the two.
    if (file.readBool(startSection, key("Monday"), false))
        s.weekStartsMonday = true;
    else if (file.readBool(startSection, key("Sunday"), true))
        s.weekStartsMonday = false;
    s.showTitle = file.readBool(titleSection, key("Draw"), true);
    s.title = readNotation(file, titleSection, {"JP", "EN", "MA"}, TitleNotation::Japanese);
    s.showWeekdays = file.readBool(weekdaySection, key("Date"), true);
    s.weekdays = readNotation(file, weekdaySection, {"JP", "EN"}, WeekdayNotation::Japanese);
    const int count = std::min(file.readInteger(holidaySection, key("Count"), 0), HolidayList::Capacity);
    for (int i = 0; i < count; ++i)
        s.holidays.add(readEntry(file, entrySection(i)));
    return s;
}

CalendarSettings CalendarSettingsFile::load(const QString& path)
{
    return read(IniFile(path));
}

void CalendarSettingsFile::write(const CalendarSettings& s, IniFile& file)
{
    for (int i = 0; i < 7; ++i)
        file.writeInteger(colorSection, key(colorKeys[i]), toFileColor(s.weekdayColors[size_t(i)]));
    file.writeBool(startSection, key("Sunday"), !s.weekStartsMonday);
    file.writeBool(startSection, key("Monday"), s.weekStartsMonday);
    file.writeBool(titleSection, key("Draw"), s.showTitle);
    writeNotation(file, titleSection, {"JP", "EN", "MA"}, s.title);
    file.writeBool(weekdaySection, key("Date"), s.showWeekdays);
    writeNotation(file, weekdaySection, {"JP", "EN"}, s.weekdays);
    for (int i = 0; i < s.holidays.count(); ++i)
        writeEntry(file, entrySection(i), s.holidays.at(i));
    file.writeInteger(holidaySection, key("Count"), s.holidays.count());
}

bool CalendarSettingsFile::save(const CalendarSettings& settings, const QString& path)
{
    IniFile file(path);
    write(settings, file);
    return file.save();
}
