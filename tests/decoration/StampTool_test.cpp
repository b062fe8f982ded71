#include "decoration/DrawingLayers.h"
#include "decoration/FrameCommand.h"
#include "decoration/StampPicture.h"
#include "decoration/StampTool.h"
#include "decoration/pages/FramePage.h"
#include "foundation/ProgramOptions.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "support/ScriptedPrompts.h"
#include "workspace/UndoHistory.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

namespace {

constexpr QRgb kKey = LayerKeyColor;

// The rectangle (right and bottom excluded) covered by pixels other than the key colour.
QRect drawnArea(const QImage& picture)
{
    QRect area;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != kKey)
                area |= QRect(x, y, 1, 1);
    return area;
}

std::set<QRgb> colours(const QImage& picture)
{
    std::set<QRgb> found;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            found.insert(picture.pixel(x, y));
    return found;
}

class DecorationPictureTest : public ::testing::Test
{
  protected:
    DecorationPictureTest()
    {
        layers.setCanvasSize(QSize(240, 320));
        QObject::connect(&layers, &DrawingLayers::drawingControlsEnabled, [this](bool on) { pending = on; });
    }
    QString folder() const { return dir.path() + QLatin1Char('/'); }
    void save(const QImage& picture, const QString& name) { ASSERT_TRUE(picture.save(folder() + name)); }
    void writeBytes(const QString& name, const QByteArray& bytes)
    {
        QFile file(folder() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QImage solid(int width, int height, QRgb colour)
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(colour);
        return picture;
    }
    void drag(QPoint from, QPoint to)
    {
        tool.press(from, Qt::LeftButton);
        tool.move((from + to) / 2);
        tool.move(to);
        tool.release(to);
    }
    const QImage& working() const { return layers.layer(layers.CurrentLayer()).picture; }

    QTemporaryDir dir;
    UndoHistory undo{folder()};
    ScriptedPrompts prompts;
    DrawingLayers layers{undo, prompts};
    StampTool tool{layers, prompts, folder()};
    ProgramOptions options;
    FrameCommand frames{layers, options, folder()};
    bool pending = false;
};

} // namespace

TEST_F(DecorationPictureTest, AClickShowsTheStampAtItsOwnSizeWithoutMarkingTheDrawing)
{
    save(solid(32, 32, qRgb(200, 0, 0)), QStringLiteral("square.png"));
    ASSERT_TRUE(tool.IkThumbStampSelectFile(QStringLiteral("square.png")));
    EXPECT_EQ(tool.StampSize, QSize(32, 32));
    tool.press({10, 20}, Qt::LeftButton);
    tool.release({10, 20});
    EXPECT_EQ(drawnArea(working()), QRect(QPoint(10, 20), QPoint(41, 51))); // (10, 20) to (42, 52)
    EXPECT_TRUE(layers.layer(0).visible);
    EXPECT_FALSE(pending);
}

TEST_F(DecorationPictureTest, ADragStretchesTheStampOrKeepsItsProportionsWhileShiftIsHeld)
{
    QImage stamp = solid(40, 40, qRgb(0, 0, 220));
    stamp.setPixel(0, 0, qRgb(0, 180, 0)); // shows where the stamp's corner went
    save(stamp, QStringLiteral("mark.bmp"));
    tool.IkThumbStampSelectFile(QStringLiteral("mark.bmp"));

    drag({10, 10}, {110, 60});
    EXPECT_EQ(drawnArea(working()), QRect(10, 10, 100, 50));
    EXPECT_EQ(working().pixel(10, 10), qRgb(0, 180, 0));
    EXPECT_TRUE(pending);

    prompts.shift = true;
    drag({10, 10}, {110, 60});
    EXPECT_EQ(drawnArea(working()), QRect(35, 10, 50, 50)); // in proportion, centred in the rectangle

    // Corners given from bottom-right to top-left mirror nothing.
    prompts.shift = false;
    drag({110, 60}, {10, 10});
    EXPECT_EQ(drawnArea(working()), QRect(10, 10, 100, 50));
    EXPECT_EQ(working().pixel(10, 10), qRgb(0, 180, 0));
}

TEST_F(DecorationPictureTest, EveryMoveReplacesThePlacementAndOnlyReleaseMarksTheDrawing)
{
    save(solid(16, 16, qRgb(10, 20, 30)), QStringLiteral("dot.png"));
    tool.IkThumbStampSelectFile(QStringLiteral("dot.png"));
    tool.press({50, 50}, Qt::LeftButton);
    tool.move({50, 50}); // still at the press point: its own size
    EXPECT_EQ(drawnArea(working()), QRect(50, 50, 16, 16));
    tool.move({90, 70});
    EXPECT_EQ(drawnArea(working()), QRect(50, 50, 40, 20));
    tool.move({20, 30}); // the rubber band follows and leaves nothing behind
    EXPECT_EQ(drawnArea(working()), QRect(20, 30, 30, 20));
    EXPECT_FALSE(pending);
    tool.release({20, 30});
    EXPECT_TRUE(pending);
}

TEST_F(DecorationPictureTest, WithoutAReadableStampTheLayerIsEmptyAndOnlyASelectedFileEnablesCommit)
{
    // Nothing selected yet: an empty picture replaces the layer, nothing to commit.
    drag({10, 10}, {110, 60});
    ASSERT_FALSE(working().isNull());
    EXPECT_TRUE(drawnArea(working()).isEmpty());
    EXPECT_FALSE(pending);

    save(solid(20, 10, qRgb(1, 2, 3)), QStringLiteral("good.png"));
    tool.IkThumbStampSelectFile(QStringLiteral("good.png"));
    writeBytes(QStringLiteral("broken.png"), "not a picture");
    EXPECT_FALSE(tool.IkThumbStampSelectFile(QStringLiteral("broken.png")));
    EXPECT_TRUE(tool.stamp().isNull());
    EXPECT_EQ(tool.StampSize, QSize(20, 10)); // kept from the last readable stamp
    drag({10, 10}, {110, 60});
    EXPECT_TRUE(drawnArea(working()).isEmpty());
    EXPECT_TRUE(pending);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(DecorationPictureTest, SeeThroughPartsStayExactlyTheKeyColourWhenStretched)
{
    // Half transparent or more becomes the key; the rest is opaque in its own colour.
    QImage stamp(7, 5, QImage::Format_ARGB32);
    stamp.fill(qRgba(255, 255, 255, 0));
    stamp.setPixel(1, 1, qRgba(200, 30, 40, 255));
    stamp.setPixel(2, 1, qRgba(20, 150, 40, 128)); // just more opaque than half
    stamp.setPixel(3, 1, qRgba(20, 30, 220, 127)); // just less
    stamp.setPixel(4, 1, qRgb(254, 254, 254));     // the key colour itself
    save(stamp, QStringLiteral("alpha.png"));
    tool.IkThumbStampSelectFile(QStringLiteral("alpha.png"));
    ASSERT_EQ(tool.stamp().format(), QImage::Format_RGB888);
    EXPECT_EQ(tool.stamp().pixel(2, 1), qRgb(20, 150, 40));
    EXPECT_EQ(tool.stamp().pixel(3, 1), kKey);
    drag({0, 0}, {233, 197}); // an awkward stretch
    EXPECT_EQ(colours(working()), (std::set<QRgb>{kKey, qRgb(200, 30, 40), qRgb(20, 150, 40)}));
}

TEST_F(DecorationPictureTest, AFrameNeedsASelectionAndIsFittedOverTheCanvasOnTheMarginColour)
{
    layers.InstallLayerPicture(layers.ScratchSurface());
    const QImage before = working();
    FramePage(frames, prompts).btDrawFrameClick(); // nothing selected in the list
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("フレームが選択されていません。"));
    EXPECT_EQ(working(), before);
    EXPECT_FALSE(pending);

    // A 240 x 240 frame with a see-through middle on a 240 x 320 canvas: fitted to the width.
    QImage frame(240, 240, QImage::Format_ARGB32);
    frame.fill(qRgb(250, 120, 160));
    for (int y = 40; y < 200; ++y)
        for (int x = 40; x < 200; ++x)
            frame.setPixel(x, y, qRgba(0, 0, 0, 0));
    save(frame, QStringLiteral("pink.png"));
    options.marginColor = QColor(0, 60, 0);
    frames.drawFrame(folder() + QStringLiteral("pink.png"));
    EXPECT_TRUE(pending);
    const QImage& layer = working();
    ASSERT_EQ(layer.size(), QSize(240, 320));
    EXPECT_EQ(layer.copy(0, 0, 240, 40), solid(240, 40, qRgb(0, 60, 0)).convertToFormat(layer.format()));
    EXPECT_EQ(layer.copy(0, 280, 240, 40), solid(240, 40, qRgb(0, 60, 0)).convertToFormat(layer.format()));
    EXPECT_EQ(layer.pixel(0, 40), qRgb(250, 120, 160));
    EXPECT_EQ(layer.pixel(239, 279), qRgb(250, 120, 160));
    EXPECT_EQ(layer.pixel(120, 160), kKey);

    // An unreadable frame still gives a drawing to commit: the plain margin colour.
    layers.ClearDrawing();
    writeBytes(QStringLiteral("vector.wmf"), "\xd7\xcd\xc6\x9a");
    frames.drawFrame(folder() + QStringLiteral("vector.wmf"));
    EXPECT_EQ(colours(working()), std::set<QRgb>{qRgb(0, 60, 0)});
    EXPECT_TRUE(pending);
    EXPECT_EQ(prompts.shown.size(), 1);
}

// A bitmap header declaring a picture it does not hold: only a decoder that trusts it takes the memory.
QByteArray bitmapDeclaring(qint32 width, qint32 height)
{
    QByteArray bytes(54, '\0');
    const auto put = [&bytes](int at, quint32 value, int size) {
        for (int i = 0; i < size; ++i)
            bytes[at + i] = char(value >> (8 * i));
    };
    bytes[0] = 'B', bytes[1] = 'M';
    put(2, 54, 4), put(10, 54, 4), put(14, 40, 4), put(18, quint32(width), 4), put(22, quint32(height), 4);
    put(26, 1, 2), put(28, 24, 2);
    return bytes;
}

TEST_F(DecorationPictureTest, StampsBeyondTheirBoundsAreRefusedFromTheHeaderAndFramesDecodeAtTheirSize)
{
    writeBytes(QStringLiteral("huge.bmp"), bitmapDeclaring(20000, 20000));
    EXPECT_FALSE(tool.IkThumbStampSelectFile(QStringLiteral("huge.bmp")));
    EXPECT_TRUE(tool.stamp().isNull());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(prompts.shown[0].text.startsWith(QStringLiteral("このスタンプは大きすぎるため使えません。")));
    const StampPicture::Loaded loaded = StampPicture::read(folder() + QStringLiteral("huge.bmp"));
    EXPECT_TRUE(loaded.tooLarge);

    // A broken file is not too large: nothing is said, as before.
    prompts.shown.clear();
    writeBytes(QStringLiteral("broken.bmp"), "not a picture");
    EXPECT_FALSE(tool.IkThumbStampSelectFile(QStringLiteral("broken.bmp")));
    EXPECT_TRUE(prompts.shown.isEmpty());

    // A 2400 x 3200 JPEG frame over a 240 x 320 canvas is decoded at an eighth and still fills it.
    ASSERT_TRUE(solid(2400, 3200, qRgb(20, 40, 200)).save(folder() + QStringLiteral("big.jpg"), "JPEG", 95));
    EXPECT_EQ(StampPicture::load(folder() + QStringLiteral("big.jpg"), QSize(240, 320)).size(), QSize(300, 400));
    frames.drawFrame(folder() + QStringLiteral("big.jpg"));
    const QImage& layer = working();
    ASSERT_EQ(layer.size(), QSize(240, 320));
    for (const QPoint at : {QPoint(0, 0), QPoint(239, 319), QPoint(120, 160)}) {
        const QRgb pixel = layer.pixel(at);
        EXPECT_NEAR(qBlue(pixel), 200, 8);
        EXPECT_NEAR(qRed(pixel), 20, 8);
    }
}

TEST(StampPicture, ShownNamesDropTheExtensionWhateverItsLength)
{
    for (const auto& [file, shown] : {std::pair{"heart.bmp", "heart"},
                                      {"sakura.webp", "sakura"},
                                      {"IMG_1.HEIC", "IMG_1"},
                                      {"star.jxl", "star"},
                                      {"a.b.png", "a.b"}})
        EXPECT_EQ(StampPicture::shownName(QLatin1String(file)), QLatin1String(shown)) << file;
}
