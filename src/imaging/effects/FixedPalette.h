// The two fixed palettes a picture can be reduced to instead of one made for it.
#pragma once

#include <QtCore/QList>
#include <QtGui/QRgb>

class FixedPalette
{
  public:
    // 256 = the 216 web-safe colours plus 40 greys; 16 = the classic 16 VGA colours.
    static QList<QRgb> colors(int count);
};
