#include "WorkspaceRig.h"
#include "foundation/IniFile.h"
#include "foundation/Progress.h"
#include "support/FileSizeLimit.h"
#include "support/JapaneseText.h"
#include "support/OrdinaryUser.h"
#include "workspace/ImageOperations.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>

namespace {

class RecordingProgress final : public Progress
{
  public:
    void BeginProgress(int steps) override { log << QStringLiteral("begin %1").arg(steps); }
    void ProgressStep(int position, const QString& message) override
    {
        log << QStringLiteral("%1 %2").arg(position).arg(message);
    }
    void EndProgress() override { log << QStringLiteral("end"); }
    QStringList log;
};

QImage darker(const QImage& in)
{
    QImage out = in.copy();
    for (int y = 0; y < out.height(); ++y) {
        uchar* row = out.scanLine(y);
        for (int i = 0; i < out.width() * 3; ++i)
            row[i] = uchar(row[i] / 2);
    }
    return out;
}

class ImageOperationsTest : public ::testing::Test
{
  protected:
    ImageOperationsTest()
    {
        operations.setProgress(&progress);
        operations.setSelection([this] { return selection; });
        operations.define(OperationId::Darken,
                          {QStringLiteral("画像処理を適用しています"), ImageOperation::Region::Whole, false,
                           [this](const QImage& in, const OperationRegion& r, auto&) {
                               regions << r;
                               return darker(in);
                           }});
        operations.define(OperationId::RotateLeft,
                          {QStringLiteral("画像処理を適用しています"), ImageOperation::Region::None, true,
                           [](const QImage& in, auto&, auto&) { return in.transformed(QTransform().rotate(-90)); }});
        operations.define(OperationId::Oil,
                          {QStringLiteral("画像効果を適用しています"), ImageOperation::Region::SelectionOrWhole, false,
                           [this](const QImage& in, const OperationRegion& r, auto&) {
                               regions << r;
                               return failing ? QImage() : darker(in);
                           }});
    }
    QStringList logIds() const
    {
        const IniFile file(rig.log.path());
        QStringList ids;
        for (int n = 1; n <= rig.log.count(); ++n)
            ids << file.readString(QStringLiteral("処理ID"), QStringLiteral("PROC_%1").arg(n));
        return ids;
    }

    WorkspaceRig rig;
    RecordingProgress progress;
    ImageOperations operations{rig.workspace, rig.undo, rig.log, rig.options, rig.prompts};
    std::array<int, 4> selection{};
    QList<OperationRegion> regions;
    bool failing = false;
};

} // namespace

TEST_F(ImageOperationsTest, WithoutAPictureNothingHappensAndNoProgressShows)
{
    EXPECT_FALSE(operations.run(OperationId::Darken));
    EXPECT_TRUE(progress.log.isEmpty());
    EXPECT_EQ(rig.undo.undoImageCount(), 0);
}

TEST_F(ImageOperationsTest, ThePipelineRunsItsSixStepsAndRecordsAnImageStep)
{
    rig.load(gradientPicture(64, 48));
    ASSERT_TRUE(operations.run(OperationId::Darken));
    EXPECT_EQ(progress.log,
              (QStringList{"begin 6", "0 イメージハンドルを解放しています", "1 イメージハンドルをコピーしています",
                           "2 画像処理を適用しています", "3 イメージハンドルを解放しています",
                           "4 アンドゥーデータをバッファしています", "5 表示を更新しています", "end"}));
    EXPECT_EQ(regions.first(), (OperationRegion{{0, 64, 64, 0}, {0, 0, 48, 48}}));
    EXPECT_EQ(rig.undo.undoImageCount(), 2);
    EXPECT_EQ(rig.undo.stepCount(), 1);
    EXPECT_EQ(rig.prompts.busyDepth, 0);
}

TEST_F(ImageOperationsTest, DarkenTwiceAndBrightenOnceGiveThreeUndoImagesAndTheirLog)
{
    operations.define(OperationId::Brighten, {QStringLiteral("画像処理を適用しています"), ImageOperation::Region::Whole,
                                              false, [](const QImage& in, auto&, auto&) { return in.copy(); }});
    rig.load(gradientPicture(64, 48));
    operations.run(OperationId::Darken);
    operations.run(OperationId::Darken);
    operations.run(OperationId::Brighten);
    EXPECT_EQ(rig.undo.undoImageCount(), 4);
    EXPECT_EQ(logIds(), (QStringList{"8", "8", "9"}));
    // Each step worked on the newest picture: two halvings.
    EXPECT_EQ(qRed(rig.undo.LoadNewestUndoImage()->pixel(63, 0)), 255 / 2 / 2);
    rig.undoCommand.btUndoClick();
    rig.undoCommand.btUndoClick();
    EXPECT_EQ(rig.undo.undoImageCount(), 2);
    EXPECT_EQ(logIds(), QStringList{"8"});
}

TEST_F(ImageOperationsTest, RotateLeftSwapsTheSizesAndUndoSwapsThemBack)
{
    rig.load(gradientPicture(640, 480));
    ASSERT_TRUE(operations.run(OperationId::RotateLeft));
    const DecodedImage first = ImageFile::load(rig.undo.undoImagePath(1));
    EXPECT_EQ(first.image.size(), QSize(480, 640));
    EXPECT_EQ(QSize(rig.geometry.workWidth, rig.geometry.workHeight), QSize(321, 428));
    EXPECT_EQ(logIds(), QStringList{"4"});
    rig.undoCommand.btUndoClick();
    EXPECT_EQ(QSize(rig.geometry.workWidth, rig.geometry.workHeight), QSize(428, 321));
    EXPECT_FALSE(rig.undo.hasSteps());
    EXPECT_TRUE(logIds().isEmpty());
}

TEST_F(ImageOperationsTest, ASelectionIsMappedBackToThePictureAndNotLogged)
{
    rig.load(gradientPicture(640, 480));
    rig.geometry.fitScale = 0.5;
    rig.workspace.ComposeCanvas(0, 0, false);
    selection = {10, 20, 110, 120};
    ASSERT_TRUE(operations.run(OperationId::Oil));
    EXPECT_EQ(regions.first(), (OperationRegion{{20, 220, 220, 20}, {40, 40, 240, 240}}));
    EXPECT_TRUE(logIds().isEmpty());
    EXPECT_EQ(rig.undo.stepCount(), 1);
}

TEST_F(ImageOperationsTest, AWholePictureEffectIsLoggedBeforeItRunsEvenWhenItFails)
{
    rig.load(gradientPicture(640, 480));
    failing = true;
    EXPECT_FALSE(operations.run(OperationId::Oil));
    EXPECT_EQ(regions.first(), (OperationRegion{{0, 640, 640, 0}, {0, 0, 480, 480}}));
    EXPECT_EQ(logIds(), QStringList{"15"});
    EXPECT_EQ(rig.undo.undoImageCount(), 1); // nothing written
    EXPECT_FALSE(rig.undo.hasSteps());
    EXPECT_EQ(progress.log.last(), QStringLiteral("end"));
    EXPECT_EQ(rig.prompts.busyDepth, 0);
}

TEST_F(ImageOperationsTest, AnUndoImageThatCannotBeWrittenIsReportedAndNothingIsRecorded)
{
    rig.load(gradientPicture(64, 48));
    // A folder where the next undo image should go: the write must fail.
    ASSERT_TRUE(QDir().mkpath(rig.undo.undoImagePath(1)));
    EXPECT_FALSE(operations.run(OperationId::Oil));
    ASSERT_EQ(rig.prompts.shown.size(), 1);
    EXPECT_TRUE(rig.prompts.shown[0].text.startsWith(QStringLiteral("作業ファイルを書き込めなかったため")));
    EXPECT_FALSE(hasLatinSentence(rig.prompts.shown[0].text));
    EXPECT_FALSE(rig.undo.hasSteps());
    EXPECT_TRUE(logIds().isEmpty());
    EXPECT_EQ(rig.undo.LoadNewestUndoImage()->pixel(63, 0), gradientPicture(64, 48).pixel(63, 0));
}

TEST_F(ImageOperationsTest, ADiskThatFillsUpMidStepLeavesTheHistoryWhole)
{
    rig.load(gradientPicture(64, 48));
    ASSERT_TRUE(operations.run(OperationId::Darken));
    const QStringList before = QDir(rig.folder).entryList(QDir::Files);
    {
        const FileSizeLimit full(4096); // the next undo image is about 9 KB
        EXPECT_FALSE(operations.run(OperationId::Darken));
    }
    ASSERT_EQ(rig.prompts.shown.size(), 1);
    EXPECT_EQ(rig.prompts.shown[0].text,
              QStringLiteral("作業ファイルを書き込めなかったため、処理を適用できませんでした。"));
    EXPECT_EQ(QDir(rig.folder).entryList(QDir::Files), before); // no half-written image, no leftovers
    EXPECT_EQ(rig.undo.undoImageCount(), 2);
    EXPECT_EQ(rig.undo.stepCount(), 1);
    rig.undoCommand.btUndoClick();
    EXPECT_EQ(rig.undo.undoImageCount(), 1);
    EXPECT_EQ(rig.undo.LoadNewestUndoImage()->pixel(63, 0), gradientPicture(64, 48).pixel(63, 0));
}

// The working folder turns read-only while the program runs: edits and undo each stop with one
// message and change nothing, and once the folder takes files again undo steps back as before.
TEST_F(ImageOperationsTest, AWorkingFolderThatTurnsReadOnlyStopsEditsAndUndoWithoutLosingAStep)
{
    const QImage original = gradientPicture(64, 48);
    rig.load(original);
    const QImage loaded = rig.workspace.workingImage();
    ASSERT_TRUE(operations.run(OperationId::Darken));
    const QByteArray folder = QFile::encodeName(rig.folder);
    OrdinaryUser::handOver(rig.temp.path());
    const bool kept = OrdinaryUser::run([&] {
        QStringList wrong;
        const auto expect = [&wrong](bool holds, const char* what) {
            if (!holds)
                wrong << QLatin1String(what);
        };
        const auto lastMessage = [this] {
            return rig.prompts.shown.isEmpty() ? QString() : rig.prompts.shown.last().text;
        };
        const QStringList before = QDir(rig.folder).entryList(QDir::Files);
        const QRgb darkened = rig.workspace.workingImage().pixel(63, 0);
        ::chmod(folder.constData(), 0555);

        expect(!operations.run(OperationId::Darken), "an edit succeeded in a read-only folder");
        expect(lastMessage() == QStringLiteral("作業ファイルを書き込めなかったため、処理を適用できませんでした。"),
               "the failed edit did not say so");
        rig.undoCommand.btUndoClick();
        expect(lastMessage() == QStringLiteral("作業ファイルを削除できなかったため、元に戻せませんでした。"),
               "the failed undo did not say so");
        expect(rig.prompts.shown.size() == 2, "not exactly one message each");
        expect(rig.undo.stepCount() == 1 && rig.log.count() == 1, "a step or its log entry was lost");
        expect(rig.workspace.workingImage().pixel(63, 0) == darkened, "the picture changed");
        expect(QDir(rig.folder).entryList(QDir::Files) == before, "files were added or removed");

        ::chmod(folder.constData(), 0755);
        rig.undoCommand.btUndoClick();
        expect(rig.undo.stepCount() == 0 && rig.undo.undoImageCount() == 1 && rig.log.count() == 0,
               "undo did not step back once the folder took files again");
        expect(rig.workspace.workingImage() == loaded && rig.undo.LoadNewestUndoImage() == original,
               "undo did not bring the loaded picture back");
        for (const QString& w : wrong)
            std::fprintf(stderr, "%s\n", qPrintable(w));
        return wrong.isEmpty();
    });
    ::chmod(folder.constData(), 0755);
    EXPECT_TRUE(kept);
}
