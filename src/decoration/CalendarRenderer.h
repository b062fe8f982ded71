#pragma once
// Lays out and draws one month as a text grid: one column per weekday, one row per calendar week,
// with the title and the weekday names above. The picture is canvas-sized on the layer key colour,
// so only the text shows once it lies on the canvas.
#include "decoration/CalendarSettings.h"

#include <QtCore/QPoint>
#include <QtCore/QSize>
#include <QtGui/QImage>

#include <vector>

struct CalendarFont
{
    QString name = QStringLiteral("ＭＳ Ｐゴシック");
    int size = 9; // points
    bool bold = false;
    bool italic = false;
    QRgb color = 0xff000000;
    bool operator==(const CalendarFont&) const = default;
};

struct CalendarRequest
{
    int year = 2005;
    int month = 1;
    int hSpace = 15; // pixels between column origins
    int vSpace = 15; // pixels between row origins
    CalendarFont font;
    QSize canvas;
};

// One string of the calendar with its top-left corner.
struct CalendarText
{
    QPoint at;
    QString text;
    QRgb color;
    bool operator==(const CalendarText&) const = default;
};

class CalendarRenderer
{
  public:
    // Day numbers first, then the weekday names, then the title.
    static std::vector<CalendarText> layout(const CalendarRequest& request, const CalendarSettings& settings);
    // The canvas-sized 24-bit picture; null when the request holds no drawable month or canvas.
    static QImage render(const CalendarRequest& request, const CalendarSettings& settings);

    static QString titleText(int year, int month, TitleNotation notation);
    static QString weekdayName(int index, WeekdayNotation notation); // index 0 = Sunday
    // Width estimated from half-width cells, a full-width character counting as two.
    static int estimatedWidth(const QString& text, int fontSize);
};
