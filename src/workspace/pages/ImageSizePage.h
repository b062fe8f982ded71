#pragma once
// The page "画像サイズ": the three fits, one-pixel size and position nudges, and restoring the
// picture's proportions. None of them changes the picture itself or makes an undo step.
#include "workspace/FitCommands.h"

#include <QtWidgets/QWidget>

#include <functional>

class ImageOperations;
class OperationLog;
class QGroupBox;
class QPushButton;
class Workspace;

class ImageSizePage : public QWidget
{
    Q_OBJECT
  public:
    ImageSizePage(Workspace& workspace, OperationLog& log, QWidget* parent = nullptr);

    // The group " 画像の回転・反転 ": quarter turns and flips, which change the picture itself.
    void addRotationButtons(ImageOperations& operations);
    // The source sub-window's client size, which "元の縦横比に戻す" fits to.
    void setSubWindowSize(std::function<QSize()> size) { subWindowSize_ = std::move(size); }

    void btJustFitClick();
    void btWJustFitClick();
    void btHJustFitClick();
    void resizeWorking(int dx, int dy); // the four size buttons
    void moveCanvas(int dx, int dy);    // the four position buttons: offset change
    void btResetSizeClick();

    QPushButton* btJustFit;
    QPushButton* btWJustFit;
    QPushButton* btHJustFit;
    QPushButton* btXdown;
    QPushButton* btXup;
    QPushButton* btYdown;
    QPushButton* btYup;
    QPushButton* btResetSize;
    QPushButton* btLeft;
    QPushButton* btRight;
    QPushButton* btUp;
    QPushButton* btDown;
    QGroupBox* rotationGroup;

  private:
    void build();
    QPushButton* button(QWidget* parent, const char* name, const QString& caption, QRect geometry);

    FitCommands fits_;
    std::function<QSize()> subWindowSize_;
};
