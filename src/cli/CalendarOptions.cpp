#include "cli/CalendarOptions.h"

#include "cli/CommandLine.h"
#include "decoration/CalendarSettingsFile.h"
#include "decoration/CalendarTool.h"
#include "workbench/Workbench.h"

#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>

#include <cstdlib>

namespace {

bool parseSpacing(const QString& text, int* h, int* v)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(\\d{1,3}),(\\d{1,3})$")).match(text);
    if (!m.hasMatch())
        return false;
    *h = m.captured(1).toInt();
    *v = m.captured(2).toInt();
    return *h >= 1 && *h <= 100 && *v >= 1 && *v <= 100;
}

} // namespace

QStringList CalendarOptions::optionNames()
{
    return {QStringLiteral("calendar"), QStringLiteral("calendar-settings"), QStringLiteral("calendar-font"),
            QStringLiteral("calendar-spacing")};
}

bool CalendarOptions::parsePlacement(const QString& text, CalendarPlacement* placement, QString* error)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{1,2})@(-?\\d{1,9}),(-?\\d{1,9})$"));
    const QRegularExpressionMatch m = form.match(text);
    const auto refuse = [error, &text](const QString& what) {
        if (error)
            *error = QStringLiteral("--calendar takes YEAR-MONTH@X,Y; in '%1' %2").arg(text, what);
        return false;
    };
    if (!m.hasMatch())
        return refuse(QStringLiteral("that form is not found"));
    *placement = {m.captured(1).toInt(), m.captured(2).toInt(), QPoint(m.captured(3).toInt(), m.captured(4).toInt())};
    if (placement->year < 1900 || placement->year > 2100)
        return refuse(QStringLiteral("the year is not 1900 to 2100"));
    if (placement->month < 1 || placement->month > 12)
        return refuse(QStringLiteral("the month is not 1 to 12"));
    const int limit = DecorationArguments::MaxCoordinate;
    if (std::abs(placement->at.x()) > limit || std::abs(placement->at.y()) > limit)
        return refuse(QStringLiteral("a coordinate is not -%1 to %1").arg(limit));
    return true;
}

bool CalendarOptions::parseFont(const QString& text, CalendarFont* font)
{
    QStringList parts = text.split(QLatin1Char(':'));
    CalendarFont parsed;
    parsed.name = parts.takeFirst();
    if (parsed.name.isEmpty())
        return false;
    static const QRegularExpression colour(QStringLiteral("^[0-9A-Fa-f]{6}$"));
    // Six hex digits can only be the colour: a size has at most three.
    if (!parts.isEmpty() && colour.match(parts.constLast()).hasMatch())
        parsed.color = 0xff000000 | parts.takeLast().toUInt(nullptr, 16);
    if (!parts.isEmpty()) {
        bool ok = false;
        parsed.size = parts.takeFirst().toInt(&ok);
        if (!ok || parsed.size < 1 || parsed.size > 200)
            return false;
    }
    for (const QString& flag : std::as_const(parts)) {
        if (flag == QLatin1String("bold"))
            parsed.bold = true;
        else if (flag == QLatin1String("italic"))
            parsed.italic = true;
        else
            return false;
    }
    if (parsed.color == 0xfffefefe) // as the program's font chooser: never the layer's see-through colour
        parsed.color = 0xffffffff;
    *font = parsed;
    return true;
}

std::optional<CalendarChoices> CalendarOptions::read(const CommandLine& p, QString* error)
{
    auto settings = std::make_shared<CalendarSettings>();
    if (p.isSet(QStringLiteral("calendar-settings"))) {
        const QString file = p.value(QStringLiteral("calendar-settings"));
        if (!QFileInfo(file).isFile()) {
            *error = QStringLiteral("calendar settings file %1 not found").arg(file);
            return std::nullopt;
        }
        *settings = CalendarSettingsFile::load(file);
    }
    CalendarChoices look{{}, settings};
    if (p.isSet(QStringLiteral("calendar-font")) &&
        !parseFont(p.value(QStringLiteral("calendar-font")), &look.request.font)) {
        *error = QStringLiteral("--calendar-font takes NAME[:SIZE[:bold][:italic]][:RRGGBB]");
        return std::nullopt;
    }
    if (p.isSet(QStringLiteral("calendar-spacing")) &&
        !parseSpacing(p.value(QStringLiteral("calendar-spacing")), &look.request.hSpace, &look.request.vSpace)) {
        *error = QStringLiteral("--calendar-spacing takes H,V, each 1 to 100");
        return std::nullopt;
    }
    return look;
}

std::optional<LayerStep> CalendarOptions::step(const QString& value, const CalendarChoices& look, QString* error)
{
    CalendarPlacement placement;
    if (!parsePlacement(value, &placement, error))
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
