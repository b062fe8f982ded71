// Today's phones: a canvas larger than the 480-pixel view is shown whole, and every tool used
// through the reduced view lands on the canvas pixels under the pointer.
#include "app/PageControl.h"
#include "app/ProgramSession.h"
#include "app/TfrMain.h"
#include "catalogue/pages/ModelSelectPage.h"
#include "decoration/DrawingLayers.h"
#include "decoration/pages/PenPage.h"
#include "decoration/pages/StampPage.h"
#include "decoration/pages/TextPage.h"
#include "foundation/Cp932.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "support/ScriptedPrompts.h"
#include "widgets/ImageDisplay.h"
#include "workspace/pages/MainPanel.h"
#include "workspace/pages/TfrView.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QMouseEvent>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <gtest/gtest.h>

namespace {

constexpr QRgb key = LayerKeyColor;

class LargeCanvasTest : public ::testing::Test
{
  protected:
    LargeCanvasTest()
    {
        QFile shipped(folder.filePath(QStringLiteral("mp_dat.sys")));
        EXPECT_TRUE(shipped.open(QIODevice::WriteOnly));
        shipped.write(Cp932::encode(QStringLiteral("キャリア,機種名,画面,備考,横,縦,色数,容量\r\n"
                                                   "DoCoMo,F900i,メイン,,240,320,18,97600\r\n")));
        shipped.close();
        EXPECT_TRUE(QFile::copy(QStringLiteral(PICTOREL_SOURCE_DIR "/data/mp_today.sys"),
                                folder.filePath(QStringLiteral("mp_today.sys"))));
        QDir(folder.path()).mkdir(QStringLiteral("stamp"));
        QImage stamp(10, 6, QImage::Format_RGB888);
        stamp.fill(QColor(255, 0, 0));
        EXPECT_TRUE(stamp.save(folder.filePath(QStringLiteral("stamp/block.png"))));
        hooks.loadSettings = hooks.saveSettings = hooks.updateCatalogue = hooks.loadBanner = [] {};
        session = std::make_unique<ProgramSession>(prompts, folder.path(), hooks);
        session->start();
        main = session->frMain();
    }
    void choose(const QString& carrier, const QString& model)
    {
        ModelSelectPage* page = main->tsSelectMP;
        page->setCarrierText(carrier);
        page->cbCarrierChange();
        page->setPhoneText(model);
        page->cbPhoneChange();
    }
    // A photo whose four quarters have their own colours.
    void loadQuarters(QSize size)
    {
        QImage photo(size, QImage::Format_RGB888);
        const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                photo.setPixelColor(x, y, colours[(y * 2 / size.height()) * 2 + x * 2 / size.width()]);
        const QString path = pictures.filePath(QStringLiteral("photo.png"));
        ASSERT_TRUE(photo.save(path));
        emit main->filesDropped({path});
        ASSERT_TRUE(prompts.shown.isEmpty());
    }
    void mouse(QEvent::Type type, QPoint at)
    {
        ImageDisplay* display = main->IkDispMain;
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), display->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(display, &event);
    }
    void click(QPoint at)
    {
        prompts.leftButton = true;
        mouse(QEvent::MouseButtonPress, at);
        mouse(QEvent::MouseButtonRelease, at);
        prompts.leftButton = false;
    }
    // The working layer's drawn pixels: what is not the key colour.
    QRect drawnArea() const
    {
        const QImage picture = session->workbench().layers.layer(0).picture;
        QRect area;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if ((picture.pixel(x, y) & 0xffffff) != (key & 0xffffff))
                    area |= QRect(x, y, 1, 1);
        return area;
    }

    QTemporaryDir folder;
    QTemporaryDir pictures;
    ScriptedPrompts prompts;
    StartupHooks hooks;
    std::unique_ptr<ProgramSession> session;
    TfrMain* main = nullptr;
};

} // namespace

TEST_F(LargeCanvasTest, TodaysScreensAreOfferedAfterTheShippedModels)
{
    ModelSelectPage* page = main->tsSelectMP;
    ASSERT_EQ(page->cbCarrier->count(), 2);
    EXPECT_EQ(page->cbCarrier->itemText(0), QStringLiteral("DoCoMo"));
    EXPECT_EQ(page->cbCarrier->itemText(1), QStringLiteral("スマートフォン"));
    // Every shipped class is a phone screen of today, in true colour, with a limit the field takes.
    int classes = 0;
    for (const TModelEntry& e : session->workbench().catalogue.entries()) {
        if (e.Carrier != QStringLiteral("スマートフォン"))
            continue;
        ++classes;
        SCOPED_TRACE(e.Name.toStdString());
        EXPECT_TRUE(e.Name.startsWith(QStringLiteral("縦長 ")));
        EXPECT_TRUE(e.Width >= 720 && e.Width <= 1440 && e.Height >= 1600 && e.Height <= 3200);
        EXPECT_EQ(e.ColorBits, 24);
        EXPECT_TRUE(e.SizeLimit >= 256 && e.SizeLimit <= 7372800);
    }
    EXPECT_GE(classes, 10);
    choose(QStringLiteral("スマートフォン"), QStringLiteral("縦長 20:9 FHD+"));
    EXPECT_EQ(session->workbench().targetModel.Width, 1080);
    EXPECT_EQ(session->workbench().targetModel.Height, 2400);
    EXPECT_EQ(page->edMpWidth->text(), QStringLiteral("1080"));
    EXPECT_EQ(page->csFS->text(), QStringLiteral("3000000"));
}

TEST_F(LargeCanvasTest, AFullHdPlusModelShowsAllOfItsCanvasInTheView)
{
    choose(QStringLiteral("スマートフォン"), QStringLiteral("縦長 20:9 FHD+"));
    loadQuarters({540, 1200});
    ImageDisplay* display = main->IkDispMain;
    EXPECT_EQ(display->image().size(), QSize(1080, 2400)) << "the canvas keeps its size";
    EXPECT_EQ(display->geometry(), QRect(132, 0, 216, 480)) << "centred in the view, all of it inside";
    const QImage shot = display->grab().toImage();
    EXPECT_EQ(shot.size(), QSize(216, 480));
    EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(215, 0), QColor(Qt::green));
    EXPECT_EQ(shot.pixelColor(0, 479), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(215, 479), QColor(Qt::yellow));
    // The guide lines cross in the middle of the shown canvas.
    choose(QStringLiteral("スマートフォン"), QStringLiteral("縦長 19.5:9 1179x2556"));
    EXPECT_EQ(display->geometry(), QRect(129, 0, 221, 480));
    EXPECT_EQ(main->mainPanel->GridV->x(), 129 + 110);
    EXPECT_EQ(main->mainPanel->GridH->y(), 240);
    // A phone of the catalogue's own keeps the view it always had.
    choose(QStringLiteral("DoCoMo"), QStringLiteral("F900i"));
    EXPECT_EQ(display->geometry(), QRect(122, 82, 240, 320));
    EXPECT_EQ(display->shownImage(), display->composedImage());
    EXPECT_EQ(main->mainPanel->GridV->x(), 240);
}

TEST_F(LargeCanvasTest, PenStampAndTextPlacedThroughTheReducedViewLandUnderThePointer)
{
    choose(QStringLiteral("スマートフォン"), QStringLiteral("縦長 20:9 FHD+"));
    loadQuarters({540, 1200});
    const QPoint pointer(100, 200);
    const QPoint under(502, 1002); // the canvas pixel in the middle of that 5 x 5 block

    main->pcMain->setActivePage(main->tsPen);
    click(pointer);
    // The dot's rectangle (500, 1000)-(503, 1003), as a click on that canvas pixel at scale 1 gives.
    EXPECT_EQ(drawnArea(), QRect(under - QPoint(2, 2), QSize(3, 3)));
    main->btClearDraw->click();

    main->tsStamp->IkThumbStampSelectFile(QStringLiteral("block.png"));
    main->pcMain->setActivePage(main->tsStamp);
    click(pointer);
    EXPECT_EQ(drawnArea(), QRect(under, QSize(10, 6))) << "the stamp at its own size, in canvas pixels";
    main->btClearDraw->click();

    main->tsText->edDrawText->setText(QStringLiteral("あ"));
    main->pcMain->setActivePage(main->tsText);
    click(pointer);
    const QRect text = drawnArea();
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(QRect(under, QSize(40, 40)).contains(text.topLeft())) << text.x() << "," << text.y();
    EXPECT_LT(text.width(), 40) << "9 points stay 9 points on the canvas";
}

TEST_F(LargeCanvasTest, TheSubWindowNeverExceedsTheScreen)
{
    choose(QStringLiteral("スマートフォン"), QStringLiteral("縦長 20:9 QHD+"));
    loadQuarters({1500, 3400});
    TfrView* view = session->frView();
    const QSize screen = view->screen()->availableGeometry().size();
    const WorkspaceGeometry& g = session->workbench().geometry;
    ASSERT_GT(g.workHeight, screen.height());
    EXPECT_LE(view->width(), screen.width());
    EXPECT_LE(view->height(), screen.height());
    EXPECT_EQ(view->IkDispOrg->shownImage().size(), view->IkDispOrg->size());
    EXPECT_EQ(view->clientSizeInPicturePixels(), QSize(g.workWidth, g.workHeight));
}
