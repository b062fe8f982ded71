#pragma once
// Where one of our windows stands on the screen. A stored place is brought within the screen's
// available area, so a place from a larger monitor (or a damaged file) never hides the window,
// and the place asked for counts until the window system has moved the window there: on X11 a
// move is carried out a little later, and a program ending at once must not store where the
// window stood before.
#include "app/StoredSettings.h"

#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QRect>
#include <QtWidgets/QWidget>
#include <optional>

class WindowPlacement : public QObject
{
    Q_OBJECT
  public:
    // Frame: placed and told by its frame, as the desktop shows a window. ClientArea: by its own
    // area, for windows whose frame Qt forgets (resized ones, hidden ones).
    enum class Anchor { Frame, ClientArea };

    WindowPlacement(QWidget* window, Anchor anchor);

    void place(WindowPlace where);
    // Places the window again where it stands, for a window that has taken its size since.
    void keepOnScreen() { place(current()); }
    WindowPlace current() const;

    // The top-left corner nearest to wanted that keeps a window of that size inside the area. A
    // window larger than the area keeps its top-left corner, and so its title bar, on it.
    static QPoint within(const QRect& area, QPoint wanted, QSize size);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPoint standing() const;
    QRect reachableArea(QPoint wanted) const;

    QPointer<QWidget> window_; // the placement may outlive the window at shutdown
    Anchor anchor_;
    std::optional<QPoint> asked_;
};
