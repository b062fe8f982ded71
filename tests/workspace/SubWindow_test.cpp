#include "WorkspaceRig.h"
#include "widgets/ImageDisplay.h"
#include "workspace/ImageSizePage.h"
#include "workspace/TfrView.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtWidgets/QPushButton>
#include <gtest/gtest.h>

namespace {

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
