// The pixels that the drawing primitives cover, by the rules of the classic Windows drawing calls:
// rectangles and ellipses exclude their right and bottom edges, reversed corners are sorted, a wide pen is
// centred on the outline, and a one-pixel line leaves out its last point.
#pragma once

#include <QtCore/QRect>

#include <vector>

struct PixelSpan
{
    int y;
    int left;  // inclusive
    int right; // inclusive
};

using PixelSpans = std::vector<PixelSpan>;

class ShapeRasterizer
{
  public:
    // Only pixels inside `clip` are produced (and only they are examined), whatever the shape's size.
    explicit ShapeRasterizer(QRect clip) : clip_(clip) {}

    // Interior of the rectangle (left, top)-(right, bottom), right and bottom excluded. Empty when zero-sized.
    PixelSpans rectangleFill(int left, int top, int right, int bottom) const;
    // The outline band of a pen `penWidth` wide centred on the rectangle's border pixels.
    PixelSpans rectangleOutline(int left, int top, int right, int bottom, int penWidth) const;

    // The ellipse inscribed in the rectangle: its curve passes through the centres of the extreme pixels
    // (right - 1, bottom - 1 inclusive), and a row or column holds a pixel when the curve comes within half a
    // pixel of its centre. A 3 x 3 box gives the five-pixel plus shape, a 4 x 4 box the square less its corners.
    PixelSpans ellipseFill(int left, int top, int right, int bottom) const;
    PixelSpans ellipseOutline(int left, int top, int right, int bottom, int penWidth) const;

    // A line from (x0, y0) to (x1, y1). Width 1: the Bresenham pixels without the end point (nothing when the
    // points coincide). Wider: every pixel within penWidth / 2 of the segment, which gives round ends.
    PixelSpans line(int x0, int y0, int x1, int y1, int penWidth) const;

  private:
    // Inclusive box; empty when right < left or bottom < top.
    PixelSpans ellipseInBox(int left, int top, int right, int bottom) const;
    static PixelSpans subtract(const PixelSpans& outer, const PixelSpans& inner);
    PixelSpans thinLine(int x0, int y0, int x1, int y1) const;
    PixelSpans wideLine(int x0, int y0, int x1, int y1, int penWidth) const;
    // Adds the part of row y from left to right that lies inside the clip.
    void addSpan(PixelSpans& spans, int y, int left, int right) const;

    QRect clip_;
};
