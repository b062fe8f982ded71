#include "app/OptionSwatch.h"

OptionSwatch::OptionSwatch(const char* name, QColor color, QWidget* parent) : QFrame(parent)
{
    setObjectName(QLatin1String(name));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    setFixedSize(41, 21);
    setColor(color);
}

void OptionSwatch::setColor(const QColor& color)
{
    color_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}
