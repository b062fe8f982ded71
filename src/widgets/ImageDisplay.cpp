#include "widgets/ImageDisplay.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>

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

QPoint ImageDisplay::imagePoint(const QMouseEvent* event)
{
    // The picture sits at the top-left at scale 1, so widget pixels are image pixels.
    const QPointF p = event->position();
    return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
}

void ImageDisplay::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), layers_.backColor());
    const QImage& shown = layers_.composed();
    if (!shown.isNull())
        painter.drawImage(QPoint(0, 0), shown);
    const FrameRect& r = drag_.rect();
    if (!r.isEmpty()) {
        // Black and white dashes stay visible on any picture.
        const QRect outline(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
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
