#pragma once
// A colour the user chose for drawing. The layer key colour would vanish on the layer, so it
// becomes white.
#include "imaging/drawing/LayerKeyColor.h"

#include <QtGui/QColor>

inline QRgb keySafeColor(QRgb chosen)
{
    const QRgb opaque = chosen | 0xFF000000u;
    return opaque == LayerKeyColor ? QRgb(0xFFFFFFFFu) : opaque;
}

inline QRgb keySafeColor(const QColor& chosen)
{
    return keySafeColor(chosen.rgb());
}
