#include "imaging/effects/FixedPaletteMapper.h"

#include "imaging/effects/FixedPalette.h"

namespace {

int exactNearest(const QList<QRgb>& palette, int r, int g, int b)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - r;
        const int dg = qGreen(palette[i]) - g;
        const int db = qBlue(palette[i]) - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

inline int clampByte(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

} // namespace

const FixedPaletteMapper& FixedPaletteMapper::forColors(int colors)
{
    if (colors == 16) {
        static const FixedPaletteMapper vga(FixedPalette::colors(16));
        return vga;
    }
    static const FixedPaletteMapper web(FixedPalette::colors(256));
    return web;
}

FixedPaletteMapper::FixedPaletteMapper(const QList<QRgb>& palette) : palette_(palette), lookup_(size_t(1) << 18)
{
    // Each 6-bit cell maps to the entry nearest its centre.
    for (int r = 0; r < 64; ++r)
        for (int g = 0; g < 64; ++g)
            for (int b = 0; b < 64; ++b)
                lookup_[size_t((r << 12) | (g << 6) | b)] =
                    uchar(exactNearest(palette_, r * 4 + 2, g * 4 + 2, b * 4 + 2));
}

QImage FixedPaletteMapper::blankResult(QSize size) const
{
    QImage out(size, QImage::Format_Indexed8);
    if (!out.isNull())
        out.setColorTable(palette_);
    return out;
}

QImage FixedPaletteMapper::mapNearest(const QImage& rgb) const
{
    QImage out = blankResult(rgb.size());
    if (out.isNull())
        return out;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* src = rgb.constScanLine(y);
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x)
            dst[x] = uchar(nearest(src[3 * x], src[3 * x + 1], src[3 * x + 2]));
    }
    return out;
}

// Serpentine Floyd–Steinberg: errors are carried in sixteenths, one row ahead.
QImage FixedPaletteMapper::mapDithered(const QImage& rgb) const
{
    QImage out = blankResult(rgb.size());
    if (out.isNull())
        return out;
    const int w = rgb.width();
    std::vector<int> current(size_t(w + 2) * 3, 0);
    std::vector<int> next(size_t(w + 2) * 3, 0);
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* src = rgb.constScanLine(y);
        uchar* dst = out.scanLine(y);
        const bool leftToRight = (y % 2) == 0;
        const int step = leftToRight ? 1 : -1;
        std::fill(next.begin(), next.end(), 0);
        for (int i = 0; i < w; ++i) {
            const int x = leftToRight ? i : w - 1 - i;
            int* err = &current[size_t(x + 1) * 3];
            const int r = clampByte(src[3 * x] + (err[0] + 8) / 16);
            const int g = clampByte(src[3 * x + 1] + (err[1] + 8) / 16);
            const int b = clampByte(src[3 * x + 2] + (err[2] + 8) / 16);
            const int index = nearest(r, g, b);
            dst[x] = uchar(index);
            const int e[3] = {r - qRed(palette_[index]), g - qGreen(palette_[index]), b - qBlue(palette_[index])};
            for (int c = 0; c < 3; ++c) {
                current[size_t(x + 1 + step) * 3 + size_t(c)] += e[c] * 7;
                next[size_t(x + 1 - step) * 3 + size_t(c)] += e[c] * 3;
                next[size_t(x + 1) * 3 + size_t(c)] += e[c] * 5;
                next[size_t(x + 1 + step) * 3 + size_t(c)] += e[c];
            }
        }
        std::swap(current, next);
    }
    return out;
}
