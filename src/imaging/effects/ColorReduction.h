// Colour depth conversion: 24-bit true colour, or 8/4-bit palette images.
#pragma once

#include <QtCore/QString>
#include <QtGui/QImage>

class ColorReduction
{
  public:
    // Converts to `bits` per pixel: 24 gives Format_RGB888, 8 and 4 give Format_Indexed8 with exactly 256 or 16
    // palette entries. `fixedPalette` uses FixedPalette::colors() instead of a palette optimised for the picture;
    // `dither` spreads the quantisation error (Floyd–Steinberg). `level` tunes the optimiser: 0 is the default (speed
    // 8), 1 (slowest, best) to 10 (fastest) is passed on as its speed. Returns a null image and sets `error` on
    // failure.
    static QImage convertColor(const QImage& image, int bits, bool fixedPalette, bool dither, int level = 0,
                               QString* error = nullptr);

    // Any format to Format_RGB888. Translucent pixels are laid over white, the way the picture looks on paper.
    static QImage toRgb888(const QImage& image);

  private:
    static QImage quantizeOptimised(const QImage& rgb, int colors, bool dither, int level, QString* error);
    // The picture's own colours as the palette, when it has no more than `colors` of them; null otherwise.
    static QImage exactPalette(const QImage& rgb, int colors);
    static QImage quantizeFixed(const QImage& rgb, int colors, bool dither);
};
