#pragma once
// One page of the options dialog. Its controls are the options: show() puts values into them as a
// user would (their change handling runs), collect() reads them back.
#include "foundation/ProgramOptions.h"

#include <QtWidgets/QWidget>

class OptionPage : public QWidget
{
    Q_OBJECT
  public:
    explicit OptionPage(const char* name, QWidget* parent = nullptr) : QWidget(parent)
    {
        setObjectName(QLatin1String(name));
    }

    virtual void show(const ProgramOptions& options) = 0;
    virtual void collect(ProgramOptions& options) const = 0;
    // Enables the fields that depend on a switch of the page.
    virtual void bringInLine() {}

  signals:
    void changed();        // a change the user could have made: "適用(&A)" becomes usable
    void quietlyChanged(); // a change with no change handling of its own (cbStayOnTop)
};
