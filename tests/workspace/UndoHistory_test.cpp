#include "WorkspaceRig.h"
#include "foundation/IniFile.h"

#include <QtCore/QFile>
#include <gtest/gtest.h>

namespace {

class UndoHistoryTest : public ::testing::Test
{
  protected:
    bool exists(int n) const { return QFile::exists(rig.undo.undoImagePath(n)); }
    WorkspaceRig rig;
};

} // namespace

TEST_F(UndoHistoryTest, UndoImagesAreNumberedWithoutGaps)
{
    EXPECT_EQ(rig.undo.NextUndoImageName(), rig.folder + QStringLiteral("temp-0.bmp"));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(rig.undo.writeNextUndoImage(gradientPicture(8 + i, 4)));
    EXPECT_EQ(rig.undo.undoImageCount(), 3);
    EXPECT_EQ(rig.undo.LoadNewestUndoImage()->width(), 10);
    // A gap ends the sequence: the files after it do not count.
    QFile::remove(rig.undo.undoImagePath(1));
    EXPECT_EQ(rig.undo.undoImageCount(), 1);
    EXPECT_EQ(rig.undo.NextUndoImageName(), rig.undo.undoImagePath(1));
}

TEST_F(UndoHistoryTest, PopNeverDeletesUndoImageZero)
{
    ASSERT_TRUE(rig.undo.writeNextUndoImage(gradientPicture(4, 4)));
    ASSERT_TRUE(rig.undo.writeNextUndoImage(gradientPicture(5, 4)));
    EXPECT_EQ(rig.undo.PopUndoImage(), rig.undo.undoImagePath(0));
    EXPECT_FALSE(exists(1));
    EXPECT_EQ(rig.undo.PopUndoImage(), rig.undo.undoImagePath(0));
    EXPECT_TRUE(exists(0));
    rig.undo.DeleteUndoImages();
    EXPECT_FALSE(exists(0));
}

TEST_F(UndoHistoryTest, NewestImageIsReadAgainWhenTheFileChanges)
{
    ASSERT_TRUE(rig.undo.writeNextUndoImage(gradientPicture(6, 6)));
    EXPECT_EQ(rig.undo.LoadNewestUndoImage()->size(), QSize(6, 6));
    // Someone else replaces the file: the disk is the truth.
    ASSERT_TRUE(ImageFile::save(gradientPicture(9, 7), rig.undo.undoImagePath(0), FileFormat::Bmp, {}));
    EXPECT_EQ(rig.undo.LoadNewestUndoImage()->size(), QSize(9, 7));
    QFile::remove(rig.undo.undoImagePath(0));
    EXPECT_FALSE(rig.undo.LoadNewestUndoImage().has_value());
}

TEST_F(UndoHistoryTest, TheStepStackGrowsBeyond256AndReportsAvailability)
{
    QList<bool> reports;
    rig.undo.setUndoAvailableListener([&](bool available) { reports << available; });
    for (int i = 0; i < 300; ++i)
        rig.undo.PushStep(i % 2 ? StepKind::Image : StepKind::Layer);
    EXPECT_EQ(rig.undo.stepCount(), 300);
    EXPECT_EQ(rig.undo.topStep(), StepKind::Image);
    rig.undo.popStep();
    EXPECT_EQ(rig.undo.topStep(), StepKind::Layer);
    rig.undo.EmptySteps();
    EXPECT_FALSE(rig.undo.hasSteps());
    EXPECT_EQ(reports, (QList<bool>{true, false}));
}

TEST_F(UndoHistoryTest, OperationLogAddsRemovesAndClears)
{
    EXPECT_EQ(rig.log.RecordOperation(OperationId::Darken), 1);
    EXPECT_EQ(rig.log.RecordOperation(OperationId::Brighten), 2);
    IniFile file(rig.log.path());
    EXPECT_EQ(file.readInteger(QStringLiteral("処理数"), QStringLiteral("PROC_NUM"), -1), 2);
    EXPECT_EQ(file.readInteger(QStringLiteral("処理ID"), QStringLiteral("PROC_2"), -1), 9);
    EXPECT_EQ(rig.log.RemoveLastOperation(), 1);
    EXPECT_FALSE(IniFile(rig.log.path()).hasKey(QStringLiteral("処理ID"), QStringLiteral("PROC_2")));
    rig.log.RecordOperation(OperationId::Mosaic);
    rig.log.ClearOperationLog();
    EXPECT_EQ(rig.log.count(), 0);
    EXPECT_TRUE(IniFile(rig.log.path()).keys(QStringLiteral("処理ID")).isEmpty());
}

TEST_F(UndoHistoryTest, StoredCountOfZeroOrLessMakesRemovalANoOp)
{
    IniFile file(rig.log.path());
    file.writeInteger(QStringLiteral("処理数"), QStringLiteral("PROC_NUM"), -3);
    file.writeInteger(QStringLiteral("処理ID"), QStringLiteral("PROC_1"), 4);
    ASSERT_TRUE(file.save());
    EXPECT_EQ(rig.log.RemoveLastOperation(), -3);
    rig.log.ClearOperationLog();
    EXPECT_TRUE(IniFile(rig.log.path()).hasKey(QStringLiteral("処理ID"), QStringLiteral("PROC_1")));
}
