#include "WorkspaceRig.h"
#include "workspace/WorkspaceGeometry.h"

#include <gtest/gtest.h>

TEST(WorkspaceGeometryTest, CoverFitOfA640By480PictureOnA240By320Canvas)
{
    WorkspaceGeometry g;
    g.canvasWidth = 240;
    g.canvasHeight = 320;
    g.baseWidth = 640;
    g.baseHeight = 480;
    g.CoverFit(240, 320);
    EXPECT_NEAR(g.fitScale, 320.0 / 479.1 + 0.001, 1e-12);
    EXPECT_EQ(QString::number(g.fitScale, 'f', 5), QStringLiteral("0.66892"));
    EXPECT_EQ(g.workWidth, 428);
    EXPECT_EQ(g.workHeight, 321);
    g.CenterOffset();
    EXPECT_EQ(g.offsetX, 94);
    EXPECT_EQ(g.offsetY, 0);
}

TEST(WorkspaceGeometryTest, FitToWidthCentresNegativeAndTheComposeClampsToTheLimit)
{
    WorkspaceGeometry g;
    g.canvasWidth = 240;
    g.canvasHeight = 320;
    g.baseWidth = 640;
    g.baseHeight = 480;
    g.fitToWidth();
    EXPECT_EQ(QString::number(g.fitScale, 'f', 5), QStringLiteral("0.37653"));
    EXPECT_EQ(g.workWidth, 240);
    EXPECT_EQ(g.workHeight, 180);
    g.CenterOffset();
    EXPECT_EQ(g.offsetY, -70);
    g.setOffset(g.offsetX, g.offsetY, false);
    EXPECT_EQ(g.offsetY, -140); // -70 lies above the limit 180 - 320
    g.fitToHeight();
    EXPECT_EQ(g.workWidth, 428);
    EXPECT_EQ(g.workHeight, 321);
}

TEST(WorkspaceGeometryTest, OffsetClampsUnlessKeptAndSetsTheCropCorners)
{
    WorkspaceGeometry g;
    g.canvasWidth = 240;
    g.canvasHeight = 320;
    g.workWidth = 428;
    g.workHeight = 321;
    g.setOffset(-5, 400, false);
    EXPECT_EQ(g.offsetX, 0);
    EXPECT_EQ(g.offsetY, 1);
    g.setOffset(500, 0, false);
    EXPECT_EQ(g.offsetX, 188);
    EXPECT_EQ(g.cropXs, (std::array<int, 4>{188, 427, 427, 188}));
    EXPECT_EQ(g.cropYs, (std::array<int, 4>{0, 0, 319, 319}));
    g.setOffset(-30, 500, true);
    EXPECT_EQ(g.offsetX, -30);
    EXPECT_EQ(g.offsetY, 500);
}

TEST(WorkspaceGeometryTest, PlacementTableAndTheLastMarkedPanelWins)
{
    const QSize canvas(240, 320);
    const QSize cut(101, 51);
    const QPoint expected[9] = {{0, 0},     {69, 0},  {139, 0},  {0, 134},  {69, 134},
                                {139, 134}, {0, 269}, {69, 269}, {139, 269}};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(placementOrigin(Placement(i), canvas, cut), expected[i]) << i;
    EXPECT_EQ(placementFromMarks({true, false, false, false, false, false, false, true, false}), Placement::Bottom);
    EXPECT_EQ(placementFromMarks({}), Placement::Centre);
}
