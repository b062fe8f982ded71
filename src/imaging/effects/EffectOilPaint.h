// The oil-paint filter: each pixel takes the mean colour of the most common brightness in its neighbourhood.
#pragma once

#include "imaging/effects/EffectRegion.h"

#include <vector>

class EffectOilPaint
{
  public:
    // Mode 0 is the only mode. The neighbourhood is a square of maskSize pixels (1 … 100; odd sizes are centred,
    // even ones take the next odd size down, so 1 leaves the image unchanged), cut at the image border.
    static QImage oilPaint(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int mode,
                           int maskSize, QString* error = nullptr);

  private:
    // Brightness buckets; each histogram holds the count and the R, G and B sums of every bucket.
    static constexpr int buckets = 32;
    static constexpr int histogramSize = 4 * buckets;

    static void paintBand(EffectRegion& region, int radius, int begin, int end);
    static void moveColumns(const EffectRegion& region, int radius, int y, int columnFrom, int columnTo,
                            std::vector<int32_t>& columns);
    static void paintRow(EffectRegion& region, int radius, int y, int columnFrom, int columnTo,
                         const std::vector<int32_t>& columns, const std::vector<uint32_t>& reciprocals);
};
