#include "imaging/drawing/FrameDrag.h"

void FrameDrag::setMode(Mode mode)
{
    mode_ = mode;
    state_ = State::Idle;
}

void FrameDrag::clear()
{
    rect_ = {};
    state_ = State::Idle;
}

void FrameDrag::press(QPoint p, Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    anchor_ = p;
    startRect_ = rect_;
    if (mode_ == Mode::MoveFrame && !rect_.isEmpty() && rect_.contains(p)) {
        state_ = State::Moving;
    } else if (mode_ == Mode::Select) {
        state_ = State::Selecting;
        rect_ = {};
    }
}

bool FrameDrag::move(QPoint p)
{
    const FrameRect before = rect_;
    if (state_ == State::Moving) {
        const QPoint d = p - anchor_;
        rect_ = {startRect_.left + d.x(), startRect_.top + d.y(), startRect_.right + d.x(), startRect_.bottom + d.y()};
    } else if (state_ == State::Selecting) {
        // Both corner pixels belong to the selection.
        rect_ = {std::min(anchor_.x(), p.x()), std::min(anchor_.y(), p.y()), std::max(anchor_.x(), p.x()) + 1,
                 std::max(anchor_.y(), p.y()) + 1};
        if (p == anchor_)
            rect_ = {};
    }
    return !(rect_ == before);
}

std::optional<FrameRect> FrameDrag::release(QPoint p)
{
    move(p);
    const bool moved = state_ == State::Moving;
    state_ = State::Idle;
    if (moved)
        return rect_;
    return std::nullopt;
}
