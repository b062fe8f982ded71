#pragma once
// The calendar page's answer to the pointer: the rendered calendar, at its own size, with its
// top-left corner at the pointer, on a fresh work picture in the working layer. Press and drag
// only show it; the release leaves it there for commit.
#include "decoration/CanvasTool.h"

#include <QtCore/QSize>
#include <QtGui/QImage>

#include <functional>

class DrawingLayers;

class CalendarTool : public CanvasTool
{
  public:
    CalendarTool(DrawingLayers& layers, std::function<QImage()> calendar, std::function<QSize()> canvasSize);

    void press(QPoint at, Qt::MouseButton button) override;
    void move(QPoint at) override;
    void release(QPoint at) override;

    void PlaceCalendar(QPoint at);
    // The calendar picture with its top-left corner at `at` on a canvas-sized working layer picture,
    // left for commit.
    static void placeCalendar(DrawingLayers& layers, QSize canvas, const QImage& calendar, QPoint at);

  private:
    static void install(DrawingLayers& layers, QSize canvas, const QImage& calendar, QPoint at);

    DrawingLayers& layers_;
    std::function<QImage()> calendar_;
    std::function<QSize()> canvasSize_;
};
