#pragma once
// The page " 画像読込 ": load from a file or the clipboard, and the loaded picture's size and depth.
#include <QtWidgets/QWidget>

class PictureLoader;
class Prompts;
class QLineEdit;
class QPushButton;

class LoadImagePage : public QWidget
{
    Q_OBJECT
  public:
    LoadImagePage(PictureLoader& loader, Prompts& prompts, QWidget* parent = nullptr);

    // "ファイルから入力": the open dialog, then the chosen file is loaded.
    void btOpenFromFileClick();
    void btOpenFromClipboardClick();

    QPushButton* btOpenFromFile;
    QPushButton* btOpenFromClipboard;
    QLineEdit* edOrgWidth;
    QLineEdit* edOrgHeight;
    QLineEdit* edOrgCol;

  private:
    void showPicture(int width, int height, int bitCount);

    PictureLoader& loader_;
    Prompts& prompts_;
};
