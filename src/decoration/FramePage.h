#pragma once
// The frame page: the frame list, the selected frame's name and "フレームを描画".
#include <QtWidgets/QWidget>

class FrameCommand;
class QLineEdit;
class QPushButton;
class ThumbnailList;

class FramePage : public QWidget
{
    Q_OBJECT
  public:
    FramePage(FrameCommand& command, QWidget* parent = nullptr);

    // Points the list at the command's folder and lists it; thumbnails follow in the background.
    void listFiles();
    void IkThumbFramesSelectFile(const QString& fileName);

    ThumbnailList* IkThumbFrames;
    QLineEdit* edFrameName;
    QPushButton* btDrawFrame;

  private:
    FrameCommand& command_;
};
