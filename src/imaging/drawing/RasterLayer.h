// One drawing layer shown over a display's picture.
#pragma once

#include "imaging/drawing/LayerKeyColor.h"

#include <QtGui/QImage>

struct RasterLayer
{
    QImage image;
    bool showInDisp = false;
    bool transparent = true;       // pixels of keyColor let what lies below show through
    QRgb keyColor = LayerKeyColor; // compared on red, green and blue only
};
