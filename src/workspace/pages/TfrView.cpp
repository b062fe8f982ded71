#include "workspace/pages/TfrView.h"

#include "foundation/Prompts.h"
#include "imaging/resampling/ReducedView.h"
#include "widgets/ImageDisplay.h"
#include "workspace/Workspace.h"

#include <QtCore/QScopedValueRollback>
#include <QtCore/QTimer>
#include <QtGui/QCloseEvent>
#include <QtGui/QScreen>

#include <algorithm>
#include <cmath>

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
    workspace_.setViewSizeRule([this](QSize working) { return shownSizeOf(working); });
    connect(&workspace_, &Workspace::frameChanged, IkDispOrg, &ImageDisplay::setRect);
    connect(IkDispOrg, &ImageDisplay::mouseUpImage, this, [this](int, int) { IkDispOrgMouseUp(); });
}

TfrView::~TfrView()
{
    workspace_.setViewSizeRule({});
}

void TfrView::setInitialSize()
{
    resize(InitialClientSize, InitialClientSize);
    IkDispOrg->setGeometry(0, 0, InitialClientSize, InitialClientSize);
}

void TfrView::showWorkingImage(QSize working)
{
    const QSize shown = shownSizeOf(working);
    if (shown == working) {
        IkDispOrg->setReducedView(working, working);
        IkDispOrg->setImage(workspace_.workingImage());
    } else {
        // Reduced by the workspace, which keeps a smaller copy of the picture for this view.
        IkDispOrg->showReduced(workspace_.workingView(shown), working);
    }
    IkDispOrg->setGeometry(0, 0, shown.width(), shown.height());
    // The working size already equals the new client size, so this resize needs no rebuild; one
    // would only repeat the work, and with Shift held grow the picture by a pixel at every round.
    followingPicture_ = true;
    resize(shown.boundedTo(screenRoom()));
    followingPicture_ = false;
    // Looked at once the event loop runs again, when the window has taken its new size.
    if (shown != working)
        QTimer::singleShot(0, this, [this] {
            if (IkDispOrg->reducedView().reduces())
                bringOntoScreen();
        });
}

void TfrView::bringOntoScreen()
{
    const QScreen* place = screen();
    if (!place)
        return;
    const QRect available = place->availableGeometry();
    const QRect frame = frameGeometry();
    if (available.contains(frame))
        return;
    const int x = std::max(available.left(), std::min(frame.left(), available.right() + 1 - frame.width()));
    const int y = std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - frame.height()));
    move(pos() + QPoint(x, y) - frame.topLeft());
}

QSize TfrView::screenRoom() const
{
    const QScreen* place = screen();
    if (!place)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QSize available = place->availableGeometry().size();
    const QSize border = frameGeometry().size() - size();
    return (available - border).expandedTo(QSize(smallestRoom, smallestRoom));
}

QSize TfrView::shownSizeOf(QSize picture) const
{
    const QSize room = screenRoom();
    const QSize fitted = ReducedView::fittedSize(picture, room);
    if (fitted == picture)
        return picture;
    const ReducedView& view = IkDispOrg->reducedView();
    if (applyingUserResize_ && view.reduces()) {
        const double kept = double(view.shownSize().width()) / view.pictureSize().width();
        const QSize atKept(std::max(1, int(std::lround(picture.width() * kept))),
                           std::max(1, int(std::lround(picture.height() * kept))));
        if (atKept.width() <= fitted.width() && atKept.height() <= fitted.height())
            return atKept;
    }
    // Reduced anyway: half the screen each way shows it whole and leaves the main window in sight.
    return ReducedView::fittedSize(picture, (room / 2).expandedTo(QSize(smallestRoom, smallestRoom)));
}

QSize TfrView::clientSizeInPicturePixels() const
{
    const ReducedView& view = IkDispOrg->reducedView();
    if (!IkDispOrg->hasImage() || !view.reduces())
        return size();
    const auto inPicture = [](int shown, int viewShown, int viewPicture) {
        return std::max(1, int(std::lround(double(shown) * viewPicture / viewShown)));
    };
    return QSize(inPicture(width(), view.shownSize().width(), view.pictureSize().width()),
                 inPicture(height(), view.shownSize().height(), view.pictureSize().height()));
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
    const QSize box = clientSizeInPicturePixels();
    if (prompts_.shiftDown()) {
        g.CoverFit(box.width(), box.height());
    } else {
        g.workWidth = box.width();
        g.workHeight = box.height();
    }
    {
        const QScopedValueRollback<bool> userResize(applyingUserResize_, true);
        workspace_.RebuildWorkingImage();
    }
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
