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
    PlaceCalendar(at);
    layers_.MarkDrawingPending();
}

void CalendarTool::PlaceCalendar(QPoint at)
{
    layers_.ReleaseLayerPicture();
    QImage work(canvasSize_(), QImage::Format_RGB32);
    if (work.isNull())
        return;
    work.fill(LayerKeyColor);
    const QImage calendar = calendar_();
    if (!calendar.isNull()) {
        // Copied pixel for pixel: the calendar's own key colour stays see-through on the layer.
        QPainter painter(&work);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(at, calendar);
    }
    layers_.InstallLayerPicture(work);
}
