#include "cli/CalendarOptions.h"

#include "cli/ArgumentPaths.h"
#include "cli/CommandLine.h"
#include "cli/OptionValues.h"
#include "decoration/CalendarSettingsFile.h"
#include "decoration/CalendarTool.h"
#include "workbench/Workbench.h"

#include <QtCore/QFileInfo>

QStringList CalendarOptions::optionNames()
{
    return {QStringLiteral("calendar"), QStringLiteral("calendar-settings"), QStringLiteral("calendar-font"),
            QStringLiteral("calendar-spacing")};
}

std::optional<CalendarChoices> CalendarOptions::read(const CommandLine& p, QString* error)
{
    auto settings = std::make_shared<CalendarSettings>();
    if (p.isSet(QStringLiteral("calendar-settings"))) {
        const ReadablePath file(p.value(QStringLiteral("calendar-settings")));
        if (!QFileInfo(file.path()).isFile()) {
            *error = QStringLiteral("calendar settings file %1 not found").arg(file.given());
            return std::nullopt;
        }
        *settings = CalendarSettingsFile::load(file.path());
    }
    CalendarChoices look{{}, settings};
    if (p.isSet(QStringLiteral("calendar-font")) &&
        !OptionValues::calendarFont(p.value(QStringLiteral("calendar-font")), &look.request.font)) {
        *error = QStringLiteral("--calendar-font takes NAME[:SIZE[:bold][:italic]][:RRGGBB]");
        return std::nullopt;
    }
    if (p.isSet(QStringLiteral("calendar-spacing")) &&
        !OptionValues::calendarSpacing(p.value(QStringLiteral("calendar-spacing")), &look.request.hSpace,
                                       &look.request.vSpace)) {
        *error = QStringLiteral("--calendar-spacing takes H,V, each 1 to 100");
        return std::nullopt;
    }
    return look;
}

std::optional<LayerStep> CalendarOptions::step(const QString& value, const CalendarChoices& look, QString* error)
{
    CalendarPlacement placement;
    if (!OptionValues::calendarPlacement(value, &placement, error))
        return std::nullopt;
    CalendarRequest request = look.request;
    request.year = placement.year;
    request.month = placement.month;
    return LayerStep{[request, settings = look.settings, at = placement.at](Workbench& bench) {
        place(request, *settings, at, bench);
        return QString();
    }};
}

void CalendarOptions::place(const CalendarRequest& request, const CalendarSettings& settings, QPoint at,
                            Workbench& bench)
{
    const QSize canvas(bench.geometry.canvasWidth, bench.geometry.canvasHeight);
    CalendarRequest r = request;
    r.canvas = canvas;
    CalendarTool::placeCalendar(bench.layers, canvas, CalendarRenderer::render(r, settings), at);
}
