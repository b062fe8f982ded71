#include "imaging/drawing/FrameDrag.h"
#include "imaging/drawing/LayerStack.h"
#include "widgets/ImageDisplay.h"

#include "support/PixelProbe.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QMouseEvent>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kKey = qRgb(254, 254, 254);

QImage layerWithDot(QSize size, QPoint at, QRgb color)
{
    QImage layer = PixelProbe::filled(size.width(), size.height(), kKey);
    layer.setPixel(at, color);
    return layer;
}

void send(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

struct Recorder
{
    std::vector<QString> events;
    explicit Recorder(ImageDisplay& display)
    {
        QObject::connect(&display, &ImageDisplay::mouseDownImage, [this](Qt::MouseButton b, int x, int y) {
            events.push_back(QStringLiteral("down %1 %2,%3").arg(int(b)).arg(x).arg(y));
        });
        QObject::connect(&display, &ImageDisplay::mouseMoveImage,
                         [this](int x, int y) { events.push_back(QStringLiteral("move %1,%2").arg(x).arg(y)); });
        QObject::connect(&display, &ImageDisplay::mouseUpImage,
                         [this](int x, int y) { events.push_back(QStringLiteral("up %1,%2").arg(x).arg(y)); });
        QObject::connect(&display, &ImageDisplay::frameMoved, [this](int l, int t, int r, int b) {
            events.push_back(QStringLiteral("frame %1 %2 %3 %4").arg(l).arg(t).arg(r).arg(b));
        });
    }
};

} // namespace

TEST(LayerStackTest, VisibleLayersComposeInOrderWithKeySeeThrough)
{
    LayerStack stack;
    stack.setImage(PixelProbe::filled(6, 4, qRgb(0, 0, 255)));
    stack.setRasterImage(0, layerWithDot({6, 4}, {1, 1}, qRgb(255, 0, 0)));
    stack.setRasterVisible(0, true);
    stack.setRasterImage(3, layerWithDot({6, 4}, {1, 1}, qRgb(0, 255, 0)));
    stack.setRasterVisible(3, true);
    stack.setRasterImage(5, layerWithDot({6, 4}, {2, 2}, qRgb(9, 9, 9)));
    QImage shown = stack.composed();
    EXPECT_EQ(shown.pixel(1, 1) & 0xffffff, 0x00ff00u); // the higher layer wins
    EXPECT_EQ(shown.pixel(2, 2) & 0xffffff, 0x0000ffu); // hidden layer 5 not drawn
    EXPECT_EQ(shown.pixel(0, 0) & 0xffffff, 0x0000ffu); // key colour shows the picture
    // The composition is refreshed when a layer changes.
    stack.setRasterVisible(5, true);
    EXPECT_EQ(stack.composed().pixel(2, 2) & 0xffffff, 0x090909u);
    // Transparency off: the key colour is drawn as a colour.
    stack.setRasterKey(5, false, kKey);
    EXPECT_EQ(stack.composed().pixel(0, 0) & 0xffffff, 0xfefefeu);
}

TEST(LayerStackTest, IndicesOutsideTheStackAreIgnoredAndNothingShowsEmpty)
{
    LayerStack stack;
    EXPECT_TRUE(stack.composed().isNull());
    stack.setRasterImage(31, PixelProbe::filled(3, 3, qRgb(1, 1, 1)));
    stack.setRasterVisible(-1, true);
    EXPECT_TRUE(stack.raster(31).image.isNull());
    EXPECT_TRUE(stack.composed().isNull());
    // A layer alone, without picture, shows on the background colour.
    stack.setBackColor(Qt::red);
    stack.setRasterImage(30, layerWithDot({3, 3}, {0, 0}, qRgb(0, 0, 0)));
    stack.setRasterVisible(30, true);
    EXPECT_EQ(stack.composed().pixel(1, 1) & 0xffffff, 0xff0000u);
    EXPECT_EQ(stack.composed().pixel(0, 0) & 0xffffff, 0x000000u);
}

TEST(LayerStackTest, ALayerPictureReplacedByASimilarOneIsComposedAgainOnlyWhereTheyDiffer)
{
    LayerStack stack;
    stack.setImage(PixelProbe::filled(300, 200, qRgb(0, 0, 255)));
    stack.setRasterImage(0, layerWithDot({300, 200}, {10, 10}, qRgb(255, 0, 0)));
    stack.setRasterVisible(0, true);
    stack.composed();
    EXPECT_EQ(stack.lastChange(), QRect(0, 0, 300, 200));
    // A drag step: the tool installs a new picture with the dot moved.
    stack.setRasterImage(0, layerWithDot({300, 200}, {200, 150}, qRgb(255, 0, 0)));
    const QImage step = stack.composed();
    EXPECT_EQ(stack.lastChange(), QRect(QPoint(10, 10), QPoint(200, 150)));
    LayerStack fresh;
    fresh.setImage(PixelProbe::filled(300, 200, qRgb(0, 0, 255)));
    fresh.setRasterImage(0, layerWithDot({300, 200}, {200, 150}, qRgb(255, 0, 0)));
    fresh.setRasterVisible(0, true);
    EXPECT_EQ(step, fresh.composed());
    // The same pixels again change nothing; a new picture below the layers recomposes everything.
    stack.setRasterImage(0, layerWithDot({300, 200}, {200, 150}, qRgb(255, 0, 0)));
    stack.composed();
    EXPECT_TRUE(stack.lastChange().isEmpty());
    stack.setImage(PixelProbe::filled(300, 200, qRgb(0, 9, 0)));
    EXPECT_EQ(stack.composed().pixel(0, 0) & 0xffffff, 0x000900u);
    EXPECT_EQ(stack.lastChange(), QRect(0, 0, 300, 200));
}

TEST(FrameDragTest, FrameMovesByTheDragAndReportsItsPlace)
{
    FrameDrag drag;
    drag.setMode(FrameDrag::Mode::MoveFrame);
    drag.setRect({10, 20, 50, 60});
    drag.press({5, 5}, Qt::LeftButton); // outside: no drag
    EXPECT_FALSE(drag.dragging());
    EXPECT_FALSE(drag.release({40, 40}));
    drag.press({15, 25}, Qt::LeftButton);
    EXPECT_TRUE(drag.move({18, 21}));
    EXPECT_EQ(drag.rect(), (FrameRect{13, 16, 53, 56}));
    const auto moved = drag.release({25, 15});
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, (FrameRect{20, 10, 60, 50}));
    // The right button never drags.
    drag.press({30, 30}, Qt::RightButton);
    EXPECT_FALSE(drag.dragging());
}

TEST(FrameDragTest, SelectionSpansBothCornerPixels)
{
    FrameDrag drag;
    drag.setMode(FrameDrag::Mode::Select);
    drag.setRect({1, 1, 5, 5});
    drag.press({30, 40}, Qt::LeftButton);
    drag.move({10, 20});
    EXPECT_FALSE(drag.release({10, 20}));
    EXPECT_EQ(drag.rect(), (FrameRect{10, 20, 31, 41}));
    // A click without moving leaves no selection.
    drag.press({7, 7}, Qt::LeftButton);
    drag.release({7, 7});
    EXPECT_TRUE(drag.rect().isEmpty());
    drag.setMode(FrameDrag::Mode::None);
    drag.press({1, 1}, Qt::LeftButton);
    drag.move({9, 9});
    EXPECT_TRUE(drag.rect().isEmpty());
}

TEST(ImageDisplayTest, ReportsMouseEventsInImagePixels)
{
    ImageDisplay display;
    display.resize(100, 80);
    display.setImage(PixelProbe::filled(100, 80, qRgb(0, 0, 0)));
    Recorder recorder(display);
    send(display, QEvent::MouseButtonPress, {12, 34}, Qt::RightButton, Qt::RightButton);
    send(display, QEvent::MouseMove, {13, 35}, Qt::NoButton, Qt::RightButton);
    send(display, QEvent::MouseButtonRelease, {14, 36}, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(recorder.events, (std::vector<QString>{QStringLiteral("down 2 12,34"), QStringLiteral("move 13,35"),
                                                     QStringLiteral("up 14,36")}));
}

TEST(ImageDisplayTest, FrameDragMovesTheFrameAndReportsBeforeTheRelease)
{
    ImageDisplay display;
    display.resize(200, 200);
    display.setImage(PixelProbe::filled(200, 200, qRgb(0, 0, 0)));
    display.setRect(10, 10, 60, 40);
    display.setFrameDragEnabled(true);
    Recorder recorder(display);
    int leftAtRelease = -1;
    QObject::connect(&display, &ImageDisplay::mouseUpImage, [&](int, int) { leftAtRelease = display.rectLeft(); });
    send(display, QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::LeftButton);
    send(display, QEvent::MouseMove, {50, 25}, Qt::NoButton, Qt::LeftButton);
    send(display, QEvent::MouseButtonRelease, {70, 30}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(display.rectLeft(), 60);
    EXPECT_EQ(display.rectTop(), 20);
    EXPECT_EQ(display.rectRight(), 110);
    EXPECT_EQ(display.rectBottom(), 50);
    EXPECT_EQ(leftAtRelease, 60);
    EXPECT_EQ(recorder.events.back(), QStringLiteral("up 70,30"));
    EXPECT_EQ(recorder.events[recorder.events.size() - 2], QStringLiteral("frame 60 20 110 50"));
}

TEST(ImageDisplayTest, SelectionIsDrawnByDraggingAndCanBeCleared)
{
    ImageDisplay display;
    display.resize(100, 100);
    display.setRect(1, 2, 3, 4);
    // Off by default: a drag leaves the rectangle alone.
    send(display, QEvent::MouseButtonPress, {40, 50}, Qt::LeftButton, Qt::LeftButton);
    send(display, QEvent::MouseButtonRelease, {20, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(display.rectRight(), 3);
    display.setSelectionEnabled(true);
    send(display, QEvent::MouseButtonPress, {40, 50}, Qt::LeftButton, Qt::LeftButton);
    send(display, QEvent::MouseMove, {20, 10}, Qt::NoButton, Qt::LeftButton);
    send(display, QEvent::MouseButtonRelease, {20, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(display.rectLeft(), 20);
    EXPECT_EQ(display.rectTop(), 10);
    EXPECT_EQ(display.rectRight(), 41);
    EXPECT_EQ(display.rectBottom(), 51);
    display.clearSelection();
    EXPECT_EQ(display.rectRight(), 0);
}

TEST(ImageDisplayTest, PaintsPictureLayersAndFrame)
{
    ImageDisplay display;
    display.resize(20, 20);
    display.setBackColor(Qt::green);
    display.setImage(PixelProbe::filled(10, 10, qRgb(0, 0, 255)));
    RasterLayer layer;
    layer.image = layerWithDot({10, 10}, {4, 4}, qRgb(255, 0, 0));
    layer.showInDisp = true;
    display.setRaster(2, layer);
    display.setRect(1, 1, 9, 9);
    const QImage shot = display.grab().toImage();
    EXPECT_EQ(shot.pixel(4, 4) & 0xffffff, 0xff0000u);
    EXPECT_EQ(shot.pixel(5, 5) & 0xffffff, 0x0000ffu);
    EXPECT_EQ(shot.pixel(15, 15) & 0xffffff, 0x00ff00u);
    const QRgb frame = shot.pixel(1, 5) & 0xffffff;
    EXPECT_TRUE(frame == 0 || frame == 0xffffff);
    display.reset();
    EXPECT_FALSE(display.hasImage());
    EXPECT_FALSE(display.raster(2).showInDisp);
}

TEST(ImageDisplayTest, AReducedViewShowsTheWholePictureWithTheMouseFrameAndSelectionInItsPixels)
{
    ImageDisplay display;
    QImage picture = PixelProbe::filled(1080, 2400, qRgb(0, 0, 255));
    for (int y = 2395; y < 2400; ++y)
        for (int x = 1075; x < 1080; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0)); // the last block of 5 x 5
    display.setReducedView({1080, 2400}, {216, 480});
    display.resize(216, 480);
    display.setImage(picture);
    EXPECT_EQ(display.shownImage().size(), QSize(216, 480));
    const QImage shot = display.grab().toImage();
    EXPECT_EQ(shot.pixel(215, 479) & 0xffffff, 0xff0000u) << "the canvas's last corner is on the screen";
    EXPECT_EQ(shot.pixel(214, 479) & 0xffffff, 0x0000ffu);
    // A layer drawn later shows at once, reduced.
    display.setRasterImage(1, layerWithDot({1080, 2400}, {0, 0}, qRgb(0, 255, 0)));
    display.setRasterVisible(1, true);
    EXPECT_EQ(display.grab().toImage().pixel(0, 0) & 0xffffff, qRgb(0, 10, 245) & 0xffffff) << "1 of 25 pixels";

    Recorder recorder(display);
    send(display, QEvent::MouseButtonPress, {100, 200}, Qt::LeftButton, Qt::LeftButton);
    send(display, QEvent::MouseMove, {0, 479}, Qt::NoButton, Qt::LeftButton);
    send(display, QEvent::MouseButtonRelease, {-1, 0}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(recorder.events, (std::vector<QString>{QStringLiteral("down 1 502,1002"), QStringLiteral("move 2,2397"),
                                                     QStringLiteral("up -3,2")}));
    // The selection is drawn and kept in picture pixels.
    display.setSelectionEnabled(true);
    send(display, QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton);
    send(display, QEvent::MouseMove, {30, 40}, Qt::NoButton, Qt::LeftButton);
    send(display, QEvent::MouseButtonRelease, {30, 40}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(QRect(QPoint(display.rectLeft(), display.rectTop()), QPoint(display.rectRight(), display.rectBottom())),
              QRect(QPoint(52, 102), QPoint(153, 203)));
    const QImage framed = display.grab().toImage();
    const QRgb edge = framed.pixel(10, 30) & 0xffffff;
    EXPECT_TRUE(edge == 0 || edge == 0xffffff) << "the outline sits on the shown pixels";
}
