#pragma once
// The up/down stepper beside a numeric field: two arrows that report each click, and a click
// repeated while an arrow is held down. It keeps no position of its own, so both arrows always
// work; the field decides what a click does.
#include "foundation/NumericRule.h"

#include <QtWidgets/QWidget>

class QToolButton;

class UpDown : public QWidget
{
    Q_OBJECT
  public:
    explicit UpDown(QWidget* parent = nullptr);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

  signals:
    void changingEx(StepDirection direction);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QToolButton* arrow(Qt::ArrowType type, StepDirection direction);

    QToolButton* up_;
    QToolButton* down_;
};
