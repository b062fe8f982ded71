#pragma once
// "一般": the guide lines, the catalogue update's network settings and the sub-window's stay-on-top.
#include "app/OptionPage.h"

class ColorSwatch;
class Prompts;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class OptionGeneralPage : public OptionPage
{
    Q_OBJECT
  public:
    OptionGeneralPage(Prompts& prompts, QWidget* parent = nullptr);

    void show(const ProgramOptions& options) override;
    void collect(ProgramOptions& options) const override;
    void bringInLine() override;

    QCheckBox* cbGuide;
    QPushButton* btChangeGuideLineColor;
    ColorSwatch* stGuideColor;
    QCheckBox* cbAutoCheck;
    QRadioButton* rbDirect;
    QRadioButton* rbInDirect;
    QLabel* lbProxy;
    QLineEdit* edProxy;
    QLabel* lbPort;
    QLineEdit* edPort;
    QCheckBox* cbStayOnTop;

  signals:
    // Shown or hidden, or recoloured: the guide lines follow at once.
    void guideLinesChanged(bool visible, const QColor& color);

  private:
    void buildGuideGroup();
    void buildNetworkGroup();
    void btChangeGuideLineColorClick();

    Prompts& prompts_;
};
