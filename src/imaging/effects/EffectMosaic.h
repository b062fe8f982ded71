// Mosaic: the region cut into blocks, each filled with its mean colour.
#pragma once

#include "imaging/effects/EffectRegion.h"

class EffectMosaic
{
  public:
    // Blocks of width x height pixels (1 … 255 each) start at the region's top-left corner; blocks cut by the
    // region's right or bottom edge average only the pixels inside it.
    static QImage mosaic(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int width, int height,
                         QString* error = nullptr);

  private:
    static void fillBlockRow(EffectRegion& region, int top, int bottom, int blockWidth);
};
