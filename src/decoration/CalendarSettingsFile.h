#pragma once
// "Calender.ini": the calendar settings and the holiday rules as INI sections in the Windows
// Japanese code page. Colours are stored with red in the low byte. Sections of rules beyond
// Count, left by an earlier save, stay in the file and are not read.
#include "decoration/CalendarSettings.h"

#include <QtCore/QString>

class IniFile;

class CalendarSettingsFile
{
  public:
    static QString fileName() { return QStringLiteral("Calender.ini"); }

    // Every missing or unreadable value takes its default. At most 512 rules are read, whatever
    // Count says; a rule's fields are taken as written.
    static CalendarSettings read(const IniFile& file);
    static CalendarSettings load(const QString& path);
    static void write(const CalendarSettings& settings, IniFile& file);
    // Writes the whole file or leaves the previous one as it was; false when it could not.
    static bool save(const CalendarSettings& settings, const QString& path);

    static int toFileColor(QRgb color);
    static QRgb fromFileColor(int value);
};
