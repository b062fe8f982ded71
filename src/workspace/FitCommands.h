#pragma once
// The fits, the one-pixel size and position nudges and restoring the proportions. None of them
// changes the picture itself or makes an undo step; the three fits are logged. Each returns whether
// "元の縦横比に戻す" is usable afterwards, where it changes that.
#include <QtCore/QSize>

class OperationLog;
class Workspace;

class FitCommands
{
  public:
    FitCommands(Workspace& workspace, OperationLog& log) : workspace_(workspace), log_(log) {}

    bool fitBoth();   // "同時": the working size is the canvas size
    bool fitWidth();  // "横"
    bool fitHeight(); // "縦"
    bool resizeWorking(int dx, int dy);
    void moveCanvas(int dx, int dy); // offset change, unclamped
    bool restoreAspect(QSize subWindow);

  private:
    bool fitAxis(bool width);

    Workspace& workspace_;
    OperationLog& log_;
};
