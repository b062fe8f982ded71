#pragma once
// A decoration tool's answer to the pointer on the main display. Points are canvas pixels, not
// clipped to the canvas. move() is only called while the left button is down at that moment.
#include <QtCore/QPoint>
#include <QtCore/Qt>

class CanvasTool
{
  public:
    virtual ~CanvasTool() = default;
    virtual void press(QPoint at, Qt::MouseButton button) = 0;
    virtual void move(QPoint at) = 0;
    virtual void release(QPoint at) = 0;
};
