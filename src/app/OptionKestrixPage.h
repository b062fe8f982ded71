#pragma once
// "KestrixNet": the member account of the web service and the way to sign up.
#include "app/OptionPage.h"

class ClickLabel;
class QLineEdit;
class QPushButton;

class OptionKestrixPage : public OptionPage
{
    Q_OBJECT
  public:
    explicit OptionKestrixPage(QWidget* parent = nullptr);

    void show(const ProgramOptions& options) override;
    void collect(ProgramOptions& options) const override;

    QLineEdit* edJEXaddress;
    QLineEdit* edJEXuid;
    QLineEdit* edJEXpass;
    QPushButton* btJEXregist;
    ClickLabel* ImageKestrix;

  signals:
    void accountEdited(); // each change goes at once into the main window's copy of the account
};
