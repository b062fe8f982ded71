#pragma once
// The values of pictorel-cli's options, read and checked without touching a file or drawing: each
// gives the value, or nothing (or an error text) saying why not.
#include "decoration/CalendarRenderer.h"
#include "decoration/TextSettings.h"
#include "foundation/ProgramOptions.h"

#include <QtCore/QPoint>
#include <QtCore/QSize>
#include <QtCore/QStringList>

#include <optional>
#include <vector>

struct CalendarPlacement
{
    int year = 0;
    int month = 0;
    QPoint at;
};

class OptionValues
{
  public:
    // Where a decoration may be placed: far enough off the canvas for any real use, well within
    // what can be drawn.
    static constexpr int MaxCoordinate = 100000;

    // --size WxH, digits only on both sides; a side too long for an int reads as the largest one,
    // which the range check then refuses by name.
    static std::optional<QSize> screenSize(const QString& text);
    // Comma-separated coordinates, each within MaxCoordinate; an empty list when one is not.
    static std::vector<int> coordinates(const QString& text);

    // --stamp FILE@X,Y (a click) or FILE@X1,Y1,X2,Y2 (a drag).
    struct StampPlace
    {
        QString file;
        QPoint from;
        QPoint to;
    };
    static std::optional<StampPlace> stampPlace(const QString& value, QString* error);
    // --text TEXT@X,Y.
    struct TextPlace
    {
        QString text;
        QPoint at;
    };
    static std::optional<TextPlace> textPlace(const QString& value, QString* error);
    // RRGGBB, made safe from the layer key colour.
    static std::optional<QRgb> color(const QString& text);
    static std::optional<int> integer(const QString& text, int minimum, int maximum);
    // --font NAME[:SIZE[:bold][:italic]] and --shadow POSITION:DISTANCE[:RRGGBB] | none: an error
    // text, empty when the value was good and taken.
    static QString textFont(const QString& value, TextFont& font);
    static QString shadow(const QString& value, TextSettings& look);

    // --calendar-spacing H,V, --calendar YEAR-MONTH@X,Y and --calendar-font NAME[:SIZE[:bold][:italic]][:RRGGBB].
    static bool calendarSpacing(const QString& text, int* h, int* v);
    static bool calendarPlacement(const QString& text, CalendarPlacement* placement, QString* error = nullptr);
    static bool calendarFont(const QString& text, CalendarFont* font);

    // --op NAME[:PARAM]: the operation, with the parameter, when given, set in `options`.
    static bool operation(const QString& opText, ProgramOptions& options, int* operationId, QString* error);
    static QStringList operationNames();
};
