#pragma once
// The colour-depth warning shown at start-up on a screen with fewer than 24 bits per pixel.
#include <QtWidgets/QDialog>

class QLabel;
class QPushButton;
class Prompts;

class TfrColCheck : public QDialog
{
    Q_OBJECT
  public:
    TfrColCheck(Prompts& prompts, QString supportAddress, QWidget* parent = nullptr);

    // Shows the dialog modally; true when the user answers "はい".
    bool ask();

    QLabel* lbSupport;
    QPushButton* btYes;
    QPushButton* btNo;
};
