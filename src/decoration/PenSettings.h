#pragma once
// What the pen page holds when a pen tool acts: the mode button that is down and the pen's look.
#include <QtGui/QRgb>

enum class PenMode { Dot, Line, Rectangle, Ellipse };

struct PenSettings
{
    PenMode mode = PenMode::Dot;
    int lineWidth = 3; // pixels, also the dot diameter
    QRgb lineColor = 0xFF000000;
    QRgb fillColor = 0xFFC0C0C0;
    bool fill = true;
};
