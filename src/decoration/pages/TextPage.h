#pragma once
// The page " 文字を描く ": the text, its direction, angle, shadow, colours and font, with a preview.
// The text tool reads these controls at every pointer event.
#include "decoration/TextSettings.h"
#include "decoration/TextTool.h"

#include <QtWidgets/QWidget>

class ColorSwatch;
class DrawingLayers;
class ImageDisplay;
class NumericField;
class Prompts;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TextPage : public QWidget
{
    Q_OBJECT
  public:
    TextPage(DrawingLayers& layers, Prompts& prompts, QWidget* parent = nullptr);

    TextTool& tool() { return tool_; }
    TextSettings settings() const;
    const TextFont& textFont() const { return font_; }
    void setTextFont(const TextFont& font);

    QLineEdit* edDrawText;
    QComboBox* cbTextDirection;
    QComboBox* cbTextAngle;
    QComboBox* cbShadowPos;
    NumericField* csShadowDistance;
    QCheckBox* cbTextShadow;
    ColorSwatch* stFontColor;
    QPushButton* btChandeFontColor;
    ColorSwatch* stShadowColor;
    QPushButton* btChandeShadowColor;
    QPushButton* btChandeDrawFonts;
    QLabel* lbPreview;
    ImageDisplay* IkDispText;

    void edDrawTextChange();
    void btChandeDrawFontsClick();
    void btChandeFontColorClick();
    void btChandeShadowColorClick();
    void cbTextShadowClick();

  private:
    void buildText();
    void buildShadow();
    void buildColours();
    QComboBox* comboBox(const char* name, const QStringList& items, const QString& initial, QRect geometry);
    QLabel* label(const QString& text, QRect geometry);

    DrawingLayers& layers_;
    Prompts& prompts_;
    TextFont font_;
    TextTool tool_;
};
