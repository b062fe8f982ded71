#pragma once
// The source sub-window "サブウィンドウ": the working image at one screen pixel per image pixel with
// the frame over the part that falls on the canvas, or reduced to fit the screen when it would not
// fit at that size. Moving the frame chooses the crop; resizing the window changes the working size.
// It has no title-bar buttons and stays shown for the whole run.
#include <QtWidgets/QWidget>

#include <functional>

class ImageDisplay;
class Prompts;
class QTimer;
class Workspace;

class TfrView : public QWidget
{
    Q_OBJECT
  public:
    static constexpr int InitialClientSize = 320;
    static constexpr int TimerOnShowInterval = 1000;
    static constexpr QPoint FirstPosition{750, 500}; // left, top until the settings say otherwise

    // stayOnTopOption is read when the one-shot start-up timer fires.
    TfrView(Workspace& workspace, Prompts& prompts, std::function<bool()> stayOnTopOption, QWidget* parent = nullptr);
    ~TfrView() override;

    ImageDisplay* IkDispOrg;
    QTimer* TimerView;
    QTimer* TimerOnShow;

    // Start-up's share: the 320 x 320 client area and display.
    void setInitialSize();
    void TimerViewTimer();
    void IkDispOrgMouseUp();
    // Always on top of other windows, or an ordinary window.
    void applyStayOnTop(bool onTop);
    // The client size in working-image pixels: what a resize or a fit to the window asks for.
    QSize clientSizeInPicturePixels() const;

  signals:
    void resized(); // "元の縦横比に戻す" becomes usable

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // The window stays for the whole run: a close request is refused.
    void closeEvent(QCloseEvent* event) override;

  private:
    void showWorkingImage(QSize working);
    // The largest client size the available screen leaves, so that no window manager moves the
    // window away to make a large picture fit.
    QSize screenRoom() const;
    // The size the picture is shown at: its own when it fits the screen, else reduced to fit half the
    // screen; while the user's own resize is applied, at the reduction in force, so the window keeps
    // the size dragged.
    QSize shownSizeOf(QSize picture) const;
    // A reduced picture is all in reach: the window is moved back where it would leave the screen.
    void bringOntoScreen();
    void TimerOnShowTimer();

    Workspace& workspace_;
    Prompts& prompts_;
    std::function<bool()> stayOnTopOption_;
    bool followingPicture_ = false;
    bool applyingUserResize_ = false;
};
