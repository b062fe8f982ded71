// The largest picture any decoder accepts. Sizes are checked from the file's header, before a single
// pixel buffer is allocated, so a tiny file announcing a huge picture is an error and not an
// out-of-memory crash. 200 megapixels is about 600 MB as RGB and 800 MB with alpha; 30000 pixels a
// side is far beyond any camera or phone screen.
#pragma once

#include <QtCore/QString>
#include <QtCore/QtGlobal>
#include <QtGui/QImage>

#include "imaging/effects/EffectBufferPool.h"

#include <algorithm>
#include <sys/mman.h>

// Fuzzing builds define a smaller pixel limit so that each run stays fast.
#ifndef PICTOREL_MAX_PIXELS
#define PICTOREL_MAX_PIXELS 200'000'000
#endif

class ImageLimits
{
    static constexpr char sizeRefusal[] = "exceeds the limit";
    static inline thread_local qint64 sideLimit_ = 30000;
    static inline thread_local qint64 pixelLimit_ = PICTOREL_MAX_PIXELS;

  public:
    static constexpr qint64 maxSide = 30000;
    static constexpr qint64 maxPixels = PICTOREL_MAX_PIXELS;
    // Files larger than this are not read into memory at all.
    static constexpr qint64 maxFileBytes = 1024LL * 1024 * 1024;

    // A tighter limit for the decodes this thread makes while the scope lives (a stamp, a thumbnail).
    class Scope
    {
      public:
        Scope(qint64 side, qint64 pixels) : side_(sideLimit_), pixels_(pixelLimit_)
        {
            sideLimit_ = std::min(sideLimit_, side);
            pixelLimit_ = std::min(pixelLimit_, pixels);
        }
        ~Scope()
        {
            sideLimit_ = side_;
            pixelLimit_ = pixels_;
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        qint64 side_, pixels_;
    };
    static qint64 sideInForce() { return sideLimit_; }
    static qint64 pixelsInForce() { return pixelLimit_; }

    static bool allows(qint64 width, qint64 height)
    {
        return width > 0 && height > 0 && width <= sideLimit_ && height <= sideLimit_ && width * height <= pixelLimit_;
    }

    // Whether a decoder's error is the refusal of check() for a picture beyond the limit.
    static bool isSizeRefusal(const QString& error) { return error.contains(QLatin1String(sizeRefusal)); }

    // Empty when the size is acceptable, otherwise the reason it is refused.
    static QString check(qint64 width, qint64 height)
    {
        if (width <= 0 || height <= 0)
            return QStringLiteral("invalid picture size %1 x %2").arg(width).arg(height);
        if (!allows(width, height))
            return QStringLiteral("picture size %1 x %2 %3 of %4 pixels a side and %5 megapixels")
                .arg(width)
                .arg(height)
                .arg(QLatin1String(sizeRefusal))
                .arg(sideLimit_)
                .arg(double(pixelLimit_) / 1e6, 0, 'g', 4);
        return {};
    }

    // A decoder's picture buffer, after the size check: null when refused or when memory is short.
    // Large buffers ask for 2 MB pages before their first touch: 36 page faults instead of 18000
    // for a 24-megapixel picture, which is a third of the time of reading a plain bitmap. RGB ones
    // reuse the buffer of a picture already let go, as the next photo of a batch does.
    static QImage allocate(qint64 width, qint64 height, QImage::Format format)
    {
        if (!allows(width, height))
            return {};
        if (format == QImage::Format_RGB888)
            return EffectBufferPool::blankImage(int(width), int(height));
        QImage image(int(width), int(height), format);
        constexpr quintptr huge = 2 * 1024 * 1024;
        const auto start = quintptr(image.bits());
        const quintptr begin = (start + huge - 1) & ~(huge - 1),
                       end = (start + quintptr(image.sizeInBytes())) & ~(huge - 1);
        if (!image.isNull() && end > begin)
            ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE); // a hint; failure is harmless
        return image;
    }
};
