// Canvas texture: a woven linen pattern embossed into the picture.
#pragma once

#include "imaging/effects/EffectRegion.h"

#include <vector>

class EffectCanvas
{
  public:
    // Direction 0 … 3 puts the light at the top left, top right, bottom right or bottom left. Depth 0 … 255
    // scales the relief (0 leaves the picture unchanged, 10 moves a pixel by up to 15 levels). The weave is
    // anchored to the image origin, so neighbouring regions join up.
    static QImage canvas(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int direction,
                         int depth, QString* error = nullptr);

  private:
    static constexpr int tile = 48;
    static double weaveHeight(int x, int y);
    static std::vector<int> reliefTile(int direction, int depth);
};
