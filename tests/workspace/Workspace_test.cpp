#include "WorkspaceRig.h"
#include "foundation/IniFile.h"
#include "imaging/resampling/Resampler.h"

#include <QtCore/QFile>
#include <gtest/gtest.h>

namespace {

QColor pixelAt(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

} // namespace

TEST(WorkspaceTest, LoadingCoversTheCanvasCentredAndStartsAfresh)
{
    WorkspaceRig rig;
    rig.log.RecordOperation(OperationId::Blur);
    ASSERT_TRUE(rig.undo.writeNextUndoImage(gradientPicture(4, 4))); // left from earlier work
    ASSERT_TRUE(rig.undo.writeNextUndoImage(gradientPicture(4, 4)));
    rig.undo.PushStep(StepKind::Image);
    QList<QSize> workingSizes;
    QObject::connect(&rig.workspace, &Workspace::workingImageChanged, [&](QSize size) { workingSizes << size; });
    rig.load(gradientPicture(640, 480));

    EXPECT_TRUE(rig.prompts.shown.isEmpty()) << rig.prompts.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(rig.geometry.workWidth, 428);
    EXPECT_EQ(rig.geometry.workHeight, 321);
    EXPECT_EQ(QPoint(rig.geometry.offsetX, rig.geometry.offsetY), QPoint(94, 0));
    EXPECT_EQ(rig.workspace.workingImage().size(), QSize(428, 321));
    EXPECT_EQ(rig.workspace.workspaceImage().size(), QSize(240, 320));
    // Shown once, covering the canvas: the picture at its own size would only be reduced for nothing.
    EXPECT_EQ(workingSizes, QList<QSize>{QSize(428, 321)});
    EXPECT_EQ(rig.undo.undoImageCount(), 1);
    // Undo image 0 reaches the disk after the load, and the earlier work's images are gone by then.
    rig.undo.finishWriting();
    EXPECT_EQ(ImageFile::load(rig.undo.undoImagePath(0)).image.size(), QSize(640, 480));
    EXPECT_FALSE(QFile::exists(rig.undo.undoImagePath(1)));
    EXPECT_FALSE(rig.undo.hasSteps());
    EXPECT_EQ(rig.log.count(), 0);
    EXPECT_EQ(rig.loader.lastLoadFolder(), rig.pictures.path() + QLatin1Char('/'));
}

TEST(WorkspaceTest, CanvasIsTheCutOfTheWorkingImageAtTheOffset)
{
    WorkspaceRig rig;
    rig.load(gradientPicture(640, 480));
    const QImage& working = rig.workspace.workingImage();
    const QImage& canvas = rig.workspace.workspaceImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(239, 319), QPoint(100, 50)})
        EXPECT_EQ(pixelAt(canvas, p.x(), p.y()), pixelAt(working, p.x() + 94, p.y())) << p.x() << "," << p.y();
}

TEST(WorkspaceTest, FitToWidthLeavesMarginAboveAndBelow)
{
    WorkspaceRig rig;
    rig.options.marginColor = QColor(10, 200, 30);
    rig.load(gradientPicture(640, 480));
    WorkspaceGeometry& g = rig.geometry;
    g.fitToWidth();
    rig.workspace.RebuildWorkingImage();
    g.CenterOffset();
    rig.workspace.ComposeCanvas(g.offsetX, g.offsetY, false);
    EXPECT_EQ(g.offsetY, -140);
    const QImage& canvas = rig.workspace.workspaceImage();
    ASSERT_EQ(canvas.size(), QSize(240, 320));
    EXPECT_EQ(pixelAt(canvas, 5, 69), rig.options.marginColor);
    EXPECT_NE(pixelAt(canvas, 5, 70), rig.options.marginColor);
    EXPECT_NE(pixelAt(canvas, 5, 249), rig.options.marginColor);
    EXPECT_EQ(pixelAt(canvas, 5, 250), rig.options.marginColor);
}

TEST(WorkspaceTest, PositionsBeyondThePictureArePlacedByThePlacementTable)
{
    WorkspaceRig rig;
    rig.options.marginColor = Qt::white;
    rig.options.placement = int(Placement::BottomRight);
    rig.load(gradientPicture(640, 480));
    WorkspaceGeometry& g = rig.geometry;
    for (int i = 0; i < 10; ++i)
        rig.workspace.ComposeCanvas(g.offsetX - 1, g.offsetY, true);
    EXPECT_EQ(g.offsetX, 84);                  // ten clicks right move the picture ten pixels right
    rig.workspace.ComposeCanvas(400, 0, true); // only 28 columns of the picture remain
    const QImage& canvas = rig.workspace.workspaceImage();
    EXPECT_EQ(pixelAt(canvas, 0, 100), QColor(Qt::white));
    EXPECT_EQ(pixelAt(canvas, 211, 100), QColor(Qt::white));
    EXPECT_EQ(pixelAt(canvas, 212, 100), pixelAt(rig.workspace.workingImage(), 400, 100));
}

TEST(WorkspaceTest, WithoutAPictureComposeAndRebuildDoNothing)
{
    WorkspaceRig rig;
    int changes = 0;
    QObject::connect(&rig.workspace, &Workspace::workspaceImageChanged, [&] { ++changes; });
    rig.workspace.ComposeCanvas(5, 5, true);
    EXPECT_FALSE(rig.workspace.RebuildWorkingImage());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(rig.geometry.offsetX, 0);
}

TEST(WorkspaceTest, UndoOfAQuarterTurnSwapsTheWorkingSizeBack)
{
    WorkspaceRig rig;
    rig.load(gradientPicture(640, 480));
    std::swap(rig.geometry.workWidth, rig.geometry.workHeight);
    rig.imageStep(gradientPicture(480, 640), OperationId::RotateLeft); // as a left turn records it
    EXPECT_EQ(rig.geometry.baseWidth, 480);
    EXPECT_EQ(rig.log.count(), 1);
    rig.undoCommand.btUndoClick();
    EXPECT_EQ(rig.undo.undoImageCount(), 1);
    EXPECT_EQ(rig.geometry.baseWidth, 640);
    EXPECT_EQ(QSize(rig.geometry.workWidth, rig.geometry.workHeight), QSize(428, 321));
    EXPECT_EQ(rig.log.count(), 0);
    EXPECT_FALSE(rig.undo.hasSteps());
}

TEST(WorkspaceTest, UndoRemovesTheLastLogEntryWhateverItRecords)
{
    WorkspaceRig rig;
    rig.load(gradientPicture(64, 48));
    rig.imageStep(gradientPicture(64, 48), OperationId::Brighten);
    rig.log.RecordOperation(OperationId::FitWidth);
    rig.undoCommand.btUndoClick();
    EXPECT_EQ(rig.log.count(), 1);
    EXPECT_EQ(IniFile(rig.log.path()).readInteger(QStringLiteral("処理ID"), QStringLiteral("PROC_1"), 0), 9);
}

TEST(WorkspaceTest, AFailedRestoreLeavesHistoryLogAndFilesAsTheyWere)
{
    WorkspaceRig rig;
    rig.load(gradientPicture(64, 48));
    rig.imageStep(gradientPicture(64, 48), OperationId::Darken);
    QFile broken(rig.undo.undoImagePath(0));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a picture");
    broken.close();
    rig.undoCommand.btUndoClick();
    ASSERT_EQ(rig.prompts.shown.size(), 1);
    EXPECT_EQ(rig.prompts.shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(QFile::exists(rig.undo.undoImagePath(1)));
    EXPECT_EQ(rig.undo.stepCount(), 1);
    EXPECT_EQ(rig.log.count(), 1);
}

TEST(WorkspaceTest, LayerStepsGoToTheLayerUndo)
{
    WorkspaceRig rig;
    int layerUndos = 0;
    rig.undoCommand.setLayerUndo([&] { ++layerUndos; });
    rig.load(gradientPicture(64, 48));
    rig.undo.PushStep(StepKind::Layer);
    rig.undoCommand.btUndoClick();
    EXPECT_EQ(layerUndos, 1);
    EXPECT_EQ(rig.undo.undoImageCount(), 1);
    EXPECT_FALSE(rig.undo.hasSteps());
}

// After a size click only the canvas's part is scaled; the canvas must be the same pixels as a cut
// of the whole working image, also when the canvas is moved afterwards and when it reaches the edge.
TEST(WorkspaceTest, TheCanvasIsTheSameWhetherItsPartOrTheWholeWasScaled)
{
    WorkspaceRig rig;
    rig.load(gradientPicture(640, 480));
    WorkspaceGeometry& g = rig.geometry;
    const QImage picture = *rig.undo.LoadNewestUndoImage();
    const auto expectCutOfWhole = [&](const char* when) {
        const QImage whole = Resampler::resize(picture, g.workWidth, g.workHeight);
        const QRect crop = QRect(g.offsetX, g.offsetY, g.canvasWidth, g.canvasHeight) & whole.rect();
        EXPECT_EQ(rig.workspace.workspaceImage(), whole.copy(crop)) << when;
    };
    expectCutOfWhole("loaded");
    g.workWidth += 37;
    g.workHeight += 11;
    ASSERT_TRUE(rig.workspace.RebuildWorkingImage());
    expectCutOfWhole("after a size click");
    for (const QPoint at : {QPoint(3, 2), QPoint(0, 0), QPoint(9999, 9999)}) {
        rig.workspace.ComposeCanvas(at.x(), at.y(), false);
        expectCutOfWhole("moved");
    }
    EXPECT_EQ(rig.workspace.workingImage(), Resampler::resize(picture, g.workWidth, g.workHeight));
}

// The sub-window's view: the working image reduced, its colours where the working image has them.
TEST(WorkspaceTest, TheWorkingViewIsTheWorkingImageReduced)
{
    WorkspaceRig rig;
    rig.load(gradientPicture(1200, 900));
    const QImage& working = rig.workspace.workingImage();
    const QSize shown(working.width() / 5, working.height() / 5);
    const QImage view = rig.workspace.workingView(shown);
    ASSERT_EQ(view.size(), shown);
    for (const QPoint p :
         {QPoint(1, 1), QPoint(shown.width() / 2, shown.height() / 3), QPoint(shown.width() - 2, shown.height() - 2)}) {
        const QColor reduced = view.pixelColor(p);
        const QColor full = working.pixelColor(p.x() * 5 + 2, p.y() * 5 + 2);
        EXPECT_NEAR(reduced.red(), full.red(), 3) << p.x() << "," << p.y();
        EXPECT_NEAR(reduced.green(), full.green(), 3) << p.x() << "," << p.y();
    }
    EXPECT_EQ(rig.workspace.workingView(rig.workspace.workingSize()), working);
}
