// Maps true-colour pixels onto one of the fixed palettes, by nearest colour or with Floyd–Steinberg dithering.
#pragma once

#include <QtCore/QList>
#include <QtGui/QImage>

#include <vector>

class FixedPaletteMapper
{
  public:
    // The shared mapper of the 256- or 16-colour fixed palette (built once, read-only afterwards).
    static const FixedPaletteMapper& forColors(int colors);

    explicit FixedPaletteMapper(const QList<QRgb>& palette);

    // Both take Format_RGB888 and return Format_Indexed8 with this palette; null when out of memory.
    QImage mapNearest(const QImage& rgb) const;
    QImage mapDithered(const QImage& rgb) const;

    // Index of the palette entry nearest to the colour (looked up at 6 bits per channel).
    int nearest(int r, int g, int b) const
    {
        return lookup_[std::size_t(((r >> 2) << 12) | ((g >> 2) << 6) | (b >> 2))];
    }

    const QList<QRgb>& palette() const { return palette_; }

  private:
    QImage blankResult(QSize size) const;

    QList<QRgb> palette_;
    std::vector<uchar> lookup_;
};
