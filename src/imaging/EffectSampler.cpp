#include "imaging/EffectSampler.h"

#include <algorithm>
#include <cmath>

EffectSampler::EffectSampler(const EffectRegion& region, Edge edge, QColor background)
    : region_(region),
      edge_(edge), background_{static_cast<uint8_t>(background.red()), static_cast<uint8_t>(background.green()),
                               static_cast<uint8_t>(background.blue())},
      left_(region.area().left()), right_(region.area().right()), top_(region.area().top()),
      bottom_(region.area().bottom())
{
}

// -1 marks a position that reads the background.
int EffectSampler::map(int v, int low, int high) const
{
    if (v >= low && v <= high)
        return v;
    switch (edge_) {
    case Edge::Background:
        return -1;
    case Edge::Clamp:
        return std::clamp(v, low, high);
    case Edge::Reflect:
        break;
    }
    const int span = high - low;
    if (span == 0)
        return low;
    // Mirror without repeating the edge pixel: period 2 * span.
    const long long period = 2LL * span;
    long long offset = (static_cast<long long>(v) - low) % period;
    if (offset < 0)
        offset += period;
    return low + static_cast<int>(offset <= span ? offset : period - offset);
}

const uint8_t* EffectSampler::tap(int x, int y) const
{
    const int mx = map(x, left_, right_);
    const int my = map(y, top_, bottom_);
    if (mx < 0 || my < 0)
        return background_;
    return region_.sourceRow(my) + mx * 3;
}

void EffectSampler::sample(float x, float y, uint8_t* out) const
{
    // Positions far outside stay far outside without overflowing an int.
    if (std::isnan(x) || std::isnan(y))
        x = y = -1e8f;
    x = std::clamp(x, -1e8f, 1e8f);
    y = std::clamp(y, -1e8f, 1e8f);
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int x0 = static_cast<int>(fx);
    const int y0 = static_cast<int>(fy);
    const int ax = static_cast<int>((x - fx) * 256.0f);
    const int ay = static_cast<int>((y - fy) * 256.0f);
    const uint8_t* p00 = tap(x0, y0);
    const uint8_t* p10 = tap(x0 + 1, y0);
    const uint8_t* p01 = tap(x0, y0 + 1);
    const uint8_t* p11 = tap(x0 + 1, y0 + 1);
    for (int c = 0; c < 3; ++c) {
        const int top = p00[c] * (256 - ax) + p10[c] * ax;
        const int bottom = p01[c] * (256 - ax) + p11[c] * ax;
        out[c] = static_cast<uint8_t>((top * (256 - ay) + bottom * ay + 32768) >> 16);
    }
}
