#pragma once
// "画像の余白": the margin colour and the placement of a cut smaller than the canvas.
#include "app/OptionPage.h"
#include "foundation/PlacementPanels.h"

#include <array>

class ClickLabel;
class ColorSwatch;
class Prompts;
class QPushButton;

class OptionMarginPage : public OptionPage
{
    Q_OBJECT
  public:
    OptionMarginPage(Prompts& prompts, QWidget* parent = nullptr);

    void show(const ProgramOptions& options) override;
    void collect(ProgramOptions& options) const override;

    const PlacementPanels& panels() const { return panels_; }
    // Gives the nine panels these colours (a settings load, a restore point).
    void showPanels(const PlacementPanels& panels);
    // A click on a panel.
    void mgClick(int index);

    QPushButton* btChangeMerginCol;
    ColorSwatch* stMerginColor;
    std::array<ClickLabel*, PlacementPanels::Count> mg{};

  signals:
    void marginColorChanged(const QColor& color); // the display's background follows at once

  private:
    void btChangeMerginColClick();
    void paintPanels();

    Prompts& prompts_;
    PlacementPanels panels_;
};
