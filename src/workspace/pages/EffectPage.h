#pragma once
// The page " 画像効果 ": mono, sepia and the seven effects that may act on a selected region.
#include <QtWidgets/QWidget>

class ImageOperations;

class EffectPage : public QWidget
{
    Q_OBJECT
  public:
    EffectPage(ImageOperations& operations, QWidget* parent = nullptr);
};
