#include "workspace/TfrView.h"

#include "foundation/Prompts.h"
#include "widgets/ImageDisplay.h"
#include "workspace/Workspace.h"

#include <QtCore/QTimer>
#include <QtGui/QCloseEvent>
#include <QtGui/QScreen>

namespace {

constexpr int smallestRoom = 64; // however small the screen, the window stays this large

} // namespace

TfrView::TfrView(Workspace& workspace, Prompts& prompts, std::function<bool()> stayOnTopOption, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint), IkDispOrg(new ImageDisplay(this)),
      TimerView(new QTimer(this)), TimerOnShow(new QTimer(this)), workspace_(workspace), prompts_(prompts),
      stayOnTopOption_(std::move(stayOnTopOption))
{
    setObjectName(QStringLiteral("frView"));
    setWindowTitle(QStringLiteral("サブウィンドウ"));
    setCursor(Qt::PointingHandCursor);
    move(FirstPosition);
    IkDispOrg->setObjectName(QStringLiteral("IkDispOrg"));
    IkDispOrg->setCursor(Qt::PointingHandCursor);
    TimerView->setObjectName(QStringLiteral("TimerView"));
    TimerView->setSingleShot(true);
    TimerView->setInterval(1);
    connect(TimerView, &QTimer::timeout, this, [this] { TimerViewTimer(); });
    TimerOnShow->setObjectName(QStringLiteral("TimerOnShow"));
    TimerOnShow->setSingleShot(true);
    TimerOnShow->setInterval(TimerOnShowInterval);
    connect(TimerOnShow, &QTimer::timeout, this, [this] { TimerOnShowTimer(); });
    TimerOnShow->start();

    connect(&workspace_, &Workspace::workingImageChanged, this, &TfrView::showWorkingImage);
    connect(&workspace_, &Workspace::frameChanged, IkDispOrg, &ImageDisplay::setRect);
    connect(IkDispOrg, &ImageDisplay::mouseUpImage, this, [this](int, int) { IkDispOrgMouseUp(); });
}

void TfrView::setInitialSize()
{
    resize(InitialClientSize, InitialClientSize);
    IkDispOrg->setGeometry(0, 0, InitialClientSize, InitialClientSize);
}

void TfrView::showWorkingImage(const QImage& image)
{
    IkDispOrg->setImage(image);
    IkDispOrg->setGeometry(0, 0, image.width(), image.height());
    // The working size already equals the new client size, so this resize needs no rebuild; one
    // would only repeat the work, and with Shift held grow the picture by a pixel at every round.
    followingPicture_ = true;
    resize(withinScreen(image.size()));
    followingPicture_ = false;
}

QSize TfrView::withinScreen(QSize wanted) const
{
    const QScreen* place = screen();
    if (!place)
        return wanted;
    const QSize available = place->availableGeometry().size();
    const QSize border = frameGeometry().size() - size();
    return wanted.boundedTo((available - border).expandedTo(QSize(smallestRoom, smallestRoom)));
}

void TfrView::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void TfrView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!IkDispOrg->hasImage())
        IkDispOrg->resize(size());
    emit resized();
    if (!followingPicture_)
        TimerView->start(); // a run of size changes is applied once, after the last
}

void TfrView::TimerViewTimer()
{
    WorkspaceGeometry& g = workspace_.geometry();
    if (prompts_.shiftDown()) {
        g.CoverFit(width(), height());
    } else {
        g.workWidth = width();
        g.workHeight = height();
    }
    workspace_.RebuildWorkingImage();
    TimerView->stop();
}

void TfrView::IkDispOrgMouseUp()
{
    if (!workspace_.hasPicture())
        return;
    workspace_.ComposeCanvas(IkDispOrg->rectLeft(), IkDispOrg->rectTop(), false);
}

void TfrView::TimerOnShowTimer()
{
    TimerOnShow->stop();
    applyStayOnTop(stayOnTopOption_ && stayOnTopOption_());
}

void TfrView::applyStayOnTop(bool onTop)
{
    if (onTop != windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        const bool wasVisible = isVisible();
        setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        if (wasVisible)
            show(); // changing the flags hides the window
    }
}

#include "moc_TfrView.cpp"
