// The rectangle over a display: a frame the program sets (and the user may drag) or a selection the user draws.
#pragma once

#include <QtCore/QPoint>
#include <QtCore/QRect>

#include <optional>

// Left and top inclusive, right and bottom one beyond the last pixel. Empty when right <= left or bottom <= top.
struct FrameRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(QPoint p) const { return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom; }
    bool operator==(const FrameRect&) const = default;
};

class FrameDrag
{
  public:
    enum class Mode {
        None,     // the rectangle only shows what the program set
        Select,   // a left drag draws a new rectangle
        MoveFrame // a left drag that starts inside the rectangle moves it
    };

    void setMode(Mode mode);
    Mode mode() const { return mode_; }
    void setRect(const FrameRect& rect) { rect_ = rect; }
    const FrameRect& rect() const { return rect_; }
    void clear();
    bool dragging() const { return state_ != State::Idle; }

    void press(QPoint p, Qt::MouseButton button);
    // True when the rectangle changed.
    bool move(QPoint p);
    // The frame's new place when a frame drag ends; nothing otherwise.
    std::optional<FrameRect> release(QPoint p);

  private:
    enum class State { Idle, Selecting, Moving };

    Mode mode_ = Mode::Select;
    State state_ = State::Idle;
    FrameRect rect_;
    FrameRect startRect_;
    QPoint anchor_;
};
