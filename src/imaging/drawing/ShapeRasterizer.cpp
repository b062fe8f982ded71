#include "imaging/drawing/ShapeRasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>

namespace {

struct Box
{
    int left, top, right, bottom; // inclusive
};

// Sorted corners, right and bottom made inclusive.
Box inclusiveBox(int left, int top, int right, int bottom)
{
    return {std::min(left, right), std::min(top, bottom), std::max(left, right) - 1, std::max(top, bottom) - 1};
}

// Half the extent of an ellipse of semi-axes (a, b) at offset d along the other axis, or -inf outside.
double halfExtent(double a, double b, double d)
{
    if (std::abs(d) > b)
        return -std::numeric_limits<double>::infinity();
    if (b == 0.0)
        return a;
    const double ratio = d / b;
    return a * std::sqrt(std::max(0.0, 1.0 - ratio * ratio));
}

} // namespace

PixelSpans ShapeRasterizer::rectangleFill(int left, int top, int right, int bottom) const
{
    const Box box = inclusiveBox(left, top, right, bottom);
    PixelSpans spans;
    if (box.right < box.left || box.bottom < box.top)
        return spans;
    for (int y = std::max(box.top, clip_.top()); y <= std::min(box.bottom, clip_.bottom()); ++y)
        addSpan(spans, y, box.left, box.right);
    return spans;
}

PixelSpans ShapeRasterizer::rectangleOutline(int left, int top, int right, int bottom, int penWidth) const
{
    const Box box = inclusiveBox(left, top, right, bottom);
    PixelSpans spans;
    if (box.right < box.left || box.bottom < box.top || penWidth < 1)
        return spans;
    const int out = penWidth / 2;
    const int in = (penWidth - 1) / 2 + 1;
    const Box outer{box.left - out, box.top - out, box.right + out, box.bottom + out};
    const Box inner{box.left + in, box.top + in, box.right - in, box.bottom - in};
    for (int y = std::max(outer.top, clip_.top()); y <= std::min(outer.bottom, clip_.bottom()); ++y) {
        if (y < inner.top || y > inner.bottom || inner.right < inner.left) {
            addSpan(spans, y, outer.left, outer.right);
        } else {
            addSpan(spans, y, outer.left, inner.left - 1);
            addSpan(spans, y, inner.right + 1, outer.right);
        }
    }
    return spans;
}

PixelSpans ShapeRasterizer::ellipseInBox(int left, int top, int right, int bottom) const
{
    PixelSpans spans;
    if (right < left || bottom < top)
        return spans;
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double a = (right - left) / 2.0, b = (bottom - top) / 2.0;
    for (int y = std::max(top, clip_.top()); y <= std::min(bottom, clip_.bottom()); ++y) {
        const double dy = y - cy;
        // Pixels whose column the curve reaches within half a pixel, widened by those it passes in this row.
        const double rowHalf = halfExtent(a, b, dy) + 0.5;
        int first = right + 1, last = left - 1;
        for (int x = std::max(left, clip_.left()); x <= std::min(right, clip_.right()); ++x) {
            const double dx = x - cx;
            if (std::abs(dx) <= rowHalf || std::abs(dy) <= halfExtent(b, a, dx) + 0.5) {
                first = std::min(first, x);
                last = x;
            }
        }
        if (first <= last)
            spans.push_back({y, first, last});
    }
    return spans;
}

PixelSpans ShapeRasterizer::ellipseFill(int left, int top, int right, int bottom) const
{
    const Box box = inclusiveBox(left, top, right, bottom);
    return ellipseInBox(box.left, box.top, box.right, box.bottom);
}

PixelSpans ShapeRasterizer::ellipseOutline(int left, int top, int right, int bottom, int penWidth) const
{
    const Box box = inclusiveBox(left, top, right, bottom);
    if (box.right < box.left || box.bottom < box.top || penWidth < 1)
        return {};
    const int out = penWidth / 2;
    const int in = (penWidth - 1) / 2 + 1;
    const PixelSpans outer = ellipseInBox(box.left - out, box.top - out, box.right + out, box.bottom + out);
    const PixelSpans inner = ellipseInBox(box.left + in, box.top + in, box.right - in, box.bottom - in);
    return subtract(outer, inner);
}

PixelSpans ShapeRasterizer::subtract(const PixelSpans& outer, const PixelSpans& inner)
{
    // Both come one span per row from ellipseInBox, so a row has at most one hole.
    std::map<int, PixelSpan> holes;
    for (const PixelSpan& s : inner)
        holes[s.y] = s;
    PixelSpans spans;
    for (const PixelSpan& s : outer) {
        const auto hole = holes.find(s.y);
        if (hole == holes.end()) {
            spans.push_back(s);
            continue;
        }
        if (hole->second.left > s.left)
            spans.push_back({s.y, s.left, std::min(s.right, hole->second.left - 1)});
        if (hole->second.right < s.right)
            spans.push_back({s.y, std::max(s.left, hole->second.right + 1), s.right});
    }
    return spans;
}

PixelSpans ShapeRasterizer::line(int x0, int y0, int x1, int y1, int penWidth) const
{
    if (penWidth <= 1)
        return thinLine(x0, y0, x1, y1);
    return wideLine(x0, y0, x1, y1, penWidth);
}

PixelSpans ShapeRasterizer::thinLine(int x0, int y0, int x1, int y1) const
{
    PixelSpans spans;
    const long long dx = std::llabs(static_cast<long long>(x1) - x0);
    const long long dy = -std::llabs(static_cast<long long>(y1) - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long long err = dx + dy;
    int x = x0, y = y0;
    while (x != x1 || y != y1) {
        addSpan(spans, y, x, x);
        const long long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    return spans;
}

PixelSpans ShapeRasterizer::wideLine(int x0, int y0, int x1, int y1, int penWidth) const
{
    // An even pen is centred on pixel corners (the top-left one), an odd pen on the pixel centre.
    const double shift = penWidth % 2 == 0 ? -0.5 : 0.0;
    const double ax = x0 + shift, ay = y0 + shift, bx = x1 + shift, by = y1 + shift;
    const double radius = penWidth / 2.0;
    const double limit = radius * radius + 1e-9;
    const double vx = bx - ax, vy = by - ay;
    const double length2 = vx * vx + vy * vy;
    const int reach = penWidth / 2 + 1;
    PixelSpans spans;
    const int top = std::max(std::min(y0, y1) - reach, clip_.top());
    const int bottom = std::min(std::max(y0, y1) + reach, clip_.bottom());
    const int left = std::max(std::min(x0, x1) - reach, clip_.left());
    const int right = std::min(std::max(x0, x1) + reach, clip_.right());
    for (int y = top; y <= bottom; ++y) {
        int first = 0, last = -1;
        bool any = false;
        for (int x = left; x <= right; ++x) {
            const double t = length2 > 0 ? std::clamp(((x - ax) * vx + (y - ay) * vy) / length2, 0.0, 1.0) : 0.0;
            const double ex = x - (ax + t * vx), ey = y - (ay + t * vy);
            if (ex * ex + ey * ey <= limit) {
                if (!any)
                    first = x;
                any = true;
                last = x;
            }
        }
        if (any)
            spans.push_back({y, first, last});
    }
    return spans;
}

void ShapeRasterizer::addSpan(PixelSpans& spans, int y, int left, int right) const
{
    if (y < clip_.top() || y > clip_.bottom())
        return;
    left = std::max(left, clip_.left());
    right = std::min(right, clip_.right());
    if (left <= right)
        spans.push_back({y, left, right});
}
