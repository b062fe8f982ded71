#include "imaging/effects/FixedPalette.h"

QList<QRgb> FixedPalette::colors(int count)
{
    if (count == 16)
        return {0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080, 0xff008080, 0xff808080,
                0xffc0c0c0, 0xffff0000, 0xff00ff00, 0xffffff00, 0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff};
    QList<QRgb> palette;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.append(qRgb(r * 51, g * 51, b * 51));
    // Greys in steps of 255/45, leaving out the six the cube already has (every ninth step).
    for (int i = 0; i <= 45; ++i)
        if (i % 9 != 0) {
            const int v = (i * 255 + 22) / 45;
            palette.append(qRgb(v, v, v));
        }
    return palette;
}
