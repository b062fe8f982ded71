// Gaussian-like blur: three rounds of separable box filters with running sums.
#pragma once

#include "imaging/EffectRegion.h"

#include <vector>

class EffectBlur
{
  public:
    // Strength 1 … 20 is the radius of each box round; the result approaches a Gaussian of sigma ~ strength.
    // Pixels just outside the region feed the blur at its edges; the image border mirrors the picture.
    static QImage blur(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int level,
                       QString* error = nullptr);

  private:
    struct Plane
    {
        int width = 0;
        int height = 0;
        std::vector<uint8_t> bytes;
        uint8_t* row(int y) { return bytes.data() + static_cast<size_t>(y) * width * 3; }
    };

    static void boxRows(Plane& from, Plane& to, int radius);
    static void boxColumns(Plane& from, Plane& to, int radius);
};
