#pragma once
// One drawing call a tool made on its surface, for whoever watches the tools at work.
#include "imaging/drawing/PrintAttributes.h"

#include <functional>

struct PrintCall
{
    enum class Kind { Line, Rectangle, Ellipse, TextOut };
    Kind kind;
    int left; // TextOut: the text position is (left, top)
    int top;
    int right;
    int bottom;
    PrintAttributes attributes;
};

using PrintCallObserver = std::function<void(const PrintCall&)>;
