#include "app/PageControl.h"
#include "app/ProgramSession.h"
#include "app/TfrColCheck.h"
#include "app/TfrMain.h"
#include "app/TfrProgress.h"
#include "catalogue/pages/ModelSelectPage.h"
#include "decoration/DrawingLayers.h"
#include "decoration/pages/PenPage.h"
#include "decoration/pages/StampPage.h"
#include "decoration/pages/TextPage.h"
#include "foundation/Cp932.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "support/QuietStart.h"
#include "support/ScriptedPrompts.h"
#include "widgets/ImageDisplay.h"
#include "widgets/ThumbnailList.h"
#include "workspace/pages/EffectPage.h"
#include "workspace/pages/ImageSizePage.h"
#include "workspace/pages/LoadImagePage.h"
#include "workspace/pages/TfrView.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QClipboard>
#include <QtGui/QKeyEvent>
#include <QtGui/QScreen>
#include <QtNetwork/QTcpServer>
#include <QtNetwork/QTcpSocket>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolButton>
#include <gtest/gtest.h>

namespace {

const char* catalogueText = "キャリア,機種名,画面,備考,横,縦,色数,容量\r\n"
                            "DoCoMo,F900i,メイン,,240,320,18,97600\r\n"
                            "au,W21S,メイン,,240,320,16,102400\r\n";

class ProgramSessionTest : public ::testing::Test
{
  protected:
    void writeCatalogue(const char* utf8)
    {
        QFile file(folder.filePath(QStringLiteral("mp_dat.sys")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Cp932::encode(QString::fromUtf8(utf8)));
    }
    void touch(const QString& name)
    {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    std::unique_ptr<ProgramSession> start()
    {
        hooks.saveSettings = [this] { calls << QStringLiteral("saveSettings"); };
        hooks.loadSettings = [this] { calls << QStringLiteral("loadSettings"); };
        hooks.updateCatalogue = [this] { calls << QStringLiteral("updateCatalogue"); };
        hooks.loadBanner = [this] { calls << QStringLiteral("loadBanner"); };
        auto session = std::make_unique<ProgramSession>(prompts, folder.path(), hooks);
        session->start();
        return session;
    }
    // Starts with DoCoMo's first model (240 x 320) and a 640 x 480 photo ready to drop.
    QString startWithAPhoto(const char* format, std::unique_ptr<ProgramSession>& session)
    {
        writeCatalogue(catalogueText);
        session = start();
        ModelSelectPage* page = session->frMain()->tsSelectMP;
        page->setCarrierText(QStringLiteral("DoCoMo"));
        page->cbCarrierChange();
        const QString path = pictures.filePath(QStringLiteral("photo.") + QLatin1String(format));
        QImage photo(640, 480, QImage::Format_RGB888);
        photo.fill(QColor(20, 120, 220));
        return photo.save(path, format) ? path : QString();
    }
    // Answers the colour-depth dialog once it is shown modally.
    void answerColCheckWith(bool yes)
    {
        QTimer::singleShot(0, [yes] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<TfrColCheck*>(w); dialog && dialog->isVisible())
                    (yes ? dialog->btYes : dialog->btNo)->click();
        });
    }

    QTemporaryDir folder;
    QTemporaryDir pictures;
    ScriptedPrompts prompts;
    StartupHooks hooks = bannerless();
    QStringList calls;
};

} // namespace

TEST_F(ProgramSessionTest, CreatesTheWindowsInTheirOrderWithTheirCaptions)
{
    writeCatalogue(catalogueText);
    auto session = start();
    QStringList names;
    QStringList titles;
    for (const QWidget* w : session->windows()) {
        names << w->objectName();
        titles << w->windowTitle();
    }
    EXPECT_EQ(names, (QStringList{"frMain", "frOption", "frDirectSize", "frPreview", "frCalender", "frProgress",
                                  "frColCheck", "frView"}));
    EXPECT_EQ(titles, (QStringList{"Pictorel", "環境設定", "画面の大きさを直接入力", "作成画像のプレビュー",
                                   "カレンダーの設定", "処理中です...", "警告", "サブウィンドウ"}));
    EXPECT_TRUE(session->frMain()->isVisible());
    EXPECT_TRUE(session->frView()->isVisible());
    EXPECT_FALSE(session->frProgress()->isVisible());
    EXPECT_EQ(session->frMain()->size(), QSize(896, 609));
    EXPECT_FALSE(session->frView()->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(session->ended());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(ProgramSessionTest, PagesCarryTheirNamesAndStartOnModelChoice)
{
    writeCatalogue(catalogueText);
    auto session = start();
    PageControl* pages = session->frMain()->pcMain;
    QStringList names;
    for (int i = 0; i < pages->count(); ++i)
        names << pages->page(i)->objectName();
    EXPECT_EQ(names, (QStringList{"tsSelectMP", "tsLoadImage", "tsImageSize", "tsTune", "tsEffect", "tsCalender",
                                  "tsPen", "tsText", "tsStamp", "tsFrames"}));
    EXPECT_EQ(pages->captions().mid(0, 7), (QStringList{" 機種選択 ", " 画像読込 ", "画像サイズ", " 画質調整 ",
                                                        " 画像効果 ", "カレンダー", " 絵を描く "}));
    EXPECT_EQ(pages->activePageName(), QStringLiteral("tsSelectMP"));
}

TEST_F(ProgramSessionTest, StartUpRunsTheSettingsStepsAroundTheModelChoice)
{
    writeCatalogue(catalogueText);
    int step = 0;
    hooks.loadSettings = [&] {
        ModelSelectPage* page = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* main = qobject_cast<TfrMain*>(w))
                page = main->tsSelectMP;
        ASSERT_NE(page, nullptr);
        if (++step == 1) { // the stored texts
            page->setCarrierText(QStringLiteral("au"));
            page->setPhoneText(QStringLiteral("W21S"));
        } else if (step == 2) { // carrier change replaced the model; put it back
            EXPECT_EQ(page->phoneText(), QStringLiteral("W21S"));
        } else {
            page->csFS->setText(QStringLiteral("5000")); // a stored, edited limit
        }
    };
    ScriptedPrompts local;
    ProgramSession session(local, folder.path(), hooks);
    session.start();
    EXPECT_EQ(step, 3);
    EXPECT_EQ(session.workbench().targetModel.Name, QStringLiteral("W21S"));
    EXPECT_EQ(session.frMain()->tsSelectMP->csFS->text(), QStringLiteral("5000"));
    EXPECT_EQ(session.frMain()->tsSelectMP->carrierText(), QStringLiteral("au"));
}

TEST_F(ProgramSessionTest, ChoosingAModelResizesAndCentresTheMainDisplay)
{
    writeCatalogue(catalogueText);
    auto session = start();
    ModelSelectPage* page = session->frMain()->tsSelectMP;
    page->setCarrierText(QStringLiteral("DoCoMo"));
    page->cbCarrierChange();
    QWidget* display = session->frMain()->IkDispMain;
    EXPECT_EQ(display->geometry(), QRect(122, 82, 240, 320));
    page->setPhoneText(QStringLiteral("nothing"));
    page->cbPhoneChange();
    EXPECT_EQ(display->geometry(), QRect(2, 2, 480, 480));
}

TEST_F(ProgramSessionTest, MissingCatalogueEndsTheProgramAfterSavingSettings)
{
    auto session = start();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(prompts.shown[0].text.startsWith(QStringLiteral("mp_dat.sys が見つからなかったため")));
    EXPECT_TRUE(session->ended());
    EXPECT_FALSE(session->frMain()->isVisible());
    EXPECT_EQ(calls.count(QStringLiteral("saveSettings")), 1);
    // Steps after the close still run before the program returns to the event loop.
    EXPECT_EQ(calls.last(), QStringLiteral("loadBanner"));
}

TEST_F(ProgramSessionTest, MalformedCatalogueShowsTheConversionErrorAndEnds)
{
    writeCatalogue("h\r\nDoCoMo,F900i,メイン,,240,32O,18,97600\r\n");
    auto session = start();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, MessageKind::Error);
    EXPECT_TRUE(prompts.shown[0].text.startsWith(QStringLiteral("'32O' は整数ではありません")));
    EXPECT_TRUE(session->ended());
}

TEST_F(ProgramSessionTest, LowColourDepthAsksTwiceAndNoEndsTheProgram)
{
    writeCatalogue(catalogueText);
    prompts.depth = 16;
    prompts.answers.enqueue(Answer::Yes);
    answerColCheckWith(false);
    auto session = start();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, MessageKind::Warning);
    EXPECT_EQ(prompts.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(session->ended());
    EXPECT_EQ(calls.count(QStringLiteral("saveSettings")), 1);
}

TEST_F(ProgramSessionTest, LowColourDepthAnsweredYesTwiceRunsNormally)
{
    writeCatalogue(catalogueText);
    prompts.depth = 16;
    prompts.answers.enqueue(Answer::Yes);
    answerColCheckWith(true);
    auto session = start();
    EXPECT_FALSE(session->ended());
}

TEST_F(ProgramSessionTest, NoAtTheFirstColourQuestionExplainsAndEnds)
{
    writeCatalogue(catalogueText);
    prompts.depth = 16;
    prompts.answers.enqueue(Answer::No);
    answerColCheckWith(true);
    auto session = start();
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].kind, MessageKind::Information);
    EXPECT_TRUE(prompts.shown[1].text.startsWith(QStringLiteral("画面のプロパティを開き")));
    EXPECT_TRUE(session->ended());
}

TEST_F(ProgramSessionTest, AutoCheckRunsTheCatalogueUpdateAtStartUp)
{
    writeCatalogue(catalogueText);
    hooks.autoCheckOption = [] { return true; };
    auto session = start();
    EXPECT_EQ(calls.count(QStringLiteral("updateCatalogue")), 1);
}

TEST_F(ProgramSessionTest, AnUnreachableCatalogueServerAtStartUpIsReportedAndStartUpGoesOn)
{
    writeCatalogue(catalogueText);
    ProgramSession* running = nullptr;
    const quint16 closedPort = [] {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }();
    hooks.loadSettings = [&] {
        ProgramOptions& options = running->workbench().options;
        options.autoCheck = true;
        options.services.catalogueUrl = QStringLiteral("http://127.0.0.1:%1/mp_dat.sys").arg(closedPort);
    };
    hooks.loadBanner = [&] { calls << QStringLiteral("loadBanner"); };
    ProgramSession session(prompts, folder.path(), hooks);
    running = &session;
    session.start();
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("機種情報ファイルサーバへの接続に失敗しました。")});
    EXPECT_EQ(calls, QStringList{QStringLiteral("loadBanner")}); // start-up went on
    EXPECT_FALSE(session.ended());
    EXPECT_FALSE(session.frProgress()->isVisible());
    EXPECT_EQ(session.workbench().catalogue.modelCount(), 2);
}

TEST_F(ProgramSessionTest, ShutdownRemovesUndoImagesUpToTheFirstGapAndSendFiles)
{
    writeCatalogue(catalogueText);
    for (const char* name : {"temp-0.bmp", "temp-1.bmp", "temp-3.bmp", "send_img.jpg", "send_img.png"})
        touch(QLatin1String(name));
    auto session = start();
    session->frMain()->btEnd->click();
    EXPECT_TRUE(session->ended());
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("temp-0.bmp"))));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("temp-1.bmp"))));
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("temp-3.bmp"))));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("send_img.jpg"))));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("send_img.png"))));
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("mp_dat.sys"))));
    EXPECT_FALSE(session->frMain()->btUndo->isEnabled());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(ProgramSessionTest, EscapeClearsTheDrawingOnlyWhenClearingIsEnabled)
{
    writeCatalogue(catalogueText);
    auto session = start();
    DrawingLayers& layers = session->workbench().layers;
    layers.InstallLayerPicture(layers.ScratchSurface());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(session->frMain(), &escape);
    EXPECT_TRUE(layers.layer(0).visible); // nothing pending: Escape does nothing
    layers.MarkDrawingPending();
    EXPECT_TRUE(session->frMain()->btClearDraw->isEnabled());
    EXPECT_TRUE(session->frMain()->mnDecide->isEnabled());
    QApplication::sendEvent(session->frMain(), &escape);
    EXPECT_FALSE(layers.layer(0).visible);
    EXPECT_FALSE(session->frMain()->btClearDraw->isEnabled());
    EXPECT_FALSE(session->frMain()->mnClear->isEnabled());
}

TEST_F(ProgramSessionTest, ProgressDialogShowsEachStepAtOnce)
{
    writeCatalogue(catalogueText);
    auto session = start();
    TfrProgress* progress = session->frProgress();
    {
        ProgressScope scope(*progress, 4);
        EXPECT_TRUE(progress->isVisible());
        EXPECT_EQ(progress->cgProgress->maximum(), 4);
        EXPECT_EQ(progress->cgProgress->value(), 0);
        scope.step(2, QStringLiteral("品質を調整しています"));
        EXPECT_EQ(progress->cgProgress->value(), 2);
        EXPECT_EQ(progress->lbMessage->text(), QStringLiteral("品質を調整しています"));
    }
    EXPECT_FALSE(progress->isVisible());
}

TEST_F(ProgramSessionTest, ALoadedPictureShowsOnTheCanvasAndADropReplacesIt)
{
    std::unique_ptr<ProgramSession> session;
    const QString path = startWithAPhoto("JPG", session);
    ASSERT_FALSE(path.isEmpty());
    ModelSelectPage* page = session->frMain()->tsSelectMP;
    emit session->frMain()->filesDropped({path});
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(session->frMain()->IkDispMain->image().size(), QSize(240, 320));
    EXPECT_EQ(session->frView()->size(), QSize(428, 321));
    EXPECT_FALSE(session->frMain()->btUndo->isEnabled());
    EXPECT_FALSE(session->frMain()->tsImageSize->btResetSize->isEnabled());
    // A larger canvas keeps the working size: the picture sits on the margin colour.
    page->setPhoneText(QStringLiteral("nothing"));
    page->cbPhoneChange();
    const QImage canvas = session->frMain()->IkDispMain->image();
    EXPECT_EQ(canvas.size(), QSize(480, 480));
    EXPECT_EQ(canvas.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(session->workbench().geometry.offsetX, -52);
}

namespace {

void mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void drag(QWidget* target, QPoint from, QPoint to)
{
    mouse(target, QEvent::MouseButtonPress, from);
    mouse(target, QEvent::MouseMove, to, Qt::NoButton);
    mouse(target, QEvent::MouseButtonRelease, to);
}

void pressKey(QWidget* target, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

} // namespace

TEST_F(ProgramSessionTest, ThePenPageDrawsOnTheCanvasWhereOtherPagesSelect)
{
    writeCatalogue(catalogueText);
    auto session = start();
    TfrMain* main = session->frMain();
    ImageDisplay* display = main->IkDispMain;
    DrawingLayers& layers = session->workbench().layers;

    main->pcMain->setActivePage(main->tsEffect);
    drag(display, {10, 10}, {60, 50});
    EXPECT_EQ(display->rectRight(), 61) << "no tool here: the drag selects";
    EXPECT_TRUE(layers.layer(0).picture.isNull());

    display->clearSelection();
    const int clearedRight = display->rectRight();
    main->pcMain->setActivePage(main->tsPen);
    prompts.leftButton = true;
    drag(display, {20, 20}, {40, 30});
    EXPECT_EQ(display->rectRight(), clearedRight) << "a drag on the pen page draws instead of selecting";
    const QImage drawn = layers.layer(0).picture;
    ASSERT_FALSE(drawn.isNull());
    EXPECT_EQ(drawn.pixel(19, 19), qRgb(0, 0, 0)); // a 3-pixel dot centres up and left
    EXPECT_EQ(drawn.pixel(39, 29), qRgb(0, 0, 0)) << "the move drew the second dot";
    EXPECT_TRUE(main->btDecideDraw->isEnabled());

    prompts.leftButton = false; // the button came up before the move arrived
    mouse(display, QEvent::MouseMove, {100, 100}, Qt::NoButton);
    EXPECT_EQ(layers.layer(0).picture.pixel(100, 100), LayerKeyColor);
}

TEST_F(ProgramSessionTest, EnterPressesTheFocusedButtonAndEndsTheProgramOnlyFromOtherControls)
{
    writeCatalogue(catalogueText);
    auto session = start();
    TfrMain* main = session->frMain();
    // A clicked button keeps the focus: Enter presses it again ("保存する" without a picture says so).
    pressKey(main->btSave, Qt::Key_Return);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("画像が読み込まれていません。")});
    // A page tab.
    auto* tab = main->pcMain->findChild<QToolButton*>(QStringLiteral("tsLoadImageTab"));
    ASSERT_NE(tab, nullptr);
    tab->click();
    pressKey(tab, Qt::Key_Enter);
    EXPECT_EQ(main->pcMain->activePageName(), QStringLiteral("tsLoadImage"));
    // A window made anywhere else in the program, which has no default-button handling of its own.
    QWidget other;
    auto* focused = new QPushButton(QStringLiteral("focused"), &other);
    int clicks = 0;
    QObject::connect(focused, &QPushButton::clicked, [&clicks] { ++clicks; });
    other.show();
    pressKey(focused, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    // The model list: Enter confirms the typed model.
    ModelSelectPage* page = main->tsSelectMP;
    page->setCarrierText(QStringLiteral("DoCoMo"));
    page->cbCarrierChange();
    page->setPhoneText(QStringLiteral("W21S"));
    pressKey(page->cbPhone->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(page->edMpCol->text(), QStringLiteral("16"));
    EXPECT_EQ(page->sizeLimitText(), QStringLiteral("102400"));
    EXPECT_FALSE(session->ended());
    // A control that does not take Enter leaves it to "終了する".
    pressKey(page->edMpWidth, Qt::Key_Return);
    EXPECT_TRUE(session->ended());
}

TEST_F(ProgramSessionTest, EscapeClearsOnlyWhileTheWindowOrItsDisplayHasTheFocus)
{
    writeCatalogue(catalogueText);
    auto session = start();
    TfrMain* main = session->frMain();
    DrawingLayers& layers = session->workbench().layers;
    layers.InstallLayerPicture(layers.ScratchSurface());
    layers.MarkDrawingPending();
    main->btOption->setFocus();
    pressKey(main->btOption, Qt::Key_Escape);
    EXPECT_TRUE(layers.drawingPending());
    main->IkDispMain->setFocus();
    pressKey(main->IkDispMain, Qt::Key_Escape);
    EXPECT_FALSE(layers.drawingPending());
}

TEST_F(ProgramSessionTest, ANewPictureStartsWithoutTheOldSelection)
{
    std::unique_ptr<ProgramSession> session;
    const QString path = startWithAPhoto("png", session);
    ASSERT_FALSE(path.isEmpty());
    emit session->frMain()->filesDropped({path});
    ImageDisplay* display = session->frMain()->IkDispMain;
    display->setRect(10, 20, 60, 90); // the user's selection on the old picture
    emit session->frMain()->filesDropped({path});
    EXPECT_EQ(display->rectRight(), 0);
    EXPECT_EQ(display->rectBottom(), 0);
    // The source display shows the new picture's frame again.
    ImageDisplay* source = session->frView()->IkDispOrg;
    EXPECT_EQ(source->rectRight() - source->rectLeft(), 240);
    EXPECT_EQ(source->rectBottom() - source->rectTop(), 320);
}

TEST_F(ProgramSessionTest, APictureNamedAtStartUpOpensAfterTheStoredModelAsADropWould)
{
    writeCatalogue("キャリア,機種名,画面,備考,横,縦,色数,容量\r\n"
                   "DoCoMo,F900i,メイン,,240,320,18,97600\r\n"
                   "au,A5501T,メイン,,120,160,16,20480\r\n");
    const QString path = pictures.filePath(QStringLiteral("photo.JPG"));
    QImage photo(640, 480, QImage::Format_RGB888);
    photo.fill(QColor(20, 120, 220));
    ASSERT_TRUE(photo.save(path, "JPEG"));
    struct Case
    {
        QString picture;
        QString message; // empty: the picture is on the canvas
    };
    const Case cases[] = {
        {path, {}},
        {pictures.filePath(QStringLiteral("missing.jpg")), QStringLiteral("画像を読み込めませんでした。\nmissing.jpg")},
        {pictures.filePath(QStringLiteral("notes.txt")), QStringLiteral("未対応の画像形式です。")},
    };
    for (const Case& c : cases) {
        prompts.shown.clear();
        ProgramSession* running = nullptr;
        hooks.loadSettings = [&running] { running->frMain()->tsSelectMP->setCarrierText(QStringLiteral("au")); };
        ProgramSession session(prompts, folder.path(), hooks);
        running = &session;
        session.start({c.picture});
        SCOPED_TRACE(c.picture.toStdString());
        EXPECT_FALSE(session.ended());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.texts().join(QLatin1Char('\n')).toStdString();
            // Fitted onto the stored model's canvas, not the one before it.
            const QImage canvas = session.frMain()->IkDispMain->image();
            ASSERT_EQ(canvas.size(), QSize(120, 160));
            EXPECT_LT(std::abs(canvas.pixelColor(60, 80).blue() - 220), 8);
        } else {
            ASSERT_EQ(prompts.shown.size(), 1);
            EXPECT_EQ(prompts.shown[0].kind, MessageKind::Error);
            EXPECT_TRUE(prompts.shown[0].text.startsWith(c.message)) << prompts.shown[0].text.toStdString();
            EXPECT_FALSE(session.workbench().workspace.hasPicture());
        }
    }
}

TEST_F(ProgramSessionTest, ASecondCopyOnTheSameFolderSaysSoAndEndsUntouched)
{
    writeCatalogue(catalogueText);
    auto first = start();
    ASSERT_FALSE(first->ended());
    touch(QStringLiteral("temp-0.bmp"));
    ScriptedPrompts secondPrompts;
    StartupHooks secondHooks;
    secondHooks.saveSettings = [this] { calls << QStringLiteral("second saveSettings"); };
    {
        ProgramSession second(secondPrompts, folder.path(), bannerless(secondHooks));
        second.start();
        EXPECT_TRUE(second.ended());
        EXPECT_EQ(second.frMain(), nullptr);
        ASSERT_EQ(secondPrompts.shown.size(), 1);
        EXPECT_EQ(secondPrompts.shown[0].kind, MessageKind::Error);
        EXPECT_TRUE(secondPrompts.shown[0].text.contains(QStringLiteral("既に起動しています")));
    }
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("temp-0.bmp"))));
    EXPECT_FALSE(calls.contains(QStringLiteral("second saveSettings")));
    first.reset(); // the folder is free again once the first copy is gone
    ScriptedPrompts thirdPrompts;
    ProgramSession third(thirdPrompts, folder.path(), bannerless());
    third.start();
    EXPECT_FALSE(third.ended());
}

namespace {

bool activate(QWidget* window)
{
    window->activateWindow();
    QElapsedTimer waited;
    waited.start();
    while (QApplication::activeWindow() != window && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return QApplication::activeWindow() == window;
}

} // namespace

// Enter in the text field, a numeric field, a drop-down list or a picture list confirms there
// and never reaches "終了する": the program and its undo images stay. "終了する" with the focus
// still ends it on Enter.
TEST_F(ProgramSessionTest, EnterInAnEntryLeavesTheProgramRunning)
{
    writeCatalogue(catalogueText);
    auto session = start();
    touch(QStringLiteral("temp-0.bmp"));
    TfrMain* main = session->frMain();
    const std::pair<QWidget*, QWidget*> entries[] = {
        {main->tsText, main->tsText->edDrawText},      {main->tsText, main->tsText->csShadowDistance},
        {main->tsText, main->tsText->cbTextDirection}, {main->tsStamp, main->tsStamp->IkThumbStamp},
        {main->tsSelectMP, main->tsSelectMP->csFS},
    };
    for (const auto& [page, entry] : entries) {
        SCOPED_TRACE(entry->objectName().toStdString());
        main->pcMain->setActivePage(page);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            entry->setFocus();
            ASSERT_NE(main->focusWidget(), nullptr);
            pressKey(main->focusWidget(), key);
            EXPECT_FALSE(session->ended());
        }
    }
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("temp-0.bmp"))));
    main->btEnd->setFocus();
    pressKey(main->btEnd, Qt::Key_Return);
    EXPECT_TRUE(session->ended());
}

// Ctrl+O, Ctrl+S, Ctrl+V and Ctrl+Z do what their buttons do; Ctrl+Z with nothing to undo does nothing.
TEST_F(ProgramSessionTest, ControlKeysOpenSavePasteAndUndo)
{
    writeCatalogue(catalogueText);
    auto session = start();
    TfrMain* main = session->frMain();
    ASSERT_TRUE(activate(main));
    const auto control = [main](Qt::Key key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
        QApplication::sendEvent(main->focusWidget() ? main->focusWidget() : main, &press);
    };
    control(Qt::Key_S);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("画像が読み込まれていません。")});
    control(Qt::Key_O);
    EXPECT_EQ(prompts.fileRequests.size(), 1); // the open dialog, cancelled
    control(Qt::Key_Z);
    EXPECT_EQ(prompts.shown.size(), 1);

    QImage photo(64, 48, QImage::Format_RGB888);
    photo.fill(Qt::darkGreen);
    QGuiApplication::clipboard()->setImage(photo);
    control(Qt::Key_V);
    EXPECT_EQ(main->tsLoadImage->edOrgWidth->text(), QStringLiteral("64"));
    main->tsEffect->findChild<QPushButton*>(QStringLiteral("btGray"))->click();
    ASSERT_TRUE(main->btUndo->isEnabled());
    ASSERT_TRUE(activate(main)); // the offscreen platform leaves no window active after the progress dialog
    control(Qt::Key_Z);
    EXPECT_FALSE(main->btUndo->isEnabled());
    EXPECT_EQ(prompts.shown.size(), 1);
}

// The window system shows a new window a little later; the dialog waits for that, so its text
// and bar are on the screen before the step's work holds the interface thread, every time.
TEST_F(ProgramSessionTest, TheProgressDialogIsPaintedBeforeTheWorkStarts)
{
    writeCatalogue(catalogueText);
    auto session = start();
    TfrProgress* progress = session->frProgress();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ProgressScope scope(*progress, 4);
        scope.step(2, QStringLiteral("画像効果を適用しています"));
        // From here on no event is handled: the screen holds what was painted.
        const QImage shown = progress->screen()->grabWindow(progress->winId()).toImage();
        ASSERT_FALSE(shown.isNull());
        const QRect line(progress->lbMessage->mapTo(progress, QPoint(0, 0)), progress->lbMessage->size());
        const QRgb paper = progress->palette().color(QPalette::Window).rgb();
        int ink = 0, blank = 0;
        for (int y = line.top(); y <= line.bottom(); ++y)
            for (int x = line.left(); x <= line.right(); ++x) {
                const QRgb pixel = shown.pixel(x, y);
                ink += qGray(pixel) < 96;
                blank += pixel == paper;
            }
        EXPECT_GT(ink, 20) << "the message is not on the screen";
        EXPECT_GT(blank, 100);
        const QRect bar(progress->cgProgress->mapTo(progress, QPoint(0, 0)), progress->cgProgress->size());
        const QPoint middle = bar.center();
        EXPECT_NE(shown.pixel(bar.left() + bar.width() / 4, middle.y()),
                  shown.pixel(bar.right() - bar.width() / 4, middle.y()))
            << "the bar is not half full";
    }
}

// A send while a catalogue update waits for its server is refused, so each keeps its progress.
TEST_F(ProgramSessionTest, ASendDuringACatalogueUpdateIsRefused)
{
    writeCatalogue(catalogueText);
    auto session = start();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    session->workbench().options.services.catalogueUrl =
        QStringLiteral("http://127.0.0.1:%1/mp_dat.sys").arg(server.serverPort());
    TfrMain* main = session->frMain();
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* peer = server.nextPendingConnection();
        QTimer::singleShot(50, peer, [main, peer] {
            main->btSend->click();
            peer->write("HTTP/1.0 404 Not Found\r\n\r\n");
            peer->disconnectFromHost();
        });
    });
    main->tsSelectMP->btUpdate->click();
    EXPECT_EQ(prompts.texts(),
              (QStringList{QStringLiteral("機種情報を更新しています。更新が終わってから転送してください。"),
                           QStringLiteral("機種情報ファイルのアップデートに失敗しました。")}));
    EXPECT_FALSE(session->frProgress()->isVisible());
}

// After a new catalogue the lists show their prompts; the settings keep the model in force.
TEST_F(ProgramSessionTest, ThePromptsOfTheListsAreNeverStoredAsTheModel)
{
    writeCatalogue(catalogueText);
    hooks.loadSettings = nullptr;
    hooks.saveSettings = nullptr;
    ProgramSession session(prompts, folder.path(), hooks);
    session.start();
    ModelSelectPage* page = session.frMain()->tsSelectMP;
    page->setCarrierText(QStringLiteral("au"));
    page->cbCarrierChange();
    page->showPrompts();
    const StoredSettings kept = session.settings().gather();
    EXPECT_EQ(kept.carrier, QStringLiteral("au"));
    EXPECT_EQ(kept.phone, QStringLiteral("W21S"));
}
