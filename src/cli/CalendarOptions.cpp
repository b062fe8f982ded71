#include "cli/CalendarOptions.h"

#include "app/Workbench.h"
#include "decoration/CalendarSettingsFile.h"
#include "decoration/CalendarTool.h"
#include "decoration/KeySafeColor.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>

#include <memory>

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

bool CalendarOptions::parsePlacement(const QString& text, CalendarPlacement* placement)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{1,2})@(-?\\d{1,6}),(-?\\d{1,6})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return false;
    *placement = {m.captured(1).toInt(), m.captured(2).toInt(), QPoint(m.captured(3).toInt(), m.captured(4).toInt())};
    return placement->year >= 1900 && placement->year <= 2100 && placement->month >= 1 && placement->month <= 12;
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
    parsed.color = keySafeColor(parsed.color); // as the program's font chooser
    *font = parsed;
    return true;
}

QString CalendarOptions::read(const QCommandLineParser& p, const QStringList& arguments, MakeChoices& choices)
{
    auto settings = std::make_shared<CalendarSettings>();
    if (p.isSet(QStringLiteral("calendar-settings"))) {
        const QString file = p.value(QStringLiteral("calendar-settings"));
        if (!QFileInfo(file).isFile())
            return QStringLiteral("calendar settings file %1 not found").arg(file);
        *settings = CalendarSettingsFile::load(file);
    }
    CalendarRequest request;
    if (p.isSet(QStringLiteral("calendar-font")) && !parseFont(p.value(QStringLiteral("calendar-font")), &request.font))
        return QStringLiteral("--calendar-font takes NAME[:SIZE[:bold][:italic]][:RRGGBB]");
    if (p.isSet(QStringLiteral("calendar-spacing")) &&
        !parseSpacing(p.value(QStringLiteral("calendar-spacing")), &request.hSpace, &request.vSpace))
        return QStringLiteral("--calendar-spacing takes H,V, each 1 to 100");
    const QStringList values = p.values(QStringLiteral("calendar"));
    const QList<int> positions = optionPositions(QStringLiteral("calendar"), arguments);
    for (qsizetype i = 0; i < values.size(); ++i) {
        CalendarPlacement placement;
        if (!parsePlacement(values.at(i), &placement))
            return QStringLiteral("--calendar takes YEAR-MONTH@X,Y (year 1900 to 2100), not '%1'").arg(values.at(i));
        CalendarRequest r = request;
        r.year = placement.year;
        r.month = placement.month;
        choices.layers.push_back({int(positions.value(i, int(arguments.size()))),
                                  [r, settings, at = placement.at](Workbench& bench, ConsolePrompts&) {
                                      place(r, *settings, at, bench);
                                      return QString();
                                  }});
    }
    return {};
}

void CalendarOptions::place(const CalendarRequest& request, const CalendarSettings& settings, QPoint at,
                            Workbench& bench)
{
    const QSize canvas(bench.geometry.canvasWidth, bench.geometry.canvasHeight);
    CalendarRequest r = request;
    r.canvas = canvas;
    const QImage calendar = CalendarRenderer::render(r, settings);
    CalendarTool tool(
        bench.layers, [&calendar] { return calendar; }, [canvas] { return canvas; });
    tool.press(at, Qt::LeftButton);
    tool.release(at);
}
