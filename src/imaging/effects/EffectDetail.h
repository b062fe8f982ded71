// Edge work on the 3 x 3 neighbourhood: sharpening and smoothing of jagged outlines.
#pragma once

#include "imaging/effects/EffectRegion.h"

class EffectDetail
{
  public:
    // Unsharp masking: each pixel moves away from its 3 x 3 blur by level / 20 of the difference
    // (level 0 … 100; 0 leaves the image as it is).
    static QImage sharp(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int level,
                        QString* error = nullptr);

    // Blends pixels that stand out from their neighbourhood (outline steps) towards the 3 x 3 blur; the
    // stronger the step, the stronger the blend. Flat areas stay exactly as they are.
    static QImage antiAlias(const QImage& image, const EffectCorners& xs, const EffectCorners& ys,
                            QString* error = nullptr);

  private:
    // Runs mix(pixel, 16 * pixel - blur16) over every byte of the area, blur16 being the 3 x 3 binomial sum.
    template <typename Mix> static QImage filter(EffectRegion& region, Mix mix);
};
