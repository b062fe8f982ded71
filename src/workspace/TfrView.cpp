#include "workspace/TfrView.h"

#include <QtCore/QTimer>

TfrView::TfrView(QWidget* display, std::function<bool()> stayOnTopOption, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      IkDispOrg(display),
      TimerOnShow(new QTimer(this)),
      stayOnTopOption_(std::move(stayOnTopOption))
{
    setObjectName(QStringLiteral("frView"));
    setWindowTitle(QStringLiteral("サブウィンドウ"));
    IkDispOrg->setParent(this);
    IkDispOrg->setObjectName(QStringLiteral("IkDispOrg"));
    TimerOnShow->setObjectName(QStringLiteral("TimerOnShow"));
    TimerOnShow->setSingleShot(true);
    TimerOnShow->setInterval(TimerOnShowInterval);
    connect(TimerOnShow, &QTimer::timeout, this, &TfrView::TimerOnShowTimer);
    TimerOnShow->start();
}

void TfrView::setInitialSize()
{
    resize(InitialClientSize, InitialClientSize);
    IkDispOrg->setGeometry(0, 0, InitialClientSize, InitialClientSize);
}

void TfrView::TimerOnShowTimer()
{
    TimerOnShow->stop();
    const bool onTop = stayOnTopOption_ && stayOnTopOption_();
    if (onTop != windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        const bool wasVisible = isVisible();
        setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        if (wasVisible)
            show(); // changing the flags hides the window
    }
}
