// Bilinear reading of a region at fractional positions, for the distortion effects.
#pragma once

#include "imaging/EffectRegion.h"

#include <QtGui/QColor>

class EffectSampler
{
  public:
    // What a position outside the region reads: the background colour, the nearest edge pixel, or the
    // picture mirrored at the edge.
    enum class Edge { Background, Clamp, Reflect };

    EffectSampler(const EffectRegion& region, Edge edge, QColor background);

    // Writes the colour at (x, y), in image pixel coordinates, to out[0 … 2].
    void sample(float x, float y, uint8_t* out) const;

  private:
    int map(int v, int low, int high) const;
    const uint8_t* tap(int x, int y) const;

    const EffectRegion& region_;
    Edge edge_;
    uint8_t background_[3];
    int left_, right_, top_, bottom_;
};
