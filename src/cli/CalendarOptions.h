#pragma once
// The calendar options of `pictorel-cli make`: --calendar YEAR-MONTH@X,Y (any number of times),
// --calendar-settings FILE, --calendar-font NAME[:SIZE[:bold][:italic]][:RRGGBB] and
// --calendar-spacing H,V. Without --calendar-settings the settings' defaults apply.
#include "cli/DecorationArguments.h"
#include "decoration/CalendarRenderer.h"

#include <QtCore/QPoint>

#include <memory>
#include <optional>

class CommandLine;

// What every calendar of one command shares: font, spacing and the settings file's contents.
struct CalendarChoices
{
    CalendarRequest request;
    std::shared_ptr<const CalendarSettings> settings;
};

class CalendarOptions
{
  public:
    static QStringList optionNames();
    // The look of the calendars; nothing, with `error` saying why, on the first fault.
    static std::optional<CalendarChoices> read(const CommandLine& line, QString* error);
    // The layer step of one --calendar YEAR-MONTH@X,Y.
    static std::optional<LayerStep> step(const QString& value, const CalendarChoices& look, QString* error);

    // The month's calendar drawn as the calendar page draws it, placed with its top-left at `at`.
    static void place(const CalendarRequest& request, const CalendarSettings& settings, QPoint at, Workbench& bench);
};
