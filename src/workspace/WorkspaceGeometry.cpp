#include "workspace/WorkspaceGeometry.h"

#include <algorithm>

namespace {

constexpr double fitMargin = 0.001;

// The offset rule along one axis: beyond the limit it is the limit (negative when the working
// image is smaller than the canvas), below zero it is zero.
int clampAxis(int value, int limit)
{
    if (value > limit)
        return limit;
    return value < 0 ? 0 : value;
}

} // namespace

double WorkspaceGeometry::AxisScale(int target, int base)
{
    return double(target) / (double(base) - 0.9);
}

void WorkspaceGeometry::scaleWorkingSize(double scale)
{
    fitScale = scale;
    workWidth = int(double(baseWidth) * fitScale);
    workHeight = int(double(baseHeight) * fitScale);
}

void WorkspaceGeometry::CoverFit(int boxWidth, int boxHeight)
{
    scaleWorkingSize(std::max(AxisScale(boxWidth, baseWidth), AxisScale(boxHeight, baseHeight)) + fitMargin);
}

void WorkspaceGeometry::fitToWidth()
{
    scaleWorkingSize(AxisScale(canvasWidth, baseWidth) + fitMargin);
}

void WorkspaceGeometry::fitToHeight()
{
    scaleWorkingSize(AxisScale(canvasHeight, baseHeight) + fitMargin);
}

void WorkspaceGeometry::CenterOffset()
{
    offsetX = int(double(workWidth - canvasWidth) * 0.5);
    offsetY = int(double(workHeight - canvasHeight) * 0.5);
}

void WorkspaceGeometry::setOffset(int x, int y, bool keepOffset)
{
    offsetX = keepOffset ? x : clampAxis(x, workWidth - canvasWidth);
    offsetY = keepOffset ? y : clampAxis(y, workHeight - canvasHeight);
    const int right = offsetX + canvasWidth - 1;
    const int bottom = offsetY + canvasHeight - 1;
    cropXs = {offsetX, right, right, offsetX};
    cropYs = {offsetY, offsetY, bottom, bottom};
}

QPoint placementOrigin(Placement placement, QSize canvas, QSize cut)
{
    const int index = int(placement);
    const int column = index % 3;
    const int row = index / 3;
    const int spareX = canvas.width() - cut.width();
    const int spareY = canvas.height() - cut.height();
    const int x = column == 0 ? 0 : column == 1 ? spareX / 2 : spareX;
    const int y = row == 0 ? 0 : row == 1 ? spareY / 2 : spareY;
    return {x, y};
}

Placement placementFromMarks(const std::array<bool, 9>& marked)
{
    Placement chosen = Placement::Centre;
    for (int i = 0; i < 9; ++i)
        if (marked[size_t(i)])
            chosen = Placement(i);
    return chosen;
}
