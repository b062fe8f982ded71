#include "app/ClickLabel.h"

#include <QtGui/QMouseEvent>

ClickLabel::ClickLabel(const char* name, QWidget* parent) : QLabel(parent)
{
    setObjectName(QLatin1String(name));
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

#include "moc_ClickLabel.cpp"
