#include "WorkspaceRig.h"
#include "workspace/ImageOperations.h"
#include "workspace/StandardOperations.h"

#include <gtest/gtest.h>

namespace {

double meanOf(const QImage& image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int i = 0; i < image.width() * 3; ++i)
            sum += row[i];
    }
    return sum / (double(image.width()) * image.height() * 3);
}

class StandardOperationsTest : public ::testing::Test
{
  protected:
    StandardOperationsTest()
    {
        defineStandardOperations(operations);
        operations.setSelection([this] { return selection; });
        rig.load(gradientPicture(160, 120));
    }
    QImage newest() { return *rig.undo.LoadNewestUndoImage(); }

    WorkspaceRig rig;
    ImageOperations operations{rig.workspace, rig.undo, rig.log, rig.options, rig.prompts};
    std::array<int, 4> selection{};
};

} // namespace

TEST_F(StandardOperationsTest, EveryOperationMakesAnUndoStep)
{
    for (int id = int(OperationId::RotateLeft); id <= int(OperationId::Blur); ++id)
        EXPECT_TRUE(operations.run(OperationId(id))) << id;
    EXPECT_EQ(rig.undo.stepCount(), 18);
    EXPECT_EQ(rig.undo.undoImageCount(), 19);
    EXPECT_EQ(rig.log.count(), 18);
    EXPECT_TRUE(rig.prompts.shown.isEmpty());
}

TEST_F(StandardOperationsTest, TurnsAndFlipsAreExact)
{
    const QImage before = newest();
    operations.run(OperationId::RotateLeft);
    const QImage left = newest();
    ASSERT_EQ(left.size(), QSize(120, 160));
    // Anticlockwise: the top-right corner comes to the top-left.
    EXPECT_EQ(left.pixel(0, 0), before.pixel(159, 0));
    operations.run(OperationId::RotateRight);
    EXPECT_EQ(newest(), before);
    operations.run(OperationId::FlipVertical);
    EXPECT_EQ(newest().pixel(5, 0), before.pixel(5, 119));
    operations.run(OperationId::FlipHorizontal);
    EXPECT_EQ(newest().pixel(0, 0), before.pixel(159, 119));
}

TEST_F(StandardOperationsTest, DarkenLowersAndBrightenRaisesTheMean)
{
    const double start = meanOf(newest());
    operations.run(OperationId::Darken);
    const double dark = meanOf(newest());
    EXPECT_LT(dark, start);
    operations.run(OperationId::Brighten);
    operations.run(OperationId::Brighten);
    EXPECT_GT(meanOf(newest()), dark);
}

TEST_F(StandardOperationsTest, SepiaIsAWarmGrey)
{
    operations.run(OperationId::Sepia);
    const QColor c = newest().pixelColor(80, 60);
    EXPECT_GT(c.red(), c.green());
    EXPECT_GT(c.green(), c.blue());
}

TEST_F(StandardOperationsTest, ARegionEffectLeavesEveryPixelOutsideTheRegionUntouched)
{
    rig.geometry.fitScale = 1.0;
    rig.workspace.ComposeCanvas(0, 0, false);
    selection = {20, 30, 60, 70};
    const QImage before = newest();
    ASSERT_TRUE(operations.run(OperationId::Mosaic));
    const QImage after = newest();
    int changedInside = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            // The display's right and bottom edges are exclusive: column 60 and row 70 stay.
            const bool inside = x >= 20 && x < 60 && y >= 30 && y < 70;
            if (!inside)
                ASSERT_EQ(after.pixel(x, y), before.pixel(x, y)) << x << "," << y;
            else if (after.pixel(x, y) != before.pixel(x, y))
                ++changedInside;
        }
    EXPECT_GT(changedInside, 100);
    EXPECT_EQ(rig.log.count(), 0);
}

TEST_F(StandardOperationsTest, TheWaveDirectionOptionTurnsTheDisplacement)
{
    rig.options.effects.wavesAmplitude = 6;
    rig.options.effects.wavesWavelength = 20;
    QImage stripes(160, 120, QImage::Format_RGB888);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            stripes.setPixelColor(x, y, (x / 8) % 2 ? Qt::black : Qt::white);
    rig.load(stripes); // vertical stripes: only a sideways shift shows
    operations.run(OperationId::Wave);
    const QImage vertical = newest();
    rig.undoCommand.btUndoClick();
    rig.options.effects.wavesHorizontal = true;
    operations.run(OperationId::Wave);
    const QImage horizontal = newest();
    EXPECT_NE(vertical, horizontal);
}
