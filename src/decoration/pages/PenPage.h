#pragma once
// The page " 絵を描く ": the four pen modes, the line width, the line and fill colours and the fill
// switch. The pen tool reads these controls at every pointer event.
#include "decoration/PenSettings.h"
#include "decoration/PenTool.h"

#include <QtWidgets/QWidget>

class ColorSwatch;
class DrawingLayers;
class NumericField;
class Prompts;
class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;

class PenPage : public QWidget
{
    Q_OBJECT
  public:
    PenPage(DrawingLayers& layers, Prompts& prompts, QWidget* parent = nullptr);

    PenTool& tool() { return tool_; }
    PenSettings settings() const;

    QToolButton* sbDrawDot;
    QToolButton* sbDrawLine;
    QToolButton* sbDrawRect;
    QToolButton* sbDrawCircle;
    QLabel* lbPenNote;
    NumericField* csLineWidth;
    ColorSwatch* stLineColor;
    QPushButton* btChangeLineColor;
    ColorSwatch* stFillColor;
    QPushButton* btChangeFillColor;
    QCheckBox* cbCheckFill;

    void btChangeLineColorClick();
    void btChangeFillColorClick();
    void cbCheckFillClick();

  private:
    void buildModes();
    void buildPen();
    QToolButton* modeButton(const char* name, const QString& hint, int index);
    void chooseInto(ColorSwatch* swatch);

    Prompts& prompts_;
    PenTool tool_;
};
