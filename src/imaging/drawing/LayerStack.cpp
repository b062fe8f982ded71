#include "imaging/drawing/LayerStack.h"

#include "imaging/drawing/LayerCompositor.h"

void LayerStack::setImage(const QImage& image)
{
    image_ = image;
    invalidate();
}

void LayerStack::setBackColor(QColor color)
{
    backColor_ = color;
    invalidate();
}

const RasterLayer& LayerStack::raster(int index) const
{
    static const RasterLayer none;
    return valid(index) ? rasters_[size_t(index)] : none;
}

void LayerStack::setRaster(int index, const RasterLayer& layer)
{
    if (!valid(index))
        return;
    rasters_[size_t(index)] = layer;
    invalidate();
}

void LayerStack::setRasterImage(int index, const QImage& image)
{
    if (!valid(index))
        return;
    rasters_[size_t(index)].image = image;
    invalidate();
}

void LayerStack::setRasterVisible(int index, bool visible)
{
    if (!valid(index))
        return;
    rasters_[size_t(index)].showInDisp = visible;
    invalidate();
}

void LayerStack::setRasterKey(int index, bool transparent, QRgb keyColor)
{
    if (!valid(index))
        return;
    rasters_[size_t(index)].transparent = transparent;
    rasters_[size_t(index)].keyColor = keyColor;
    invalidate();
}

void LayerStack::clearRasters()
{
    rasters_ = {};
    invalidate();
}

const QImage& LayerStack::composed() const
{
    if (!dirty_)
        return composed_;
    dirty_ = false;
    QSize size = image_.size();
    for (const RasterLayer& layer : rasters_)
        if (layer.showInDisp && !layer.image.isNull())
            size = size.expandedTo(layer.image.size());
    if (size.isEmpty()) {
        composed_ = QImage();
        return composed_;
    }
    QImage canvas(size, QImage::Format_RGB888);
    if (canvas.isNull()) {
        composed_ = QImage();
        return composed_;
    }
    canvas.fill(backColor_);
    if (!image_.isNull())
        LayerCompositor::overlayKeyed(canvas, image_, QPoint(0, 0), false, 0);
    for (const RasterLayer& layer : rasters_)
        if (layer.showInDisp && !layer.image.isNull())
            LayerCompositor::overlayKeyed(canvas, layer.image, QPoint(0, 0), layer.transparent, layer.keyColor);
    composed_ = canvas.convertToFormat(QImage::Format_RGB32);
    return composed_;
}
