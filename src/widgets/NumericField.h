#pragma once
// A numeric entry field (`cs...`) with its stepper (`ud...`): digits only, stepping by the arrows
// and clamping into the range when the field is left. The rules live in NumericRule; this widget
// only forwards the arrow clicks, the Enter key and the loss of focus to them.
#include "foundation/NumericRule.h"

#include <QtWidgets/QLineEdit>

class UpDown;

class NumericField : public QLineEdit
{
    Q_OBJECT
  public:
    // The stepper is created beside the field, in the same parent, under its own name.
    NumericField(const NumericRule& rule, const char* name, const char* stepperName, QWidget* parent);

    const NumericRule& rule() const { return rule_; }
    UpDown* stepper() const { return stepper_; }
    // Places the field and puts the stepper against its right edge.
    void place(const QRect& fieldGeometry);
    // Enter moves the focus there; without a target the key is still taken and does nothing more.
    void setEnterTarget(QWidget* target) { enterTarget_ = target; }

    int value() const { return rule_.value(text()); }
    void setValue(int value) { setText(QString::number(value)); }

    // One arrow click (the stepper's ChangingEx).
    void stepBy(StepDirection direction);
    // Leaving the field (its Exit): clamps the text into the range.
    void exitField();
    // Replaces text that holds no number by the minimum and keeps everything else.
    void settle();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void replaceText(const QString& text);

    NumericRule rule_;
    UpDown* stepper_;
    QWidget* enterTarget_ = nullptr;
};
