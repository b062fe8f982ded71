// Noise removal: the 3 x 3 median, which wipes out isolated specks and keeps edges.
#pragma once

#include "imaging/effects/EffectRegion.h"

class EffectNoise
{
  public:
    // Mode 0 is the only mode: each channel becomes the median of its 3 x 3 neighbourhood, where it differs
    // from that median by more than `level` (0 … 255; 0 replaces every pixel).
    static QImage removeNoise(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int mode,
                              int level, QString* error = nullptr);

  private:
    static void medianRow(const uint8_t* __restrict above, const uint8_t* __restrict row,
                          const uint8_t* __restrict below, int bytes, int level, uint8_t* __restrict sortedLow,
                          uint8_t* __restrict sortedMid, uint8_t* __restrict sortedHigh, uint8_t* __restrict out);
};
