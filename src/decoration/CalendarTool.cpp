#include "decoration/CalendarTool.h"

#include "decoration/DrawingLayers.h"
#include "imaging/drawing/LayerKeyColor.h"

#include <QtGui/QPainter>

CalendarTool::CalendarTool(DrawingLayers& layers, std::function<QImage()> calendar, std::function<QSize()> canvasSize)
    : layers_(layers), calendar_(std::move(calendar)), canvasSize_(std::move(canvasSize))
{
}

void CalendarTool::press(QPoint at, Qt::MouseButton)
{
    PlaceCalendar(at);
}

void CalendarTool::move(QPoint at)
{
    PlaceCalendar(at);
}

void CalendarTool::release(QPoint at)
{
    placeCalendar(layers_, canvasSize_(), calendar_(), at);
}

void CalendarTool::PlaceCalendar(QPoint at)
{
    install(layers_, canvasSize_(), calendar_(), at);
}

void CalendarTool::placeCalendar(DrawingLayers& layers, QSize canvas, const QImage& calendar, QPoint at)
{
    install(layers, canvas, calendar, at);
    layers.MarkDrawingPending();
}

void CalendarTool::install(DrawingLayers& layers, QSize canvas, const QImage& calendar, QPoint at)
{
    layers.ReleaseLayerPicture();
    QImage work(canvas, QImage::Format_RGB32);
    if (work.isNull())
        return;
    work.fill(LayerKeyColor);
    if (!calendar.isNull()) {
        // Copied pixel for pixel: the calendar's own key colour stays see-through on the layer.
        QPainter painter(&work);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(at, calendar);
    }
    layers.InstallLayerPicture(work);
}
