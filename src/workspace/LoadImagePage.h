#pragma once
// The page " 画像読込 ": load from a file or the clipboard, and the loaded picture's size and depth.
#include <QtWidgets/QWidget>

class PictureLoader;
class QLineEdit;
class QPushButton;

class LoadImagePage : public QWidget
{
    Q_OBJECT
  public:
    LoadImagePage(PictureLoader& loader, QWidget* parent = nullptr);

    QPushButton* btOpenFromFile;
    QPushButton* btOpenFromClipboard;
    QLineEdit* edOrgWidth;
    QLineEdit* edOrgHeight;
    QLineEdit* edOrgCol;

  private:
    void showPicture(int width, int height, int bitCount);
};
