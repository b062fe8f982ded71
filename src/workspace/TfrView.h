#pragma once
// The source sub-window "サブウィンドウ": shows the working image with the frame over the part that
// falls on the canvas. It has no close box and stays shown for the whole run.
#include <QtWidgets/QWidget>

#include <functional>

class TfrView : public QWidget {
    Q_OBJECT
public:
    static constexpr int InitialClientSize = 320;
    static constexpr int TimerOnShowInterval = 1000;

    // stayOnTopOption is read when the one-shot start-up timer fires.
    explicit TfrView(QWidget* display, std::function<bool()> stayOnTopOption, QWidget* parent = nullptr);

    QWidget* IkDispOrg;
    QTimer* TimerOnShow;

    // Start-up's share: the 320 x 320 client area and display.
    void setInitialSize();

private:
    void TimerOnShowTimer();

    std::function<bool()> stayOnTopOption_;
};
