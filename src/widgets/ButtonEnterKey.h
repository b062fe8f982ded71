#pragma once
// Enter on a focused push button or tool button presses that button, in every window of the
// program, dialogs included, as a Windows user expects. Only keys no button takes travel on to a
// window's default button.
#include <QtCore/QObject>

class ButtonEnterKey final : public QObject
{
    Q_OBJECT
  public:
    // Installs the filter on the application once; later calls do nothing.
    static void install();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using QObject::QObject;
};
