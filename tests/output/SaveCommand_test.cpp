#include "decoration/DrawingLayers.h"
#include "foundation/HandlerGuard.h"
#include "foundation/Progress.h"
#include "output/SaveCommand.h"
#include "output/pages/SavePrompt.h"
#include "support/JapaneseText.h"
#include "support/OrdinaryUser.h"
#include "workspace/WorkspaceRig.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A photo-like picture that compresses neither too well nor too badly.
QImage noisyPicture(int width, int height)
{
    QImage image = gradientPicture(width, height);
    quint32 seed = 12345;
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int i = 0; i < width * 3; ++i) {
            seed = seed * 1103515245u + 12345u;
            row[i] = uchar(row[i] / 2 + ((seed >> 16) & 0x7F));
        }
    }
    return image;
}

class SaveCommandTest : public ::testing::Test
{
  protected:
    SaveCommandTest()
    {
        layers.setCanvasSize(QSize(240, 320));
        rig.undoCommand.setLayerUndo([this] { layers.UndoCommit(); }); // as the program wires it
        prompt.setLimitSource([this] { return limit; });
        rig.load(noisyPicture(320, 400));
        rig.prompts.shown.clear();
        rig.prompts.fileRequests.clear();
    }
    QString target(const QString& name) { return out.filePath(name); }
    void save(const QString& name)
    {
        rig.prompts.saveFileNames.enqueue(target(name));
        prompt.btSaveClick();
    }
    const ShownMessage& lastMessage() const { return rig.prompts.shown.last(); }
    qint64 fileSize(const QString& name) const { return QFileInfo(out.filePath(name)).size(); }
    void drawDot(QColor colour, QPoint at)
    {
        layers.ScratchSurface().setPixelColor(at, colour);
        layers.InstallLayerPicture(layers.ScratchSurface());
        layers.MarkDrawingPending();
    }

    WorkspaceRig rig;
    DrawingLayers layers{rig.undo, rig.prompts};
    SaveCommand saver{rig.workspace, layers, rig.undoCommand, rig.options, rig.prompts};
    SavePrompt prompt{saver, rig.workspace, rig.options, rig.prompts};
    QTemporaryDir out;
    qint64 limit = 7372800;
};

} // namespace

TEST_F(SaveCommandTest, NothingLoadedSaysSoAndAsksNothing)
{
    WorkspaceRig empty;
    DrawingLayers noLayers{empty.undo, empty.prompts};
    SaveCommand command{empty.workspace, noLayers, empty.undoCommand, empty.options, empty.prompts};
    SavePrompt(command, empty.workspace, empty.options, empty.prompts).btSaveClick();
    ASSERT_EQ(empty.prompts.shown.size(), 1);
    EXPECT_EQ(empty.prompts.shown[0].text, QStringLiteral("画像が読み込まれていません。"));
    EXPECT_TRUE(empty.prompts.fileRequests.isEmpty());
}

TEST_F(SaveCommandTest, TheDialogIsPresetFromThePreferredFormat)
{
    rig.options.saveFormat = SaveFormatChoice::Gif;
    prompt.btSaveClick(); // cancelled
    ASSERT_EQ(rig.prompts.fileRequests.size(), 1);
    const FileDialogRequest& request = rig.prompts.fileRequests[0];
    EXPECT_EQ(request.title, QStringLiteral("GIF形式で保存"));
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("gif"));
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_TRUE(rig.prompts.shown.isEmpty());
    EXPECT_FALSE(rig.undo.hasSteps());
}

TEST_F(SaveCommandTest, AJpegThatFitsAtOnceIsReportedAtQuality100)
{
    save(QStringLiteral("a.jpg"));
    EXPECT_EQ(lastMessage().kind, MessageKind::Information);
    EXPECT_EQ(lastMessage().text,
              QStringLiteral("品質自動調整保存が成功しました。\n　ファイルサイズ:%1bytes\n　JPEGクオリティ:100%")
                  .arg(fileSize(QStringLiteral("a.jpg"))));
    const DecodedImage written = ImageFile::load(target(QStringLiteral("a.jpg")));
    EXPECT_EQ(written.image.size(), QSize(240, 320));
    EXPECT_EQ(saver.lastSaveFolder(), out.path() + QLatin1Char('/'));
}

TEST_F(SaveCommandTest, AJpegThatNeverFitsIsLeftAtQuality9WithAWarning)
{
    limit = 256;
    save(QStringLiteral("b.JPEG")); // capitals still name JPEG
    EXPECT_EQ(lastMessage().kind, MessageKind::Warning);
    EXPECT_TRUE(lastMessage().text.startsWith(QStringLiteral("品質自動調整保存に失敗しました。")));
    EXPECT_TRUE(lastMessage().text.endsWith(QStringLiteral("JPEGクオリティ:9%")));
    EXPECT_GT(fileSize(QStringLiteral("b.JPEG")), 256);
}

TEST_F(SaveCommandTest, ASizeEqualToTheLimitFits)
{
    save(QStringLiteral("c.jpg"));
    limit = fileSize(QStringLiteral("c.jpg"));
    save(QStringLiteral("d.jpg"));
    EXPECT_TRUE(lastMessage().text.endsWith(QStringLiteral("JPEGクオリティ:100%")));
    EXPECT_EQ(fileSize(QStringLiteral("d.jpg")), limit);
}

TEST_F(SaveCommandTest, GifAndPngStepFromEightToFourBits)
{
    save(QStringLiteral("e.gif"));
    EXPECT_TRUE(lastMessage().text.endsWith(QStringLiteral("GIFクオリティ:8bitカラー")));
    limit = fileSize(QStringLiteral("e.gif")) - 1;
    rig.options.saveFormat = SaveFormatChoice::Gif;
    save(QStringLiteral("f.png")); // preferred GIF, typed PNG: PNG it is
    EXPECT_TRUE(lastMessage().text.contains(QStringLiteral("PNGクオリティ:")));
    EXPECT_EQ(QFile(target(QStringLiteral("f.png"))).open(QIODevice::ReadOnly), true);
    limit = 30000;
    save(QStringLiteral("g.gif"));
    EXPECT_TRUE(lastMessage().text.endsWith(QStringLiteral("GIFクオリティ:4bitカラー")))
        << lastMessage().text.toStdString();
}

TEST_F(SaveCommandTest, ReductionFailuresAreReportedAndTheUndoHistoryIsUnchanged)
{
    int calls = 0;
    saver.setReducer([&calls](const QImage& image, int bits, const ReductionOptions&) {
        ++calls;
        return bits == 4 ? QImage() : image.convertToFormat(QImage::Format_Indexed8);
    });
    limit = 300;
    save(QStringLiteral("h.gif"));
    EXPECT_EQ(lastMessage().kind, MessageKind::Warning);
    EXPECT_EQ(lastMessage().text,
              QStringLiteral("減色処理に失敗しました。\n8bitカラーで画像を保存しました。\n　ファイルサイズ:%1bytes\n")
                  .arg(fileSize(QStringLiteral("h.gif"))));
    saver.setReducer([](const QImage&, int, const ReductionOptions&) { return QImage(); });
    save(QStringLiteral("i.png"));
    EXPECT_EQ(lastMessage().kind, MessageKind::Error);
    EXPECT_EQ(lastMessage().text, QStringLiteral("減色処理に失敗しました。\n画像は保存出来ませんでした。"));
    EXPECT_FALSE(QFile::exists(target(QStringLiteral("i.png"))));
    EXPECT_FALSE(rig.undo.hasSteps());
    EXPECT_EQ(layers.CurrentLayer(), 0);
}

TEST_F(SaveCommandTest, BmpIsWrittenOnceWhateverTheLimit)
{
    limit = 256;
    save(QStringLiteral("j.bmp"));
    EXPECT_EQ(lastMessage().kind, MessageKind::Information);
    EXPECT_EQ(lastMessage().text,
              QStringLiteral("BMP形式なので品質調整を行わずに保存しました。\n　ファイルサイズ:%1bytes")
                  .arg(fileSize(QStringLiteral("j.bmp"))));
}

TEST_F(SaveCommandTest, UnsupportedExtensionWritesNothingAndKeepsTheLastFolder)
{
    saver.setLastSaveFolder(QStringLiteral("/earlier/"));
    save(QStringLiteral("k.tif"));
    EXPECT_EQ(lastMessage().text, QStringLiteral("未対応のファイル形式です。"));
    EXPECT_FALSE(QFile::exists(target(QStringLiteral("k.tif"))));
    EXPECT_EQ(saver.lastSaveFolder(), QStringLiteral("/earlier/"));
}

TEST_F(SaveCommandTest, AnUncommittedDrawingIsNotSavedAndIsGoneWhileCommittedLayersStay)
{
    drawDot(Qt::red, {10, 10});
    layers.CommitDrawing();
    drawDot(Qt::green, {20, 20});
    save(QStringLiteral("l.bmp"));
    const QImage written = ImageFile::load(target(QStringLiteral("l.bmp"))).image;
    EXPECT_EQ(written.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_NE(written.pixelColor(20, 20), QColor(Qt::green));
    EXPECT_EQ(layers.CurrentLayer(), 1);
    EXPECT_EQ(rig.undo.stepCount(), 1);
    EXPECT_TRUE(layers.layer(0).visible);
    EXPECT_FALSE(layers.layer(1).visible);
    EXPECT_FALSE(layers.drawingPending());
}

TEST_F(SaveCommandTest, AFileThatCannotBeWrittenIsReportedAndAnExistingOneIsUntouched)
{
    QFile blocker(target(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    save(QStringLiteral("blocker/m.jpg"));
    EXPECT_EQ(lastMessage().kind, MessageKind::Error);
    EXPECT_TRUE(lastMessage().text.startsWith(QStringLiteral("ファイルを保存できませんでした。")));
    EXPECT_FALSE(hasLatinSentence(lastMessage().text)) << lastMessage().text.toStdString();
    EXPECT_EQ(saver.lastSaveFolder(), QString());
    EXPECT_FALSE(rig.undo.hasSteps());
}

TEST_F(SaveCommandTest, SavedPicturesOpenInAnotherReaderAtTheCanvasSize)
{
    // Qt's own image readers stand in for the other programs a user would open the file with.
    for (const char* name : {"o.jpg", "o.gif", "o.png"}) {
        save(QLatin1String(name));
        const QImage reopened(target(QLatin1String(name)));
        EXPECT_EQ(reopened.size(), QSize(240, 320)) << name;
    }
}

TEST_F(SaveCommandTest, ANameWithoutExtensionTakesTheOneOfTheChosenFilterRow)
{
    // The preferred format (JPEG) only preselects the row; the row left chosen decides.
    const std::pair<int, const char*> rows[] = {{1, "jpg"}, {2, "gif"}, {3, "png"}, {4, "bmp"}};
    for (const auto& [row, extension] : rows) {
        const QString name = QStringLiteral("plain%1").arg(row);
        rig.prompts.saveFilterRows.enqueue(row);
        save(name);
        const QString expected = target(name + QLatin1Char('.') + QLatin1String(extension));
        ASSERT_TRUE(saver.lastReport().has_value()) << extension;
        EXPECT_EQ(saver.lastReport()->path, expected);
        EXPECT_EQ(saver.lastReport()->format, SaveCommand::formatOfExtension(expected));
        EXPECT_TRUE(QFile::exists(expected)) << extension;
    }
}

namespace {

class RecordingProgress final : public Progress
{
  public:
    void BeginProgress(int) override { shown = true; }
    void ProgressStep(int, const QString&) override {}
    void EndProgress() override { shown = false; }
    bool shown = false;
};

} // namespace

TEST_F(SaveCommandTest, AnErrorInsideTheEncoderStillEndsTheProgressAndTakesTheLayerBack)
{
    RecordingProgress progress;
    saver.setProgress(&progress);
    saver.setReducer([](const QImage&, int, const ReductionOptions&) -> QImage { throw std::bad_alloc(); });
    drawDot(Qt::red, {5, 5});
    layers.CommitDrawing();
    const int layerCount = layers.CurrentLayer();
    const int steps = rig.undo.stepCount();
    rig.prompts.saveFileNames.enqueue(target(QStringLiteral("n.png")));
    EXPECT_FALSE(runGuarded(rig.prompts, [this] { prompt.btSaveClick(); })); // as the button runs it
    EXPECT_FALSE(progress.shown);
    EXPECT_EQ(layers.CurrentLayer(), layerCount);
    EXPECT_EQ(rig.undo.stepCount(), steps);
    EXPECT_EQ(lastMessage().text, QStringLiteral("メモリが不足しています。"));
    EXPECT_FALSE(QFile::exists(target(QStringLiteral("n.png"))));
}

TEST_F(SaveCommandTest, AFolderThatTakesNoNewFileGetsAWritableFileOverwrittenInPlace)
{
    const QString folder = target(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString existing = folder + QStringLiteral("/p.bmp");
    QFile old(existing);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an old picture");
    old.close();
    ASSERT_EQ(::chmod(QFile::encodeName(out.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(existing).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    const bool saved = OrdinaryUser::run([&] {
        save(QStringLiteral("locked/p.bmp"));
        const bool overwritten = lastMessage().kind == MessageKind::Information;
        save(QStringLiteral("locked/new.bmp")); // a new file still cannot be made there
        return overwritten && lastMessage().kind == MessageKind::Error;
    });
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    EXPECT_TRUE(saved);
    EXPECT_EQ(ImageFile::load(existing).image.size(), QSize(240, 320));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/new.bmp")));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("p.bmp")}); // no temporary left
}
