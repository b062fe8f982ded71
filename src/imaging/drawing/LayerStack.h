// What a display shows: its picture on the background colour with the visible raster layers over it,
// composed once per change and kept ready for painting. When only layer pictures of the same size
// changed, only the part where they differ is composed again, so a drag on a large canvas stays quick.
#pragma once

#include "imaging/drawing/RasterLayer.h"

#include <QtCore/QRect>
#include <QtGui/QColor>
#include <QtGui/QImage>

#include <array>

class LayerStack
{
  public:
    static constexpr int kLayerCount = 31;

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }
    void setBackColor(QColor color);
    QColor backColor() const { return backColor_; }

    // Out-of-range indices read as an empty hidden layer and are ignored when written.
    const RasterLayer& raster(int index) const;
    void setRaster(int index, const RasterLayer& layer);
    void setRasterImage(int index, const QImage& image);
    void setRasterVisible(int index, bool visible);
    void setRasterKey(int index, bool transparent, QRgb keyColor);
    void clearRasters();

    // Picture and visible layers in index order, on the background colour, as Format_RGB32; null when there is
    // nothing to show. Its size covers the picture and every visible layer, each placed at the top-left.
    const QImage& composed() const;
    // Counts the compositions; lastChange() is the part the latest one redrew (empty: nothing changed).
    quint64 revision() const { return revision_; }
    QRect lastChange() const { return lastChange_; }

  private:
    struct Inputs
    {
        QImage image;
        QColor backColor;
        std::array<RasterLayer, kLayerCount> rasters;
    };
    // What differs between the inputs of the shown composition and the current ones.
    QRect changedArea(const QRect& whole) const;
    QImage composeArea(const QRect& area) const;

    bool valid(int index) const { return index >= 0 && index < kLayerCount; }
    void invalidate() { dirty_ = true; }

    QImage image_;
    QColor backColor_ = Qt::white;
    std::array<RasterLayer, kLayerCount> rasters_;
    mutable QImage composed_;
    mutable Inputs composedFrom_;
    mutable bool dirty_ = true;
    mutable quint64 revision_ = 0;
    mutable QRect lastChange_;
};
