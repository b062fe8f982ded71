// Pictures are worked on as sRGB. A picture that carries a colour profile of its own (a phone's
// Display P3, a camera's Adobe RGB) is converted to sRGB when it is read, with the perceptual
// intent, so its colours look as they were taken and not dull or off.
#pragma once

#include <QtCore/QByteArray>
#include <QtGui/QImage>

class ColorProfile
{
  public:
    struct Chromaticity
    {
        double x;
        double y;
    };

    // Converts `image` (Format_RGB888 or Format_ARGB32; alpha is kept) from the ICC profile `icc`
    // to sRGB in place. A profile that cannot be read or used for RGB pixels leaves the picture as
    // it is, with a note on standard error: the colours may be off, but the picture is there.
    static void convertToSrgb(QImage& image, const QByteArray& icc);

    // Whether `icc` describes sRGB itself (same primaries, white and tone curve), so converting would
    // change nothing but rounding.
    static bool isSrgb(const QByteArray& icc);

    // An ICC profile with the given primaries and white point and sRGB's tone curve, for files that
    // name their colours by primaries instead of embedding a profile.
    static QByteArray fromPrimaries(Chromaticity red, Chromaticity green, Chromaticity blue, Chromaticity white);
};
