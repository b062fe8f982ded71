#include "imaging/drawing/LayerStack.h"

#include "imaging/drawing/LayerCompositor.h"

#include <algorithm>
#include <cstring>

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

namespace {

bool sameLook(const RasterLayer& a, const RasterLayer& b)
{
    return a.showInDisp == b.showInDisp && a.transparent == b.transparent && a.keyColor == b.keyColor;
}

// The smallest rectangle holding every pixel in which two pictures of one size and format differ.
QRect differingArea(const QImage& a, const QImage& b)
{
    const size_t rowBytes = size_t(a.width()) * size_t(a.depth() / 8);
    const int bytesPerPixel = a.depth() / 8;
    int top = -1, bottom = -1;
    size_t left = rowBytes, right = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        if (std::memcmp(p, q, rowBytes) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        size_t first = 0;
        while (p[first] == q[first])
            ++first;
        size_t last = rowBytes - 1;
        while (p[last] == q[last])
            --last;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    if (top < 0)
        return {};
    return QRect(QPoint(int(left) / bytesPerPixel, top), QPoint(int(right) / bytesPerPixel, bottom));
}

} // namespace

QRect LayerStack::changedArea(const QRect& whole) const
{
    if (composed_.size() != whole.size() || image_.cacheKey() != composedFrom_.image.cacheKey() ||
        backColor_ != composedFrom_.backColor)
        return whole;
    QRect area;
    for (size_t i = 0; i < rasters_.size(); ++i) {
        const RasterLayer& now = rasters_[i];
        const RasterLayer& before = composedFrom_.rasters[i];
        if (!sameLook(now, before))
            return whole;
        if (!now.showInDisp || now.image.cacheKey() == before.image.cacheKey())
            continue;
        if (now.image.isNull() || before.image.isNull() || now.image.size() != before.image.size() ||
            now.image.format() != before.image.format() || now.image.depth() % 8 != 0)
            return whole;
        area |= differingArea(now.image, before.image);
    }
    return area & whole;
}

QImage LayerStack::composeArea(const QRect& area) const
{
    const bool layered = std::any_of(rasters_.begin(), rasters_.end(), [](const RasterLayer& layer) {
        return layer.showInDisp && !layer.image.isNull();
    });
    if (!layered && image_.format() == QImage::Format_RGB888 && image_.rect().contains(area)) {
        // Nothing lies over the picture, which covers the area: its pixels, converted in one pass.
        const QImage part(image_.constScanLine(area.top()) + size_t(area.left()) * 3, area.width(), area.height(),
                          image_.bytesPerLine(), QImage::Format_RGB888);
        return part.convertToFormat(QImage::Format_RGB32);
    }
    QImage canvas(area.size(), QImage::Format_RGB888);
    if (canvas.isNull())
        return {};
    canvas.fill(backColor_);
    const QPoint origin = -area.topLeft();
    if (!image_.isNull())
        LayerCompositor::overlayKeyed(canvas, image_, origin, false, 0);
    for (const RasterLayer& layer : rasters_)
        if (layer.showInDisp && !layer.image.isNull())
            LayerCompositor::overlayKeyed(canvas, layer.image, origin, layer.transparent, layer.keyColor);
    return canvas.convertToFormat(QImage::Format_RGB32);
}

const QImage& LayerStack::composed() const
{
    if (!dirty_)
        return composed_;
    dirty_ = false;
    ++revision_;
    QSize size = image_.size();
    for (const RasterLayer& layer : rasters_)
        if (layer.showInDisp && !layer.image.isNull())
            size = size.expandedTo(layer.image.size());
    const QRect whole(QPoint(0, 0), size);
    lastChange_ = whole;
    if (size.isEmpty()) {
        composed_ = QImage();
        return composed_;
    }
    const QRect area = changedArea(whole);
    composedFrom_ = Inputs{image_, backColor_, rasters_};
    lastChange_ = area;
    if (area.isEmpty())
        return composed_;
    const QImage part = composeArea(area);
    if (part.isNull()) {
        composed_ = QImage();
        composedFrom_ = {};
        lastChange_ = whole;
        return composed_;
    }
    if (area == whole) {
        composed_ = part;
        return composed_;
    }
    for (int y = 0; y < part.height(); ++y)
        std::memcpy(composed_.scanLine(area.top() + y) + size_t(area.left()) * 4, part.constScanLine(y),
                    size_t(part.width()) * 4);
    return composed_;
}
