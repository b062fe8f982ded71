// Wave distortions: rings spreading from the region's centre, and parallel waves.
#pragma once

#include "imaging/effects/EffectRegion.h"

#include <QtGui/QColor>

class EffectDistort
{
  public:
    // Concentric ripple about the region's centre: each pixel reads the picture amp * sin(2 pi (r / wavelen +
    // phase)) pixels further out along its radius r. Amp 1 … 100 and wavelen 1 … 255 in pixels, phase 0 … 1.
    // Positions beyond the region read it mirrored (reflect), else the background colour (backColor), else the
    // nearest edge pixel.
    static QImage ripple(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int amp, int wavelen,
                         double phase, bool backColor, bool reflect, QColor background = Qt::black,
                         QString* error = nullptr);

    // Direction 0 ("縦") shifts each column up or down by amp * wave((x - left) / period + phase); direction 1
    // ("横") shifts each row sideways by amp * wave((y - top) / period + phase). Wave type 0 is a sine, 1 a
    // triangle. Period and amp 1 … 255 pixels, phase 0 … 1. Edges: 0 background colour, 1 mirrored, 2 nearest
    // edge pixel.
    static QImage waves(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int direction,
                        int waveType, int period, int amp, double phase, int edges, QColor background = Qt::black,
                        QString* error = nullptr);
};
