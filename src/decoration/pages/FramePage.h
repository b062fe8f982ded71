#pragma once
// The frame page: the frame list, the selected frame's name and "フレームを描画".
#include <QtWidgets/QWidget>

class FrameCommand;
class Prompts;
class QLineEdit;
class QPushButton;
class ThumbnailList;

class FramePage : public QWidget
{
    Q_OBJECT
  public:
    FramePage(FrameCommand& command, Prompts& prompts, QWidget* parent = nullptr);

    // Points the list at the command's folder and lists it; thumbnails follow in the background.
    void listFiles();
    void IkThumbFramesSelectFile(const QString& fileName);
    // "フレームを描画": the frame selected in the list, if there is one.
    void btDrawFrameClick();

    ThumbnailList* IkThumbFrames;
    QLineEdit* edFrameName;
    QPushButton* btDrawFrame;

  private:
    FrameCommand& command_;
    Prompts& prompts_;
};
