// Pixel counting helpers shared by the image processing tests.
#pragma once

#include <QtCore/QDir>
#include <QtGui/QImage>

#include <set>

namespace PixelProbe {

// The distinct colours of an image (alpha ignored).
inline std::set<QRgb> colors(const QImage& image)
{
    std::set<QRgb> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            found.insert(image.pixel(x, y) & 0xffffff);
    return found;
}

inline int count(const QImage& image, QRgb color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xffffff) == (color & 0xffffff);
    return n;
}

// A picture of the pixels that are not `background`: '#' set, '.' background, row by row.
inline QString map(const QImage& image, QRect area, QRgb background)
{
    QString out;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            out += (image.pixel(x, y) & 0xffffff) == (background & 0xffffff) ? '.' : '#';
        out += '\n';
    }
    return out;
}

// The smallest rectangle holding every pixel that is not `background`.
inline QRect bounds(const QImage& image, QRgb background)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xffffff) != (background & 0xffffff))
                box |= QRect(x, y, 1, 1);
    return box;
}

inline QImage filled(int w, int h, QRgb color, QImage::Format format = QImage::Format_RGB888)
{
    QImage image(w, h, format);
    image.fill(QColor::fromRgba(color));
    return image;
}

// Saves the image next to the test output when a comparison fails, and says where.
inline QString keep(const QImage& image, const QString& name)
{
    const QString path = QDir::temp().filePath(QStringLiteral("pictorel-%1.png").arg(name));
    image.save(path);
    return path;
}

} // namespace PixelProbe
