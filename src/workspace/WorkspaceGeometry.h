#pragma once
// Where the phone-sized canvas lies on the user's picture: the canvas size, the picture's size,
// the working size it is scaled to, the crop offset and the last fit's scale. Scale factors are
// doubles; conversions to pixels and halvings truncate toward zero.
#include <QtCore/QPoint>
#include <QtCore/QSize>

#include <array>

struct WorkspaceGeometry
{
    int canvasWidth = 0;
    int canvasHeight = 0;
    int baseWidth = 0;
    int baseHeight = 0;
    int workWidth = 0;
    int workHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
    double fitScale = 0.0;
    std::array<int, 4> cropXs{}; // top-left, top-right, bottom-right, bottom-left
    std::array<int, 4> cropYs{};

    // target / (base - 0.9): with the 0.001 the fits add, a scaled length never falls short.
    static double AxisScale(int target, int base);
    // Scales the base to cover the box, keeping its proportions.
    void CoverFit(int boxWidth, int boxHeight);
    void fitToWidth();
    void fitToHeight();
    void CenterOffset();
    // Sets the crop offset, clamped into the working image unless keepOffset, and the crop corners.
    void setOffset(int x, int y, bool keepOffset);

  private:
    void scaleWorkingSize(double scale);
};

// The nine placements of a cut smaller than the canvas, in the order of the panels mg0..mg8.
enum class Placement { TopLeft, Top, TopRight, Left, Centre, Right, BottomLeft, Bottom, BottomRight };

QPoint placementOrigin(Placement placement, QSize canvas, QSize cut);
// The panels are examined in order and a later marked one overrides; none marked means the centre.
Placement placementFromMarks(const std::array<bool, 9>& marked);
