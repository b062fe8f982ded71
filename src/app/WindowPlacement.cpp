#include "app/WindowPlacement.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtGui/QWindow>
#include <QtWidgets/QWidget>

#include <algorithm>

namespace {

// A frame the window manager has not drawn yet still has a title bar and borders.
const QMargins frameAllowance(4, 32, 4, 4);
// Of a window larger than the screen, at least this much stays on it to be grabbed.
constexpr int grip = 100;

int nearestInside(int wanted, int first, int last, int length)
{
    if (length <= last - first + 1)
        return std::clamp(wanted, first, last - length + 1);
    return wanted >= first && wanted <= last - grip ? wanted : first;
}

} // namespace

WindowPlacement::WindowPlacement(QWidget* window, Anchor anchor) : window_(window), anchor_(anchor)
{
    window_->installEventFilter(this);
}

QPoint WindowPlacement::within(const QRect& area, QPoint wanted, QSize size)
{
    return {nearestInside(wanted.x(), area.left(), area.right(), size.width()),
            nearestInside(wanted.y(), area.top(), area.bottom(), size.height())};
}

QRect WindowPlacement::reachableArea(QPoint wanted) const
{
    const QScreen* screen = QGuiApplication::screenAt(wanted);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(wanted, window_->size());
}

void WindowPlacement::place(WindowPlace where)
{
    const QPoint wanted(where.left, where.top);
    const QRect area = reachableArea(wanted);
    const QRect frame = window_->frameGeometry(), client = window_->geometry();
    const bool frameKnown = frame != client;
    if (anchor_ == Anchor::ClientArea) {
        // The client area goes below the title bar, whose height is known once the frame is.
        const QMargins margins = frameKnown ? QMargins(client.left() - frame.left(), client.top() - frame.top(),
                                                       frame.right() - client.right(), frame.bottom() - client.bottom())
                                            : frameAllowance;
        const QPoint at = within(area.marginsRemoved(margins), wanted, client.size());
        window_->setGeometry(QRect(at, client.size()));
        return;
    }
    const QSize outer = frameKnown ? frame.size() : client.size().grownBy(frameAllowance);
    const QPoint at = within(area, wanted, outer);
    window_->winId(); // the native window, which the window manager frames
    window_->windowHandle()->setFramePosition(at);
    asked_ = at;
}

QPoint WindowPlacement::standing() const
{
    return anchor_ == Anchor::Frame ? window_->pos() : window_->geometry().topLeft();
}

WindowPlace WindowPlacement::current() const
{
    const QPoint at = asked_.value_or(standing());
    return {at.y(), at.x()};
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    // The window system has carried out the move once the window stands where it was asked to be.
    if (watched == window_ && event->type() == QEvent::Move && asked_ && standing() == *asked_)
        asked_.reset();
    return QObject::eventFilter(watched, event);
}

#include "moc_WindowPlacement.cpp"
