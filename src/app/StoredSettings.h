#pragma once
// Everything the settings file keeps from one run to the next, as plain values: what loading puts
// into the windows and what saving takes from them.
#include "foundation/ColorValue.h"
#include "foundation/PlacementPanels.h"
#include "foundation/ProgramOptions.h"

#include <QtCore/QString>

struct WindowPlace
{
    int top;
    int left;
    bool operator==(const WindowPlace&) const = default;
};

// " 絵を描く ": kept in the file, back at these values at every start.
struct PenLook
{
    int lineWidth = 3;           // csLineWidth
    qint32 lineColor = 0;        // stLineColor
    qint32 fillColor = 0xC0C0C0; // stFillColor
    bool checkFill = true;       // cbCheckFill
    bool operator==(const PenLook&) const = default;
};

// The text tool.
struct TextToolSettings
{
    QString direction = QStringLiteral("左から右(→)"); // cbTextDirection
    QString angle = QStringLiteral("0度");             // cbTextAngle
    QString shadowPosition = QStringLiteral("右下");   // cbShadowPos
    int shadowDistance = 3;                            // csShadowDistance
    qint32 fontColor = 0;                              // stFontColor
    qint32 shadowColor = 0xC0C0C0;                     // stShadowColor
    bool shadow = true;                                // cbTextShadow
    QString fontName = QStringLiteral("ＭＳ Ｐゴシック");
    int fontSize = 9;
    bool operator==(const TextToolSettings&) const = default;
};

// The calendar's spacing and font: kept in the file, back at these values at every start.
struct CalendarLook
{
    int horizontalSpace = 15; // csCalHSpace
    int verticalSpace = 15;   // csCalVSpace
    qint32 fontColor = 0;
    QString fontName = QStringLiteral("ＭＳ Ｐゴシック");
    int fontSize = 9;
    bool operator==(const CalendarLook&) const = default;
};

struct StoredSettings
{
    WindowPlace mainWindow{10, 10};
    WindowPlace subWindow{500, 750};
    WindowPlace optionsDialog{150, 150};
    QString carrier = QStringLiteral("DoCoMo"); // cbCarrier's text
    QString phone = QStringLiteral("F900i");    // cbPhone's text
    int mpWidth = 240;                          // edMpWidth
    int mpHeight = 320;                         // edMpHeight
    int mpCol = 18;                             // edMpCol
    int mpFS = 97600;                           // csFS
    QString loadFolder;                         // empty: the program folder
    QString saveFolder;
    PenLook pen;
    TextToolSettings text;
    CalendarLook calendar;
    ProgramOptions options;
    PlacementPanels panels;
    bool operator==(const StoredSettings&) const = default;
};
