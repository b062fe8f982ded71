#include "WorkspaceRig.h"
#include "imaging/codecs/JpegCodec.h"
#include "imaging/codecs/PictureFormats.h"
#include "imaging/resampling/Resampler.h"
#include "support/JapaneseText.h"
#include "workspace/FitCommands.h"
#include "workspace/pages/LoadImagePage.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <gtest/gtest.h>

TEST(PictureLoaderTest, DroppedFilesAreCheckedByExtensionInAnyCase)
{
    for (const char* name : {"photo.JPG", "photo.jpg", "photo.Jpg", "photo.jpeg", "scan.tiff", "scan.TIF", "a.b.PCX",
                             "/dir.x/pic.JFIF", "shot.dib", "IMG_0001.HEIC", "a.heif", "b.avif", "c.WEBP", "d.jxl"})
        EXPECT_TRUE(PictureFormats::hasReadableExtension(QLatin1String(name))) << name;
    // FlashPix is not read: such a file is refused by name, not found unreadable.
    for (const char* name : {"x.fpx", "photo.txt", "photo", "jpg", "/dir.jpeg/pic", "photo.jpg.txt"})
        EXPECT_FALSE(PictureFormats::hasReadableExtension(QLatin1String(name))) << name;
}

TEST(PictureLoaderTest, DropRefusesTwoFilesAndUnknownExtensionsAndKeepsThePicture)
{
    WorkspaceRig rig;
    int resets = 0;
    rig.loader.setLayerHooks({[&] { ++resets; }, [] {}});
    rig.load(gradientPicture(64, 48));
    const QString jpg = rig.pictureFile(gradientPicture(30, 20), QStringLiteral("b.png"));
    rig.loader.loadDroppedFiles({jpg, jpg});
    EXPECT_EQ(rig.prompts.texts().last(), QStringLiteral("複数の画像を同時に開くことはできません。"));
    EXPECT_EQ(resets, 1); // two files leave the layers alone
    QFile::copy(jpg, rig.pictures.filePath(QStringLiteral("photo.fpx")));
    rig.loader.loadDroppedFiles({rig.pictures.filePath(QStringLiteral("photo.fpx"))});
    EXPECT_EQ(rig.prompts.texts().last(), QStringLiteral("未対応の画像形式です。"));
    EXPECT_EQ(resets, 1); // a refused file leaves the layers alone too
    EXPECT_EQ(rig.geometry.baseWidth, 64);
}

TEST(PictureLoaderTest, DroppedFileWithALongPathLoads)
{
    WorkspaceRig rig;
    const QString deep = rig.pictures.path() + QLatin1Char('/') + QString(120, QLatin1Char('d')) + QLatin1Char('/') +
                         QString(120, QLatin1Char('e'));
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString path = deep + QStringLiteral("/photo.PNG");
    ASSERT_GT(path.size(), 254);
    ASSERT_TRUE(ImageFile::save(gradientPicture(50, 40), path, FileFormat::Png, {}));
    rig.loader.loadDroppedFiles({path});
    EXPECT_TRUE(rig.prompts.shown.isEmpty());
    EXPECT_EQ(rig.geometry.baseWidth, 50);
}

TEST(PictureLoaderTest, ClipboardFailureKeepsThePictureAndSaysSo)
{
    WorkspaceRig rig;
    rig.load(gradientPicture(64, 48));
    rig.loader.setClipboardSource([] { return QImage(); });
    rig.loader.loadClipboard();
    ASSERT_EQ(rig.prompts.shown.size(), 1);
    EXPECT_EQ(rig.prompts.shown[0].text, QStringLiteral("クリップボードを開けませんでした。"));
    EXPECT_TRUE(rig.workspace.hasPicture());
    EXPECT_EQ(rig.undo.undoImageCount(), 1);
}

TEST(PictureLoaderTest, APictureWithAlphaLoadsAs24Bits)
{
    WorkspaceRig rig;
    QImage argb(40, 30, QImage::Format_ARGB32);
    argb.fill(QColor(200, 10, 10, 128));
    int reportedBits = 0;
    QObject::connect(&rig.loader, &PictureLoader::pictureLoaded, [&](int, int, int bits) { reportedBits = bits; });
    rig.loader.setClipboardSource([argb] { return argb; });
    rig.loader.loadClipboard();
    EXPECT_EQ(reportedBits, 24);
    rig.undo.finishWriting();
    const DecodedImage first = ImageFile::load(rig.undo.undoImagePath(0));
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first.bitCount, 24);
    EXPECT_EQ(rig.loader.lastLoadFolder(), QString()); // the clipboard has no folder
}

TEST(PictureLoaderTest, UnreadableFileIsReportedInJapaneseAndNothingIsLost)
{
    // A broken JPEG, a text file and a folder in the file's place: the decoder's and the system's
    // own words go to standard error, the box names the file in the program's words.
    for (const auto& [name, content] :
         {std::pair{"junk.jpg", "\xFF\xD8\xFF garbage"}, {"notes.png", "hello"}, {"folder.bmp", nullptr}}) {
        WorkspaceRig rig;
        rig.load(gradientPicture(64, 48));
        const QString path = rig.pictures.filePath(QLatin1String(name));
        if (content) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(content);
        } else {
            ASSERT_TRUE(QDir().mkpath(path));
        }
        rig.loader.load(path);
        ASSERT_EQ(rig.prompts.shown.size(), 1) << name;
        EXPECT_EQ(rig.prompts.shown[0].text, QStringLiteral("画像を読み込めませんでした。\n") + QLatin1String(name));
        EXPECT_FALSE(hasLatinSentence(rig.prompts.shown[0].text)) << name;
        EXPECT_EQ(rig.geometry.baseWidth, 64);
        EXPECT_TRUE(rig.workspace.hasPicture());
    }
}

TEST(PictureLoaderTest, UnwritableProgramFolderIsReportedAndTheLoadIsAbandoned)
{
    QTemporaryDir parent;
    QFile blocker(parent.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be: even root cannot write
    blocker.close();
    WorkspaceRig rig(parent.filePath(QStringLiteral("blocker")) + QLatin1Char('/'));
    rig.load(gradientPicture(64, 48));
    ASSERT_EQ(rig.prompts.shown.size(), 1);
    EXPECT_TRUE(rig.prompts.shown[0].text.startsWith(QStringLiteral("作業ファイルを書き込めなかったため")));
    EXPECT_FALSE(hasLatinSentence(rig.prompts.shown[0].text));
    EXPECT_FALSE(rig.workspace.hasPicture());
}

TEST(PictureLoaderTest, AFirstUndoImageThatFailsLateKeepsThePictureInMemoryAndSaysSo)
{
    WorkspaceRig rig;
    // A folder where undo image 0 should go: the folder takes files, but that name never becomes one.
    ASSERT_TRUE(QDir().mkpath(rig.folder + QStringLiteral("temp-0.bmp/kept")));
    const QString photo = rig.pictures.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(ImageFile::save(gradientPicture(64, 48), photo, FileFormat::Jpeg, EncodeOptions{90, 2, {}}));
    ASSERT_TRUE(rig.loader.load(photo));
    EXPECT_TRUE(rig.prompts.shown.isEmpty());
    ASSERT_TRUE(rig.workspace.hasPicture());

    // The next image step hears of it: the step is still made, on the picture kept in memory.
    rig.imageStep(gradientPicture(32, 24), OperationId::Darken);
    ASSERT_EQ(rig.prompts.shown.size(), 1);
    EXPECT_EQ(rig.prompts.shown[0].text,
              QStringLiteral("作業ファイルを書き込めなかったため、この画像に加えた処理は元に戻せません。"));
    EXPECT_EQ(rig.workspace.workingImage().size(), QSize(rig.geometry.workWidth, rig.geometry.workHeight));
    EXPECT_EQ(rig.geometry.baseWidth, 32);
    EXPECT_EQ(QDir(rig.folder).entryList({QStringLiteral("temp-*")}, QDir::Files), QStringList());

    // The next picture is written to disk again once the name is free.
    ASSERT_TRUE(QDir(rig.folder + QStringLiteral("temp-0.bmp")).removeRecursively());
    ASSERT_TRUE(rig.loader.load(photo));
    rig.undo.finishWriting();
    EXPECT_TRUE(QFileInfo(rig.undo.undoImagePath(0)).isFile());
    EXPECT_EQ(rig.prompts.shown.size(), 1);
}

TEST(PictureLoaderTest, CancelledDialogChangesNothing)
{
    WorkspaceRig rig;
    int resets = 0;
    rig.loader.setLayerHooks({[&] { ++resets; }, [] {}});
    LoadImagePage page(rig.loader, rig.prompts);
    page.btOpenFromFileClick();
    EXPECT_EQ(resets, 0);
    ASSERT_EQ(rig.prompts.fileRequests.size(), 1);
    EXPECT_EQ(rig.prompts.fileRequests[0].title, QStringLiteral("元画像の入力"));
    EXPECT_TRUE(rig.prompts.fileRequests[0].filter.startsWith(QStringLiteral("すべての画像|")));
}

TEST(PictureLoaderTest, AFailedLoadKeepsTheDrawingTheHistoryAndThePicture)
{
    WorkspaceRig rig;
    int resets = 0;
    int releases = 0;
    rig.loader.setLayerHooks({[&] { ++resets; }, [&] { ++releases; }});
    rig.load(gradientPicture(64, 48));
    ASSERT_EQ(resets, 1);
    rig.imageStep(gradientPicture(64, 48).mirrored(), OperationId::Sepia);

    QByteArray bmp = *ImageFile::encode(gradientPicture(40, 40), FileFormat::Bmp, {});
    bmp.truncate(bmp.size() / 2);
    QFile truncated(rig.pictures.filePath(QStringLiteral("cut.bmp")));
    ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
    truncated.write(bmp);
    truncated.close();
    const QString oneWide = rig.pictureFile(gradientPicture(1, 2000), QStringLiteral("strip.png"));
    for (const QString& path : {truncated.fileName(), oneWide}) {
        rig.prompts.shown.clear();
        rig.loader.load(path);
        ASSERT_EQ(rig.prompts.shown.size(), 1) << path.toStdString();
        EXPECT_EQ(rig.prompts.shown[0].kind, MessageKind::Error);
        EXPECT_EQ(resets, 1) << path.toStdString();
        EXPECT_EQ(releases, 1) << path.toStdString();
        EXPECT_EQ(rig.undo.undoImageCount(), 2);
        EXPECT_EQ(rig.geometry.baseWidth, 64);
        EXPECT_TRUE(rig.workspace.hasPicture());
    }
    EXPECT_EQ(rig.prompts.shown[0].text, QStringLiteral("画像の縦と横の比率が極端なため、この画像は読み込めません。"));
    // A one-pixel picture whose cover fit stays within the limits loads.
    rig.load(gradientPicture(1, 1));
    EXPECT_EQ(rig.geometry.baseWidth, 1);
    EXPECT_EQ(rig.prompts.shown.size(), 1);
}

TEST(PictureLoaderTest, APhotoShownSmallIsDecodedReducedAndBothStoragesMakeTheSamePictures)
{
    // The window keeps its undo images in files, the command line in memory: both must show, and
    // so save, the same pixels at every step.
    WorkspaceRig files;
    WorkspaceRig memory({}, UndoStorage::NewestInMemory);
    const QString path = files.pictures.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(ImageFile::save(gradientPicture(1600, 1200), path, FileFormat::Jpeg, EncodeOptions{90, 2, {}}));
    WorkspaceRig* rigs[] = {&files, &memory};
    const auto same = [&](const char* step) {
        EXPECT_EQ(files.geometry.workWidth, memory.geometry.workWidth) << step;
        EXPECT_EQ(files.workspace.workingImage(), memory.workspace.workingImage()) << step;
        EXPECT_EQ(files.workspace.workspaceImage(), memory.workspace.workspaceImage()) << step;
    };
    for (WorkspaceRig* rig : rigs)
        ASSERT_TRUE(rig->loader.load(path));
    same("loaded");
    // 428 x 321 is covered by the half-scale decode; the picture keeps its full size.
    const QSize work(files.geometry.workWidth, files.geometry.workHeight);
    const DecodedImage half = JpegCodec::decodeCovering(*ImageFile::read(path), work);
    ASSERT_EQ(half.image.size(), QSize(800, 600));
    const QImage working = Resampler::resize(half.image, work.width(), work.height());
    EXPECT_EQ(files.workspace.workingImage(), working);
    // The canvas was scaled while the photo was decoded: the same cut of the same scaling.
    EXPECT_EQ(files.workspace.workspaceImage(), working.copy(files.geometry.offsetX, files.geometry.offsetY, 240, 320));
    EXPECT_EQ(memory.geometry.baseWidth, 1600);

    const std::pair<const char*, std::function<void(FitCommands&)>> steps[] = {
        {"fitted to the width", [](FitCommands& f) { f.fitWidth(); }},
        {"fitted to the height", [](FitCommands& f) { f.fitHeight(); }},
        {"enlarged beyond the photo", [](FitCommands& f) { f.resizeWorking(1300, 1000); }},
    };
    for (const auto& [name, step] : steps) {
        for (WorkspaceRig* rig : rigs) {
            FitCommands fits(rig->workspace, rig->log);
            step(fits);
        }
        same(name);
    }
    // An effect works on the whole photo in either storage.
    const QImage beforeEffect = files.workspace.workingImage();
    for (WorkspaceRig* rig : rigs) {
        const std::optional<QImage> whole = rig->undo.LoadNewestUndoImage();
        ASSERT_TRUE(whole);
        EXPECT_EQ(whole->size(), QSize(1600, 1200));
        rig->imageStep(whole->mirrored(true, false), OperationId::FlipHorizontal);
    }
    same("after an effect");
    // Undone, the window shows the photo from its file again, as before the effect.
    files.undoCommand.btUndoClick();
    EXPECT_TRUE(files.undo.newestFile());
    EXPECT_EQ(files.workspace.workingImage(), beforeEffect);
}

TEST(PictureLoaderTest, ADamagedPhotoIsRefusedAtLoadingWhateverScaleItIsDecodedAt)
{
    for (const UndoStorage storage : {UndoStorage::Files, UndoStorage::NewestInMemory}) {
        WorkspaceRig rig({}, storage);
        const std::optional<QByteArray> jpeg =
            JpegCodec::encode(gradientPicture(1600, 1200), EncodeOptions{90, 2, {}}, nullptr);
        ASSERT_TRUE(jpeg);
        const QString cut = rig.pictures.filePath(QStringLiteral("cut.jpg"));
        QFile file(cut);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(jpeg->left(jpeg->size() / 2));
        file.close();
        EXPECT_FALSE(rig.loader.load(cut));
        EXPECT_FALSE(rig.workspace.hasPicture());
        ASSERT_EQ(rig.prompts.shown.size(), 1u);
        EXPECT_EQ(rig.prompts.shown[0].kind, MessageKind::Error);
    }
}
