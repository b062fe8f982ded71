#include "widgets/ImageDisplay.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>

#include <algorithm>
#include <cmath>

ImageDisplay::ImageDisplay(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    drag_.setMode(FrameDrag::Mode::None);
}

void ImageDisplay::setImage(const QImage& image)
{
    layers_.setImage(image);
    changed();
}

void ImageDisplay::setBackColor(QColor color)
{
    layers_.setBackColor(color);
    changed();
}

void ImageDisplay::reset()
{
    layers_.setImage(QImage());
    layers_.clearRasters();
    drag_.clear();
    changed();
}

void ImageDisplay::setRaster(int index, const RasterLayer& layer)
{
    layers_.setRaster(index, layer);
    changed();
}

void ImageDisplay::setRasterImage(int index, const QImage& image)
{
    layers_.setRasterImage(index, image);
    changed();
}

void ImageDisplay::setRasterVisible(int index, bool visible)
{
    layers_.setRasterVisible(index, visible);
    changed();
}

void ImageDisplay::setRasterKey(int index, bool transparent, QRgb keyColor)
{
    layers_.setRasterKey(index, transparent, keyColor);
    changed();
}

void ImageDisplay::setRect(int left, int top, int right, int bottom)
{
    drag_.setRect({left, top, right, bottom});
    changed();
}

void ImageDisplay::clearSelection()
{
    drag_.clear();
    changed();
}

void ImageDisplay::setFrameDragEnabled(bool enabled)
{
    drag_.setMode(enabled ? FrameDrag::Mode::MoveFrame
                          : (selectionEnabled_ ? FrameDrag::Mode::Select : FrameDrag::Mode::None));
}

void ImageDisplay::setSelectionEnabled(bool enabled)
{
    selectionEnabled_ = enabled;
    if (!frameDragEnabled())
        drag_.setMode(enabled ? FrameDrag::Mode::Select : FrameDrag::Mode::None);
}

void ImageDisplay::setReducedView(QSize picture, QSize shown)
{
    view_.setSizes(picture, shown);
    changed();
}

void ImageDisplay::showReduced(const QImage& shown, QSize picture)
{
    view_.setSizes(picture, shown.size());
    layers_.setImage(shown);
    changed();
}

const QImage& ImageDisplay::shownImage() const
{
    const QImage& composed = layers_.composed();
    // A picture of another size is shown one to one: one reduced already, or one the view has not
    // followed yet.
    if (!view_.reduces() || composed.size() != view_.pictureSize())
        return composed;
    if (shownRevision_ != layers_.revision() || view_.pixels().isNull()) {
        // Only what the last composition redrew needs reducing again, when nothing came between.
        const bool nextOne = shownRevision_ + 1 == layers_.revision() && !view_.pixels().isNull();
        view_.redraw(composed, nextOne ? layers_.lastChange() : composed.rect());
        shownRevision_ = layers_.revision();
    }
    return view_.pixels();
}

QPoint ImageDisplay::imagePoint(const QMouseEvent* event) const
{
    // The picture sits at the top-left, at scale 1 or reduced.
    const QPointF p = event->position();
    return view_.toPicture(QPoint(int(std::floor(p.x())), int(std::floor(p.y()))));
}

void ImageDisplay::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), layers_.backColor());
    const QImage& shown = shownImage();
    if (!shown.isNull())
        painter.drawImage(QPoint(0, 0), shown);
    const FrameRect& r = drag_.rect();
    if (!r.isEmpty()) {
        // Black and white dashes stay visible on any picture.
        const QPoint topLeft = view_.toShown(QPoint(r.left, r.top));
        const QPoint beyond = view_.toShown(QPoint(r.right, r.bottom));
        const QRect outline(topLeft,
                            QPoint(std::max(topLeft.x(), beyond.x() - 1), std::max(topLeft.y(), beyond.y() - 1)));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(outline);
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawRect(outline);
    }
}

void ImageDisplay::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = imagePoint(event);
    drag_.press(p, event->button());
    emit mouseDownImage(event->button(), p.x(), p.y());
    changed();
}

void ImageDisplay::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = imagePoint(event);
    if (drag_.dragging() && drag_.move(p))
        changed();
    emit mouseMoveImage(p.x(), p.y());
}

void ImageDisplay::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = imagePoint(event);
    const bool wasDragging = drag_.dragging() && event->button() == Qt::LeftButton;
    const std::optional<FrameRect> moved = wasDragging ? drag_.release(p) : std::nullopt;
    if (wasDragging)
        changed();
    if (moved)
        emit frameMoved(moved->left, moved->top, moved->right, moved->bottom);
    emit mouseUpImage(p.x(), p.y());
}

#include "moc_ImageDisplay.cpp"
