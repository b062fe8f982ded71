// Gaussian-like blur: three rounds of separable box filters with running sums.
#pragma once

#include "imaging/effects/EffectRegion.h"

#include <vector>

class EffectBlur
{
  public:
    // Strength 1 … 20 is the radius of each box round; the result approaches a Gaussian of sigma ~ strength.
    // Pixels just outside the region feed the blur at its edges; the image border mirrors the picture.
    static QImage blur(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int level,
                       QString* error = nullptr);

  private:
    // A window of rows: the result picture's own or a scratch buffer.
    struct Plane
    {
        int width = 0;
        int height = 0;
        uint8_t* base = nullptr;
        qsizetype stride = 0;
        uint8_t* row(int y) { return base + static_cast<qsizetype>(y) * stride; }
    };

    static void boxRows(Plane& from, Plane& to, int radius);
    static void boxColumns(Plane& from, Plane& to, int radius);
};
