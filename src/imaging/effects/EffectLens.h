// Convex lens: the ellipse inscribed in the region bulges out, its centre magnified.
#pragma once

#include "imaging/effects/EffectRegion.h"

#include <QtGui/QColor>

class EffectLens
{
  public:
    // Refract (1 … 64) is the magnification at the lens centre; it falls smoothly to 1 at the lens rim, so the
    // picture joins up there. Refract 1 leaves the image unchanged. With backColor the corners of the region
    // outside the lens take the background colour; otherwise they stay as they are.
    static QImage lens(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, double refract,
                       bool backColor, QColor background = Qt::black, QString* error = nullptr);
};
