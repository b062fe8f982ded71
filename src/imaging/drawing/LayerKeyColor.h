// The colour a drawing layer holds where nothing is drawn: displays and compositing let what lies
// below show through wherever a layer pixel has it (red, green and blue compared, alpha ignored).
#pragma once

#include <QtGui/QRgb>

inline constexpr QRgb LayerKeyColor = 0xFFFEFEFE;
