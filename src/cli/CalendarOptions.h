#pragma once
// The calendar options of `pictorel-cli make`: --calendar YEAR-MONTH@X,Y (any number of times),
// --calendar-settings FILE, --calendar-font NAME[:SIZE[:bold][:italic]][:RRGGBB] and
// --calendar-spacing H,V. Without --calendar-settings the settings' defaults apply.
#include "cli/StandbyMaker.h"
#include "decoration/CalendarRenderer.h"

#include <QtCore/QPoint>

class QCommandLineParser;

struct CalendarPlacement
{
    int year = 0;
    int month = 0;
    QPoint at;
};

class CalendarOptions
{
  public:
    static QStringList optionNames();
    // Adds one decoration per --calendar to choices, in command-line order. An error text, or empty.
    static QString read(const QCommandLineParser& parser, const QStringList& arguments, MakeChoices& choices);

    static bool parsePlacement(const QString& text, CalendarPlacement* placement);
    static bool parseFont(const QString& text, CalendarFont* font);
    // The month's calendar drawn and placed as the calendar page and its canvas tool do, then committed.
    static void place(const CalendarRequest& request, const CalendarSettings& settings, QPoint at, Workbench& bench);
};
