#pragma once
// A colour swatch (`st...`): a framed box filled with one colour.
#include <QtWidgets/QFrame>

class ColorSwatch : public QFrame
{
    Q_OBJECT
  public:
    ColorSwatch(const char* name, QRgb color, QWidget* parent);

    QRgb color() const { return color_; }
    void setColor(QRgb color);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRgb color_;
};
