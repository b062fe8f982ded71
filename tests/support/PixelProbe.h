// Pixel counting helpers shared by the image processing tests.
#pragma once

#include <QtCore/QDir>
#include <QtGui/QImage>

#include <algorithm>
#include <cmath>
#include <random>
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

// Random bytes in every channel, the same for the same seed.
inline QImage noise(int w, int h, unsigned seed = 1)
{
    QImage image(w, h, QImage::Format_RGB888);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < w * 3; ++i)
            image.scanLine(y)[i] = static_cast<uchar>(random());
    return image;
}

// A photo-like picture: smooth shading, edges and grain, the same for the same seed.
inline QImage photo(int width, int height, unsigned seed)
{
    QImage image(width, height, QImage::Format_RGB888);
    unsigned state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < width; ++x, p += 3) {
            state = state * 1103515245u + 12345u;
            const int grain = int(state >> 27) - 16;
            const double wave = 60 * std::sin(x * 0.07 + seed) * std::cos(y * 0.05);
            const int edge = ((x / 37 + y / 29 + int(seed)) % 3) * 40;
            p[0] = uchar(std::clamp(int(90 + x * 100 / width + wave) + grain + edge, 0, 255));
            p[1] = uchar(std::clamp(int(120 + wave * 0.5) + grain - edge / 2, 0, 255));
            p[2] = uchar(std::clamp(int(200 - y * 120 / height - wave) + grain, 0, 255));
        }
    }
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
