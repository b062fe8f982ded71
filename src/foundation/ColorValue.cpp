#include "foundation/ColorValue.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QPalette>

qint32 ColorValue::fromColor(const QColor& color)
{
    return qint32(color.red() | (color.green() << 8) | (color.blue() << 16));
}

QColor ColorValue::toColor(qint32 value)
{
    if (value >= 0)
        return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    const QPalette palette = QGuiApplication::palette();
    switch (value) {
    case InactiveCaption:
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    case Window:
        return palette.color(QPalette::Base);
    case WindowText:
        return palette.color(QPalette::Text);
    case ButtonFace:
        return palette.color(QPalette::Button);
    default:
        return palette.color(QPalette::Window);
    }
}
