#include "WorkspaceRig.h"
#include "imaging/codecs/JpegCodec.h"
#include "imaging/resampling/Resampler.h"
#include "widgets/ImageDisplay.h"
#include "workspace/pages/ImageSizePage.h"
#include "workspace/pages/TfrView.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTimer>
#include <QtGui/QMouseEvent>
#include <QtGui/QScreen>
#include <QtWidgets/QPushButton>
#include <gtest/gtest.h>

namespace {

void send(QWidget& widget, QEvent::Type type, QPoint at)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

class SubWindowTest : public ::testing::Test
{
  protected:
    SubWindowTest()
    {
        page.setSubWindowSize([this] { return view.size(); });
        QObject::connect(&view, &TfrView::resized, [this] { page.btResetSize->setEnabled(true); });
        view.show();
        view.setInitialSize();
        rig.load(gradientPicture(640, 480));
        settle();
        page.btResetSize->setEnabled(false);
    }
    // Lets the one-shot resize timer run.
    void settle()
    {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
            if (view.TimerView->isActive())
                view.TimerViewTimer();
        }
    }
    WorkspaceRig rig;
    TfrView view{rig.workspace, rig.prompts, [] { return false; }};
    ImageSizePage page{rig.workspace, rig.log};
};

} // namespace

TEST_F(SubWindowTest, ShowsTheWorkingImageWithTheFrame)
{
    EXPECT_EQ(view.size(), QSize(428, 321));
    EXPECT_EQ(view.IkDispOrg->image().size(), QSize(428, 321));
    EXPECT_EQ(QRect(QPoint(view.IkDispOrg->rectLeft(), view.IkDispOrg->rectTop()),
                    QPoint(view.IkDispOrg->rectRight(), view.IkDispOrg->rectBottom())),
              QRect(QPoint(94, 0), QPoint(334, 320)));
}

TEST_F(SubWindowTest, ResizingWithoutShiftStretchesThePicture)
{
    view.resize(300, 300);
    EXPECT_TRUE(page.btResetSize->isEnabled());
    settle();
    EXPECT_EQ(QSize(rig.geometry.workWidth, rig.geometry.workHeight), QSize(300, 300));
    EXPECT_EQ(rig.workspace.workingImage().size(), QSize(300, 300));
    EXPECT_EQ(view.size(), QSize(300, 300));
}

TEST_F(SubWindowTest, ResizingWithShiftKeepsTheProportions)
{
    rig.prompts.shift = true;
    view.resize(300, 300);
    settle();
    // 640 x 480 covering 300 x 300: a little larger than the box, and it stays so while Shift is held.
    EXPECT_EQ(QSize(rig.geometry.workWidth, rig.geometry.workHeight), QSize(401, 301));
    EXPECT_EQ(view.size(), QSize(401, 301));
    settle();
    EXPECT_EQ(view.size(), QSize(401, 301));
}

TEST_F(SubWindowTest, ReleasingAMovedFramePullsItBackIntoThePicture)
{
    view.IkDispOrg->setRect(300, 0, 540, 320); // dragged past the right edge
    view.IkDispOrgMouseUp();
    EXPECT_EQ(rig.geometry.offsetX, 188);
    EXPECT_EQ(view.IkDispOrg->rectLeft(), 188);
    EXPECT_EQ(view.IkDispOrg->rectRight(), 428);
}

TEST_F(SubWindowTest, FitsAndNudgesOnTheSizePage)
{
    page.btWJustFit->click();
    EXPECT_EQ(rig.workspace.workingImage().size(), QSize(240, 180));
    EXPECT_FALSE(page.btResetSize->isEnabled());
    page.btJustFit->click();
    EXPECT_EQ(rig.workspace.workingImage().size(), QSize(240, 320));
    EXPECT_TRUE(page.btResetSize->isEnabled());
    settle();
    for (int i = 0; i < 5; ++i)
        page.btXup->click();
    settle();
    EXPECT_EQ(rig.geometry.workWidth, 245);
    page.btResetSize->click();
    settle();
    EXPECT_FALSE(page.btResetSize->isEnabled());
    // Covering the sub-window's 245 x 320 with a 4:3 picture.
    EXPECT_EQ(QSize(rig.geometry.workWidth, rig.geometry.workHeight), QSize(428, 321));
    EXPECT_EQ(rig.log.count(), 2); // "横" and "同時"; nudges and restore are not logged
}

TEST_F(SubWindowTest, PositionButtonsMoveThePictureWithoutClamping)
{
    const int start = rig.geometry.offsetX;
    for (int i = 0; i < 10; ++i)
        page.btRight->click();
    EXPECT_EQ(rig.geometry.offsetX, start - 10);
    for (int i = 0; i < 200; ++i)
        page.btLeft->click();
    EXPECT_EQ(rig.geometry.offsetX, start + 190); // past the picture's edge
    page.btUp->click();
    EXPECT_EQ(rig.geometry.offsetY, 1);
}

TEST_F(SubWindowTest, CannotBeClosedKeepsItsPlaceAndStaysWithinTheScreen)
{
    EXPECT_FALSE(view.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(view.pos(), TfrView::FirstPosition);
    EXPECT_FALSE(view.close());
    EXPECT_TRUE(view.isVisible());
    // A picture larger than the screen: not even for a moment is the window larger than the screen.
    QList<QSize> sizes;
    QObject::connect(&view, &TfrView::resized, [&] { sizes << view.size(); });
    rig.load(gradientPicture(2400, 1800));
    settle();
    const QSize screen = view.screen()->availableGeometry().size();
    ASSERT_FALSE(sizes.isEmpty());
    for (const QSize& size : sizes)
        EXPECT_TRUE(size.width() <= screen.width() && size.height() <= screen.height())
            << size.width() << "x" << size.height();
    EXPECT_EQ(view.size(), QSize(rig.geometry.workWidth, rig.geometry.workHeight)); // covering the canvas
    EXPECT_EQ(view.pos(), TfrView::FirstPosition);
}

TEST_F(SubWindowTest, APanoramaWiderThanTheScreenIsShownReducedWithItsFrameInReach)
{
    rig.load(gradientPicture(4000, 800));
    settle();
    const QSize work(rig.geometry.workWidth, rig.geometry.workHeight);
    const QSize screen = view.screen()->availableGeometry().size();
    ASSERT_GT(work.width(), screen.width());
    EXPECT_LE(view.width(), screen.width());
    EXPECT_LE(view.height(), screen.height());
    EXPECT_TRUE(view.screen()->availableGeometry().contains(view.frameGeometry())) << "moved back into reach";
    ImageDisplay* display = view.IkDispOrg;
    EXPECT_EQ(display->size(), view.size());
    EXPECT_EQ(display->shownImage().size(), view.size()) << "the whole working image is shown";
    // The frame stays in working-image pixels, and all of it lies on the display.
    EXPECT_EQ(display->rectRight() - display->rectLeft(), 240);
    const ReducedView& shown = display->reducedView();
    const QPoint frameEnd = shown.toShown({display->rectRight(), display->rectBottom()});
    EXPECT_TRUE(QRect(QPoint(0, 0), view.size()).contains(frameEnd - QPoint(1, 1)));

    // Dragging the frame 60 screen pixels moves the crop by the working pixels under them.
    display->setFrameDragEnabled(true); // as start-up does
    const int before = rig.geometry.offsetX;
    const QPoint grip = shown.toShown({display->rectLeft() + 120, display->rectTop() + 100});
    send(*display, QEvent::MouseButtonPress, grip);
    send(*display, QEvent::MouseMove, grip + QPoint(60, 0));
    send(*display, QEvent::MouseButtonRelease, grip + QPoint(60, 0));
    const int moved = shown.toPicture(grip + QPoint(60, 0)).x() - shown.toPicture(grip).x();
    EXPECT_GT(moved, 100);
    EXPECT_EQ(rig.geometry.offsetX, before + moved);

    // The user's own resize keeps the reduction: the window stays as dragged, the picture grows
    // or shrinks in working pixels.
    const QSize dragged = view.size() - QSize(100, 0);
    view.resize(dragged);
    settle();
    EXPECT_NEAR(view.width(), dragged.width(), 1);
    EXPECT_NEAR(view.height(), dragged.height(), 1);
    EXPECT_NEAR(rig.geometry.workWidth, work.width() * dragged.width() / (dragged.width() + 100), 2);
    EXPECT_EQ(rig.geometry.workHeight, work.height());
}

TEST_F(SubWindowTest, APhotosReducedViewIsMadeWhileItDecodesFromTheWholePictureAtOnce)
{
    const QString path = rig.pictures.filePath(QStringLiteral("panorama.jpg"));
    ASSERT_TRUE(ImageFile::save(gradientPicture(4000, 800), path, FileFormat::Jpeg, EncodeOptions{90, 2, {}}));
    ASSERT_TRUE(rig.loader.load(path));
    settle();
    const QSize work(rig.geometry.workWidth, rig.geometry.workHeight);
    const QImage shown = view.IkDispOrg->shownImage();
    ASSERT_TRUE(view.IkDispOrg->reducedView().reduces());
    const DecodedImage decoded = JpegCodec::decodeCovering(*ImageFile::read(path), work);
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB888),
              Resampler::resize(decoded.image, shown.width(), shown.height()));
    EXPECT_TRUE(rig.prompts.shown.isEmpty());
}
