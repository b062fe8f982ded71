// The largest picture any decoder accepts. Sizes are checked from the file's header, before a single
// pixel buffer is allocated, so a tiny file announcing a huge picture is an error and not an
// out-of-memory crash. 200 megapixels is about 600 MB as RGB and 800 MB with alpha; 30000 pixels a
// side is far beyond any camera or phone screen.
#pragma once

#include <QtCore/QString>
#include <QtCore/QtGlobal>

class ImageLimits
{
public:
    static constexpr qint64 maxSide = 30000;
    static constexpr qint64 maxPixels = 200'000'000;
    // Files larger than this are not read into memory at all.
    static constexpr qint64 maxFileBytes = 1024LL * 1024 * 1024;

    static bool allows(qint64 width, qint64 height)
    {
        return width > 0 && height > 0 && width <= maxSide && height <= maxSide && width * height <= maxPixels;
    }

    // Empty when the size is acceptable, otherwise the reason it is refused.
    static QString check(qint64 width, qint64 height)
    {
        if (width <= 0 || height <= 0)
            return QStringLiteral("invalid picture size %1 x %2").arg(width).arg(height);
        if (!allows(width, height))
            return QStringLiteral("picture size %1 x %2 exceeds the limit of %3 pixels a side and %4 megapixels")
                .arg(width)
                .arg(height)
                .arg(maxSide)
                .arg(maxPixels / 1'000'000);
        return {};
    }
};
