#include "widgets/UpDown.h"

#include <QtWidgets/QToolButton>

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    up_ = arrow(Qt::UpArrow, StepDirection::Up);
    down_ = arrow(Qt::DownArrow, StepDirection::Down);
}

QToolButton* UpDown::arrow(Qt::ArrowType type, StepDirection direction)
{
    auto* button = new QToolButton(this);
    button->setArrowType(type);
    button->setAutoRepeat(true);
    // The arrows never take the focus, so stepping does not count as leaving the field.
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, direction] { emit changingEx(direction); });
    return button;
}

void UpDown::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

#include "moc_UpDown.cpp"
