// Picture scaling: area averaging when shrinking, linear interpolation when enlarging, decided per axis.
#pragma once

#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtGui/QImage>

#include <functional>

class Resampler
{
  public:
    // Target sizes beyond this many pixels are refused rather than allocated.
    static constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;

    // Scales to exactly width x height; the result is Format_RGB888 (translucency laid over white).
    // Returns a null image and sets `error` for an empty input, a non-positive or oversized target, or no memory.
    static QImage resize(const QImage& image, int width, int height, QString* error = nullptr);
    // The `part` of that width x height image alone, equal to cutting it from the whole, at the cost
    // of the part. A part reaching beyond the image is cut to it; one wholly outside is an error.
    //
    // With `ready`, the image is still being filled, top down: each target row first waits until
    // ready(n) says the first n rows it reads are there, and a false answer abandons the resize.
    using RowsReady = std::function<bool(int rows)>;
    static QImage resizePart(const QImage& image, int width, int height, const QRect& part, QString* error = nullptr,
                             const RowsReady& ready = {});
};
