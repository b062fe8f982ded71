#pragma once
// The stamp page: the stamp list, the selected stamp's name and its preview. Placing the stamp on
// the canvas is the StampTool's work.
#include <QtWidgets/QWidget>

class ImageDisplay;
class QLineEdit;
class StampTool;
class ThumbnailList;

class StampPage : public QWidget
{
    Q_OBJECT
  public:
    StampPage(StampTool& tool, QWidget* parent = nullptr);

    // Points the list at the tool's folder and lists it; thumbnails follow in the background.
    void listFiles();
    void IkThumbStampSelectFile(const QString& fileName);

    ThumbnailList* IkThumbStamp;
    QLineEdit* edStampName;
    ImageDisplay* IkDispStamp;

  private:
    StampTool& tool_;
};
