#include "decoration/DrawingLayers.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "support/ScriptedPrompts.h"
#include "workspace/UndoHistory.h"

#include <QtCore/QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DrawingLayersTest : public ::testing::Test
{
  protected:
    DrawingLayersTest()
    {
        layers.setCanvasSize(QSize(240, 320));
        QObject::connect(&layers, &DrawingLayers::drawingControlsEnabled, [this](bool on) { controls = on; });
    }
    // A tool's action: a red dot on the scratch surface, installed and marked pending.
    void draw()
    {
        layers.ScratchSurface().setPixelColor(10, 10, Qt::red);
        layers.ReleaseLayerPicture();
        layers.InstallLayerPicture(layers.ScratchSurface());
        layers.MarkDrawingPending();
    }
    void commitLayers(int count)
    {
        for (int i = 0; i < count; ++i) {
            draw();
            layers.CommitDrawing();
        }
    }
    QTemporaryDir folder;
    UndoHistory undo{folder.path() + QLatin1Char('/')};
    ScriptedPrompts prompts;
    DrawingLayers layers{undo, prompts};
    bool controls = false;
};

} // namespace

TEST_F(DrawingLayersTest, CommitFreezesTheLayerAndOpensTheNext)
{
    draw();
    EXPECT_TRUE(controls);
    EXPECT_EQ(layers.layer(0).picture.size(), QSize(240, 320));
    layers.CommitDrawing();
    EXPECT_EQ(layers.CurrentLayer(), 1);
    EXPECT_TRUE(layers.layer(0).visible);
    EXPECT_FALSE(controls);
    EXPECT_EQ(undo.stepCount(), 1);
    EXPECT_EQ(undo.topStep(), StepKind::Layer);
    // The next stroke starts from an empty surface.
    EXPECT_EQ(layers.ScratchSurface().pixel(10, 10), LayerKeyColor);
}

TEST_F(DrawingLayersTest, CommitOfANeverDrawnLayerOnlyDisablesTheControls)
{
    layers.MarkDrawingPending();
    layers.CommitDrawing();
    EXPECT_EQ(layers.CurrentLayer(), 0);
    EXPECT_FALSE(controls);
    EXPECT_FALSE(undo.hasSteps());
}

TEST_F(DrawingLayersTest, AtTwentyNineCommittedLayersCommitShowsTheMessageAndChangesNothing)
{
    commitLayers(29);
    ASSERT_EQ(layers.CurrentLayer(), 29);
    draw();
    layers.CommitDrawing();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("描画レイヤが30を超えました。これ以上の描画はできません。"));
    EXPECT_EQ(layers.CurrentLayer(), 29);
    EXPECT_TRUE(layers.layer(29).visible);
    EXPECT_TRUE(controls);
    EXPECT_EQ(undo.stepCount(), 29);
    layers.ClearDrawing(); // clearing still works on the last layer
    EXPECT_FALSE(layers.layer(29).visible);
}

TEST_F(DrawingLayersTest, UndoCommitTakesBackTheLayerAndTheDrawingSince)
{
    commitLayers(2);
    draw();
    layers.UndoCommit();
    EXPECT_EQ(layers.CurrentLayer(), 1);
    EXPECT_FALSE(layers.layer(2).visible);
    EXPECT_FALSE(layers.layer(1).visible);
    EXPECT_TRUE(layers.layer(1).picture.isNull());
    EXPECT_TRUE(layers.layer(0).visible);
}

TEST_F(DrawingLayersTest, LoadingWithCommittedLayersLeavesNone)
{
    commitLayers(3);
    draw();
    layers.resetForLoading();
    EXPECT_EQ(layers.CurrentLayer(), 0);
    for (int i = 0; i <= 3; ++i)
        EXPECT_FALSE(layers.layer(i).visible) << i;
}

TEST_F(DrawingLayersTest, LoadingWithoutCommittedLayersKeepsTheDrawing)
{
    draw();
    layers.resetForLoading();
    EXPECT_TRUE(layers.layer(0).visible);
    EXPECT_EQ(layers.ScratchSurface().pixel(10, 10), LayerKeyColor);
}

TEST_F(DrawingLayersTest, FlatteningLaysCommittedLayersOnlyWithTheKeySeeThrough)
{
    QImage canvas(240, 320, QImage::Format_RGB888);
    canvas.fill(Qt::blue);
    draw();
    layers.CommitDrawing();
    layers.ScratchSurface().setPixelColor(20, 20, Qt::green);
    layers.InstallLayerPicture(layers.ScratchSurface()); // uncommitted
    const QImage flat = layers.flattenOnto(canvas);
    EXPECT_EQ(flat.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(flat.pixelColor(20, 20), QColor(Qt::blue));
    EXPECT_EQ(flat.pixelColor(100, 100), QColor(Qt::blue));
    EXPECT_EQ(canvas.pixelColor(10, 10), QColor(Qt::blue)); // the workspace image is untouched
}

TEST_F(DrawingLayersTest, SaveCommitsAnEmptyLayerEvenAtTheLastIndex)
{
    commitLayers(29);
    draw();
    layers.commitEmptyLayer();
    EXPECT_EQ(layers.CurrentLayer(), 30);
    EXPECT_EQ(undo.stepCount(), 30);
    EXPECT_FALSE(controls);
    layers.UndoCommit();
    undo.popStep();
    EXPECT_EQ(layers.CurrentLayer(), 29);
    EXPECT_FALSE(layers.layer(29).visible); // the uncommitted drawing is gone
    EXPECT_TRUE(layers.layer(28).visible);
}

TEST_F(DrawingLayersTest, TheScratchSurfaceCoversCanvasesLargerThan480)
{
    layers.setCanvasSize(QSize(600, 800));
    EXPECT_EQ(layers.ScratchSurface().size(), QSize(600, 800));
    layers.setCanvasSize(QSize(120, 160));
    EXPECT_EQ(layers.ScratchSurface().size(), QSize(480, 480));
}
