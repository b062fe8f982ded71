#include "app/ClickLabel.h"
#include "app/OptionEffectPage.h"
#include "app/OptionGeneralPage.h"
#include "app/OptionKestrixPage.h"
#include "app/OptionMarginPage.h"
#include "app/OptionTransferPage.h"
#include "app/PageControl.h"
#include "app/ProgramSession.h"
#include "app/TfrMain.h"
#include "app/TfrOption.h"
#include "catalogue/pages/ModelSelectPage.h"
#include "decoration/pages/CalendarPage.h"
#include "decoration/pages/PenPage.h"
#include "decoration/pages/TextPage.h"
#include "foundation/Cp932.h"
#include "imaging/codecs/ImageFile.h"
#include "support/QuietStart.h"
#include "support/ScriptedPrompts.h"
#include "widgets/ImageDisplay.h"
#include "widgets/NumericField.h"
#include "workspace/pages/MainPanel.h"
#include "workspace/pages/TfrView.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QToolButton>
#include <gtest/gtest.h>

namespace {

void leftClick(QWidget* widget)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

class OptionsDialogTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        QFile file(folder.filePath(QStringLiteral("mp_dat.sys")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Cp932::encode(QStringLiteral("キャリア,機種名,画面,備考,横,縦,色数,容量\r\n"
                                                "DoCoMo,F900i,メイン,,240,320,18,97600\r\n"
                                                "au,W21S,メイン,,120,160,16,102400\r\n")));
        file.close();
        session = start();
        dialog = session->frOption();
        options = &session->workbench().options;
    }
    std::unique_ptr<ProgramSession> start()
    {
        auto s = std::make_unique<ProgramSession>(prompts, folder.path(), bannerless());
        s->start();
        return s;
    }
    // Opens the dialog as "環境設定" does, without a modal loop.
    void open()
    {
        dialog->show();
        ASSERT_FALSE(dialog->btOption->isEnabled());
    }
    void loadBlackPicture(QSize size)
    {
        QImage picture(size, QImage::Format_RGB888);
        picture.fill(Qt::black);
        const QString path = pictures.filePath(QStringLiteral("p.png"));
        ASSERT_TRUE(ImageFile::save(picture, path, FileFormat::Png, EncodeOptions{}, nullptr));
        session->workbench().loader.load(path);
    }

    QTemporaryDir folder;
    QTemporaryDir pictures;
    ScriptedPrompts prompts;
    std::unique_ptr<ProgramSession> session;
    TfrOption* dialog = nullptr;
    ProgramOptions* options = nullptr;
};

} // namespace

TEST_F(OptionsDialogTest, HasItsSixPagesAndOpensOnTheFirst)
{
    EXPECT_EQ(dialog->pcOption->captions(),
              (QStringList{"一般", "画像の余白", "効果", "ファイル保存・転送", "KestrixNet", "バージョン情報"}));
    EXPECT_EQ(dialog->pcOption->activePageName(), QStringLiteral("tsGeneral"));
    EXPECT_EQ(dialog->size(), QSize(440, 528));
    EXPECT_TRUE(dialog->btOK->isDefault());
    EXPECT_EQ(dialog->pos(), QPoint(150, 150));
    const NumericField* ripple2 = dialog->findChild<NumericField*>(QStringLiteral("csRipple2"));
    ASSERT_NE(ripple2, nullptr);
    EXPECT_EQ(ripple2->text(), QStringLiteral("100"));
    EXPECT_EQ(ripple2->rule().maximum(), 255);
}

TEST_F(OptionsDialogTest, CancelRightAfterOpeningChangesNothing)
{
    dialog->tsGeneral->cbStayOnTop->setChecked(true);
    dialog->tsEffect->fields[0]->setText(QStringLiteral("500")); // typed beyond the range
    const ProgramOptions before = *options;
    EXPECT_EQ(before.effects.oilBrush, 100); // the effect gets a value within the range
    open();
    dialog->btCancel->click();
    EXPECT_EQ(*options, before);
    EXPECT_TRUE(dialog->tsGeneral->cbStayOnTop->isChecked());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(OptionsDialogTest, GuideLinesFollowAtOnceAndCancelHidesThemAgain)
{
    MainPanel* panel = session->frMain()->mainPanel;
    open();
    prompts.colors.enqueue(QColor(Qt::red));
    dialog->tsGeneral->cbGuide->click();
    dialog->tsGeneral->btChangeGuideLineColor->click();
    EXPECT_TRUE(panel->GridV->isVisibleTo(panel) && panel->GridH->isVisibleTo(panel));
    EXPECT_EQ(panel->GridH->palette().color(QPalette::Window), QColor(Qt::red));
    EXPECT_TRUE(options->showGuides);
    EXPECT_TRUE(dialog->btOption->isEnabled());
    dialog->btCancel->click();
    EXPECT_FALSE(panel->GridV->isVisibleTo(panel) || panel->GridH->isVisibleTo(panel));
    EXPECT_EQ(panel->GridV->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_FALSE(options->showGuides);
}

TEST_F(OptionsDialogTest, PlacementShowsAtOkAndMarginColourOnTheDisplayAtOnce)
{
    loadBlackPicture(QSize(640, 480));
    session->workbench().workspace.ComposeCanvas(400, 0, true); // a cut narrower than the canvas
    const QImage centred = session->workbench().workspace.workspaceImage();
    open();
    prompts.colors.enqueue(QColor(0, 0, 255));
    dialog->tsMergin->btChangeMerginCol->click();
    EXPECT_EQ(session->frMain()->IkDispMain->backColor(), QColor(0, 0, 255));
    leftClick(dialog->tsMergin->mg[8]);
    EXPECT_EQ(session->workbench().workspace.workspaceImage(), centred); // not before it is composed
    EXPECT_EQ(dialog->tsMergin->mg[8]->palette().color(QPalette::Window), QColor(128, 0, 0));
    dialog->btOK->click();
    const QImage placed = session->workbench().workspace.workspaceImage();
    EXPECT_EQ(placed.pixelColor(0, 10), QColor(0, 0, 255));
    EXPECT_EQ(placed.pixelColor(placed.width() - 1, 10), QColor(0, 0, 0));
}

TEST_F(OptionsDialogTest, StayOnTopAloneEnablesNothingAndApplyActsOnTheSubWindow)
{
    open();
    dialog->tsGeneral->cbStayOnTop->click();
    EXPECT_FALSE(dialog->btOption->isEnabled());
    EXPECT_TRUE(options->stayOnTop); // read at the next start
    EXPECT_FALSE(session->frView()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    dialog->tsGeneral->cbAutoCheck->click();
    ASSERT_TRUE(dialog->btOption->isEnabled());
    dialog->btOption->click();
    EXPECT_TRUE(session->frView()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(dialog->btOption->isEnabled());
    dialog->tsGeneral->cbAutoCheck->click();
    dialog->btCancel->click(); // back to the point "適用(&A)" took
    EXPECT_TRUE(options->autoCheck);
    EXPECT_TRUE(options->stayOnTop);
}

TEST_F(OptionsDialogTest, AccountFieldsGoAtOnceToTheMainWindowsCopyAndCancelRestoresThem)
{
    dialog->tsKestrix->edJEXuid->setText(QStringLiteral("old"));
    open();
    dialog->tsKestrix->edJEXuid->end(false);
    dialog->tsKestrix->edJEXuid->insert(QStringLiteral("er"));
    dialog->tsKestrix->edJEXpass->setText(QStringLiteral("pw"));
    EXPECT_EQ(options->account.userId, QStringLiteral("older"));
    EXPECT_EQ(options->account.password, QStringLiteral("pw"));
    dialog->btCancel->click();
    EXPECT_EQ(dialog->tsKestrix->edJEXuid->text(), QStringLiteral("old"));
    EXPECT_EQ(options->account.userId, QStringLiteral("old"));
    EXPECT_TRUE(options->account.password.isEmpty());
}

TEST_F(OptionsDialogTest, PasswordsShowAsStars)
{
    for (QLineEdit* field : {dialog->tsKestrix->edJEXpass, dialog->tsTrans->edSockPassword}) {
        field->setText(QStringLiteral("pw1"));
        EXPECT_EQ(field->displayText(), QStringLiteral("***")) << field->objectName().toStdString();
        EXPECT_EQ(field->text(), QStringLiteral("pw1"));
    }
}

TEST_F(OptionsDialogTest, SwitchesEnableTheirFieldsAndOneFormatStaysPressed)
{
    OptionGeneralPage* general = dialog->tsGeneral;
    OptionTransferPage* transfer = dialog->tsTrans;
    EXPECT_FALSE(general->edProxy->isEnabled() || general->lbPort->isEnabled());
    general->rbInDirect->click();
    EXPECT_TRUE(general->edProxy->isEnabled() && general->lbPort->isEnabled());
    EXPECT_TRUE(options->useProxy);
    EXPECT_FALSE(transfer->edSockServer->isEnabled() || transfer->edSockPassword->isEnabled());
    transfer->cbSocks->click();
    EXPECT_TRUE(transfer->edSockServer->isEnabled() && transfer->edSockPassword->isEnabled());
    EXPECT_EQ(transfer->edSockPassword->echoMode(), QLineEdit::Password);
    transfer->sbJPEG->click(); // the pressed one cannot be released
    EXPECT_TRUE(transfer->sbJPEG->isChecked());
    transfer->sbGIF->click();
    EXPECT_FALSE(transfer->sbJPEG->isChecked());
    EXPECT_EQ(options->saveFormat, SaveFormatChoice::Gif);
    transfer->cbDither->click();
    EXPECT_FALSE(options->dither);
}

TEST_F(OptionsDialogTest, LinkControlsReportTheirClicks)
{
    QStringList clicks;
    QObject::connect(dialog, &TfrOption::ImageLogoClick, [&] { clicks << "logo"; });
    QObject::connect(dialog, &TfrOption::ImagePayClick, [&] { clicks << "pay"; });
    QObject::connect(dialog, &TfrOption::ImageKestrixClick, [&] { clicks << "kestrix"; });
    QObject::connect(dialog, &TfrOption::btJEXregistClick, [&] { clicks << "regist"; });
    for (const char* name : {"ImageLogo", "ImagePay", "ImageKestrix"})
        leftClick(dialog->findChild<ClickLabel*>(QLatin1String(name)));
    dialog->tsKestrix->btJEXregist->click();
    EXPECT_EQ(clicks, (QStringList{"logo", "pay", "kestrix", "regist"}));
    EXPECT_FALSE(dialog->findChild<ClickLabel*>(QStringLiteral("ImageLogo"))->pixmap().isNull());
}

TEST_F(OptionsDialogTest, ARestartRemembersModelWindowsAndOptions)
{
    // The first start puts the main window's frame, not its own area, at the stored place, so its
    // title bar is on the screen.
    QCoreApplication::processEvents();
    EXPECT_EQ(session->frMain()->frameGeometry().topLeft(), QPoint(10, 10));
    ModelSelectPage* page = session->frMain()->tsSelectMP;
    page->setCarrierText(QStringLiteral("au"));
    page->cbCarrierChange();
    page->csFS->setText(QStringLiteral("5000"));
    session->frMain()->move(40, 60);
    session->frView()->move(300, 200);
    dialog->move(70, 80);
    dialog->tsEffect->fields[4]->setText(QStringLiteral("17"));
    dialog->tsEffect->rbWaves1->click();
    dialog->tsTrans->sbBMP->click();
    dialog->tsGeneral->cbGuide->click();
    dialog->tsKestrix->edJEXaddress->setText(QStringLiteral("me@phone.example"));
    TfrMain* main = session->frMain();
    main->tsPen->csLineWidth->setValue(9);
    main->tsText->cbTextAngle->setEditText(QStringLiteral("90度"));
    main->tsText->csShadowDistance->setValue(6);
    main->tsCalender->csCalHSpace->setValue(30);
    const ProgramOptions before = *options;
    session->frMain()->close();
    session.reset();

    session = start();
    page = session->frMain()->tsSelectMP;
    EXPECT_EQ(page->carrierText(), QStringLiteral("au"));
    EXPECT_EQ(page->phoneText(), QStringLiteral("W21S"));
    EXPECT_EQ(session->workbench().targetModel.Width, 120);
    EXPECT_EQ(page->csFS->text(), QStringLiteral("5000"));
    QCoreApplication::processEvents(); // the window system reports where it put the main window's frame
    EXPECT_EQ(session->frMain()->pos(), QPoint(40, 60));
    EXPECT_EQ(session->frView()->pos(), QPoint(300, 200));
    EXPECT_EQ(session->frOption()->pos(), QPoint(70, 80));
    EXPECT_EQ(session->workbench().options, before);
    EXPECT_TRUE(session->frMain()->mainPanel->GridV->isVisibleTo(session->frMain()));
    main = session->frMain();
    EXPECT_EQ(main->tsText->cbTextAngle->currentText(), QStringLiteral("90度"));
    EXPECT_EQ(main->tsText->csShadowDistance->value(), 6);
    EXPECT_EQ(main->tsPen->csLineWidth->value(), 3); // the pen and the calendar start afresh
    EXPECT_EQ(main->tsCalender->csCalHSpace->value(), 15);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(OptionsDialogTest, ShutdownReportsAnUnwritableSettingsFileOnceAndStillEnds)
{
    const QString path = session->settings().file().path();
    ASSERT_TRUE(QDir().mkdir(path)); // a folder where the file should be
    session->frMain()->close();
    EXPECT_TRUE(session->ended());
    EXPECT_EQ(prompts.texts(), QStringList{path + QStringLiteral(" に書き込めません")});
    EXPECT_EQ(prompts.shown.value(0).kind, MessageKind::Error);
}
