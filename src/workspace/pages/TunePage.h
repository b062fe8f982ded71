#pragma once
// The page " 画質調整 ": brightness, noise removal, outline smoothing and sharpening.
#include <QtWidgets/QWidget>

class ImageOperations;

class TunePage : public QWidget
{
    Q_OBJECT
  public:
    TunePage(ImageOperations& operations, QWidget* parent = nullptr);
};
