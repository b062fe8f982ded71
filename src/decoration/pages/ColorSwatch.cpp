#include "decoration/pages/ColorSwatch.h"

#include <QtGui/QPainter>

ColorSwatch::ColorSwatch(const char* name, QRgb color, QWidget* parent) : QFrame(parent), color_(color)
{
    setObjectName(QLatin1String(name));
    setFrameStyle(QFrame::Box | QFrame::Plain);
}

void ColorSwatch::setColor(QRgb color)
{
    color_ = color;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(contentsRect(), QColor::fromRgb(color_));
    QFrame::paintEvent(event);
}

#include "moc_ColorSwatch.cpp"
