#pragma once
// "バージョン情報": the program's name, version and icon, and the home and donation pictures.
#include <QtWidgets/QWidget>

class ClickLabel;
class QLabel;

class OptionVersionPage : public QWidget
{
    Q_OBJECT
  public:
    explicit OptionVersionPage(QWidget* parent = nullptr);

    QLabel* ProgramIcon;
    ClickLabel* ImageLogo;
    ClickLabel* ImagePay;

  protected:
    void showEvent(QShowEvent* event) override;
};
