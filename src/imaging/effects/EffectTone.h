// Per-pixel tone changes: gamma, channel levels and grey.
#pragma once

#include "imaging/effects/EffectRegion.h"

class EffectTone
{
  public:
    // Raises each channel to the power 1 + value: positive values darken, negative ones brighten
    // (0.05 takes mid grey 128 to 124). Values must lie in [-0.9, 9].
    static QImage rgbGamma(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, double red,
                           double green, double blue, QString* error = nullptr);

    // Adds the given amount (-255 … 255) to each channel, clamped to 0 … 255.
    static QImage rgbLevel(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int red, int green,
                           int blue, QString* error = nullptr);

    // Luma (0.30 R + 0.59 G + 0.11 B) in all three channels, over the whole image.
    static QImage setGray(const QImage& image, QString* error = nullptr);

  private:
    using Table = std::array<uint8_t, 256>;
    static QImage applyTables(std::optional<EffectRegion> region, const std::array<Table, 3>& tables);
};
