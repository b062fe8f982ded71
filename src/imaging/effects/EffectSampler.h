// Bilinear reading of a region at fractional positions, for the distortion effects.
#pragma once

#include "imaging/effects/EffectRegion.h"

#include <QtGui/QColor>

#include <algorithm>
#include <cmath>

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

// Inline: it runs once per pixel of every distortion.
[[gnu::always_inline]] inline void EffectSampler::sample(float x, float y, uint8_t* out) const
{
    // Positions far outside stay far outside without overflowing an int.
    if (!(x > -1e8f && x < 1e8f && y > -1e8f && y < 1e8f)) {
        x = std::isnan(x) ? -1e8f : std::clamp(x, -1e8f, 1e8f);
        y = std::isnan(y) ? -1e8f : std::clamp(y, -1e8f, 1e8f);
    }
    // Truncation corrected downwards is floor without a library call.
    int x0 = static_cast<int>(x);
    int y0 = static_cast<int>(y);
    x0 -= x < static_cast<float>(x0);
    y0 -= y < static_cast<float>(y0);
    const int ax = static_cast<int>((x - static_cast<float>(x0)) * 256.0f);
    const int ay = static_cast<int>((y - static_cast<float>(y0)) * 256.0f);
    const uint8_t *p00, *p10, *p01, *p11;
    if (x0 >= left_ && x0 < right_ && y0 >= top_ && y0 < bottom_) {
        p00 = region_.sourceRow(y0) + x0 * 3;
        p10 = p00 + 3;
        p01 = region_.sourceRow(y0 + 1) + x0 * 3;
        p11 = p01 + 3;
    } else {
        p00 = tap(x0, y0);
        p10 = tap(x0 + 1, y0);
        p01 = tap(x0, y0 + 1);
        p11 = tap(x0 + 1, y0 + 1);
    }
    for (int c = 0; c < 3; ++c) {
        const int top = p00[c] * (256 - ax) + p10[c] * ax;
        const int bottom = p01[c] * (256 - ax) + p11[c] * ax;
        out[c] = static_cast<uint8_t>((top * (256 - ay) + bottom * ay + 32768) >> 16);
    }
}
