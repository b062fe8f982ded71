#include "imaging/effects/EffectSampler.h"

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
