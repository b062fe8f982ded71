#include "app/ProgramSession.h"

#include "app/PageControl.h"
#include "app/ProgramIcon.h"
#include "app/TfrColCheck.h"
#include "app/TfrMain.h"
#include "app/TfrOption.h"
#include "app/TfrProgress.h"
#include "catalogue/LoadCatalogue.h"
#include "catalogue/pages/ModelSelectPage.h"
#include "catalogue/pages/TfrDirectSize.h"
#include "decoration/CalendarSettingsFile.h"
#include "decoration/DrawingLayers.h"
#include "decoration/pages/CalendarPage.h"
#include "decoration/pages/FramePage.h"
#include "decoration/pages/PenPage.h"
#include "decoration/pages/StampPage.h"
#include "decoration/pages/TextPage.h"
#include "decoration/pages/TfrCalender.h"
#include "foundation/HandlerGuard.h"
#include "foundation/Prompts.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "output/SendCommand.h"
#include "output/ServiceAddresses.h"
#include "output/pages/BannerView.h"
#include "output/pages/TfrPreview.h"
#include "widgets/ButtonEnterKey.h"
#include "widgets/ImageDisplay.h"
#include "workspace/pages/ImageSizePage.h"
#include "workspace/pages/MainPanel.h"
#include "workspace/pages/TfrView.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QAction>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QPushButton>

#include <cstdio>

namespace {

constexpr int trueColourDepth = 24;

QString withSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

ProgramSession::ProgramSession(Prompts& prompts, const QString& programFolder, StartupHooks hooks)
    : ProgramSession(prompts, ProgramFolders::portable(withSeparator(programFolder)), std::move(hooks))
{
}

ProgramSession::ProgramSession(Prompts& prompts, ProgramFolders folders, StartupHooks hooks)
    : prompts_(prompts), hooks_(std::move(hooks)), running_(folders.workFolder()),
      workbench_(std::move(folders), prompts), online_(workbench_, prompts),
      settings_(SettingsFile(
                    SettingsFile::pathFor(workbench_.folders.settingsFolder(), QCoreApplication::applicationFilePath()),
                    workbench_.folders.pictureFolder()),
                workbench_, prompts),
      savePrompt_(workbench_.saver, workbench_.workspace, workbench_.options, prompts),
      router_([this] { return frMain_ ? frMain_->pcMain->activePageName() : QString(); },
              [this] { return prompts_.leftButtonDown(); })
{
    if (!hooks_.loadSettings)
        hooks_.loadSettings = [this] { settings_.LoadSettings(); };
    if (!hooks_.saveSettings)
        hooks_.saveSettings = [this] { settings_.SaveSettings(); };
    fillNetworkHooks();
}

void ProgramSession::fillNetworkHooks()
{
    if (!hooks_.autoCheckOption)
        hooks_.autoCheckOption = [this] { return workbench_.options.autoCheck; };
    if (!hooks_.updateCatalogue)
        hooks_.updateCatalogue = [this] { online_.catalogueUpdate.btUpdateClick(); };
    if (!hooks_.loadBanner)
        hooks_.loadBanner = [this] {
            frMain_->CppWebAD->start([this] { return ServiceAddresses(workbench_.options.services).bannerPage(); });
        };
}

ProgramSession::~ProgramSession()
{
    delete frView_;
    delete frMain_; // the dialogs are its children
}

template <typename Window> Window* ProgramSession::track(Window* window)
{
    windows_ << window;
    return window;
}

void ProgramSession::start(const QStringList& pictures)
{
    ButtonEnterKey::install();
    QCoreApplication::setApplicationName(QStringLiteral("Pictorel"));
    QGuiApplication::setWindowIcon(ProgramIcon::load(workbench_.programFolder));
    // An installed program writes into the user's own folders, which may not exist yet. Whatever
    // cannot be made fails where it is written, with that writer's message.
    if (!workbench_.folders.createWritableFolders())
        fprintf(stderr, "pictorel: cannot create the folders %s, %s, %s\n",
                qPrintable(workbench_.folders.settingsFolder()), qPrintable(workbench_.folders.dataFolder()),
                qPrintable(workbench_.folders.workFolder()));
    // A second start on the same folder gives its pictures to the window already there.
    RunningProgram::HandOver handOver = running_.handOver(pictures);
    // A second copy on the same folder would take over the first one's undo images: it ends at
    // once, before it reads or writes anything. The holder may be starting still, not answering yet.
    bool folderFree = false;
    if (handOver != RunningProgram::HandOver::Taken) {
        folderFree = lock_.acquire(workbench_.folders.workFolder());
        if (!folderFree && handOver == RunningProgram::HandOver::NoWindow)
            handOver = running_.handOver(pictures, 5000);
    }
    if (handOver == RunningProgram::HandOver::Taken) {
        handedOver_ = ended_ = true;
        return;
    }
    if (!folderFree) {
        prompts_.message(MessageKind::Error, QStringLiteral("本プログラムは既に起動しています。\n"
                                                            "同じフォルダーで二つ同時に使うことはできません。"));
        ended_ = true;
        return;
    }
    createMainWindow();
    frMain_->show();
    runGuarded(prompts_, [this] { mainWindowFirstShow(); });
    createDialogs();
    createSubWindow();
    frView_->show();
    runGuarded(prompts_, [this] { subWindowFirstShow(); });
    // After the stored model is applied, so the picture is fitted onto the canvas the user sees.
    if (!ended_ && !pictures.isEmpty())
        runGuarded(prompts_, [this, &pictures] { workbench_.loader.loadDroppedFiles(pictures); });
    if (ended_)
        return;
    // Queued: a picture is opened once the request that brought it has been answered.
    connect(&running_, &RunningProgram::opened, this, &ProgramSession::openFromLaterStart, Qt::QueuedConnection);
    running_.listen();
}

void ProgramSession::openFromLaterStart(const QStringList& pictures)
{
    if (ended_)
        return;
    if (frMain_->isMinimized())
        frMain_->showNormal();
    frMain_->raise();
    frMain_->activateWindow();
    if (!pictures.isEmpty())
        runGuarded(prompts_, [this, &pictures] { workbench_.loader.loadDroppedFiles(pictures); });
}

void ProgramSession::createMainWindow()
{
    frMain_ = track(new TfrMain(workbench_, prompts_));
    connect(frMain_, &TfrMain::closing, this, [this] { shutdown(); });
    connect(frMain_, &TfrMain::filesDropped, this,
            [this](const QStringList& files) { workbench_.loader.loadDroppedFiles(files); });
    connectLayers();
    connectCommands();
    connectWorkspace();
    connectDecoration();
    connectNetwork();
}

void ProgramSession::connectCommands()
{
    ModelSelectPage* modelPage = frMain_->tsSelectMP;
    savePrompt_.setLimitSource([modelPage] { return qint64(modelPage->sizeLimit()); });
    connect(frMain_->btSave, &QPushButton::clicked, this, [this](bool) { savePrompt_.btSaveClick(); });
    connect(frMain_->btUndo, &QPushButton::clicked, this, [this](bool) { workbench_.undoCommand.btUndoClick(); });
    workbench_.undo.setUndoAvailableListener([this](bool available) { frMain_->btUndo->setEnabled(available); });
    ImageDisplay* display = frMain_->IkDispMain;
    workbench_.operations.setSelection([display] {
        return std::array<int, 4>{display->rectLeft(), display->rectTop(), display->rectRight(), display->rectBottom()};
    });
}

void ProgramSession::connectNetwork()
{
    OnlineServices& online = online_;
    ModelSelectPage* modelPage = frMain_->tsSelectMP;
    online.sender.setLimitSource([modelPage] { return qint64(modelPage->sizeLimit()); });
    connect(frMain_->btSend, &QPushButton::clicked, this, [&online](bool) { online.send(); });
    connect(modelPage->btUpdate, &QPushButton::clicked, this, [&online](bool) { online.updateCatalogue(); });
    online.catalogueUpdate.setInstalledListener([modelPage] {
        modelPage->fillCarriers();
        modelPage->showPrompts();
    });
    connect(frMain_->btKestrix, &QPushButton::clicked, this, [&online] { online.links.btKestrixClick(); });
    connect(frMain_->btHelp, &QPushButton::clicked, this, [&online] { online.links.btHelpClick(); });
    connect(frMain_, &TfrMain::veltaClicked, this, [&online] { online.links.VeltaClick(); });
    frMain_->CppWebAD->setLinkOpener([this](const QString& address) { prompts_.openUrl(address); });
}

void ProgramSession::openAccountOptions()
{
    frOption_->openOnPage(QStringLiteral("tsKestrix"));
}

void ProgramSession::connectWorkspace()
{
    Workspace& workspace = workbench_.workspace;
    connect(frMain_->tsSelectMP, &ModelSelectPage::modelApplied, this, [this](int width, int height) {
        // A new model keeps the working size and the offset; the compose clamps it to the canvas.
        workbench_.workspace.ResizeDisplay(width, height);
        workbench_.workspace.ComposeCanvas(workbench_.geometry.offsetX, workbench_.geometry.offsetY, false);
    });
    connect(&workspace, &Workspace::canvasResized, this, [this](int width, int height) {
        frMain_->mainPanel->ResizeDisplay(width, height);
        frMain_->IkDispMain->setGridSpace(width * 0.25);
    });
    connect(&workspace, &Workspace::workspaceImageChanged, frMain_->IkDispMain, &ImageDisplay::setImage);
    connect(&workbench_.loader, &PictureLoader::displaysReset, this, [this] {
        if (frView_)
            frView_->IkDispOrg->clearSelection();
        frMain_->IkDispMain->clearSelection();
    });
    connect(&workbench_.loader, &PictureLoader::pictureLoaded, frMain_->tsImageSize->btResetSize,
            [this] { frMain_->tsImageSize->btResetSize->setEnabled(false); });
}

// Every canvas tool is registered here, one line per page, in the order the pages are asked.
void ProgramSession::connectDecoration()
{
    router_.addTool(QStringLiteral("tsPen"), frMain_->tsPen->tool());
    router_.addTool(QStringLiteral("tsText"), frMain_->tsText->tool());
    router_.addTool(QStringLiteral("tsStamp"), workbench_.stamps);
    router_.addTool(QStringLiteral("tsCalender"), frMain_->tsCalender->tool());

    ImageDisplay* display = frMain_->IkDispMain;
    connect(display, &ImageDisplay::mouseDownImage, this,
            [this](Qt::MouseButton button, int x, int y) { router_.IkDispMainMouseDownImage(QPoint(x, y), button); });
    connect(display, &ImageDisplay::mouseMoveImage, this,
            [this](int x, int y) { router_.IkDispMainMouseMove(QPoint(x, y)); });
    connect(display, &ImageDisplay::mouseUpImage, this,
            [this](int x, int y) { router_.IkDispMainMouseUpImage(QPoint(x, y)); });
    // The effects' selection rectangle is drawn only on pages without a canvas tool; there a drag draws.
    const auto selectWhereNoTool = [this, display] { display->setSelectionEnabled(!router_.hasToolForActivePage()); };
    connect(frMain_->pcMain, &PageControl::pageChanged, this, selectWhereNoTool);
    selectWhereNoTool();
}

void ProgramSession::connectLayers()
{
    DrawingLayers& layers = workbench_.layers;
    TfrMain* main = frMain_;
    const auto commit = [&layers] { layers.CommitDrawing(); };
    const auto clear = [&layers] { layers.ClearDrawing(); };
    connect(main->btDecideDraw, &QPushButton::clicked, this, commit);
    connect(main->mnDecide, &QAction::triggered, this, commit);
    connect(main->btClearDraw, &QPushButton::clicked, this, clear);
    connect(main->mnClear, &QAction::triggered, this, clear);
    connect(main, &TfrMain::clearDrawingRequested, this, clear);
    connect(&layers, &DrawingLayers::drawingControlsEnabled, main, [main](bool enabled) {
        for (QWidget* control : {static_cast<QWidget*>(main->btDecideDraw), static_cast<QWidget*>(main->btClearDraw)})
            control->setEnabled(enabled);
        main->mnDecide->setEnabled(enabled);
        main->mnClear->setEnabled(enabled);
    });
    connect(&layers, &DrawingLayers::layerChanged, main->IkDispMain,
            [main](int index, const QImage& picture, bool visible) {
                main->IkDispMain->setRasterImage(index, picture);
                main->IkDispMain->setRasterKey(index, true, LayerKeyColor);
                main->IkDispMain->setRasterVisible(index, visible);
            });
}

void ProgramSession::createDialogs()
{
    frOption_ = track(new TfrOption(workbench_.options, prompts_, frMain_));
    frDirectSize_ = track(new TfrDirectSize(frMain_));
    frPreview_ = track(new TfrPreview(frMain_));
    frCalender_ =
        track(new TfrCalender(frMain_->tsCalender->settings(), prompts_,
                              workbench_.folders.settingsFolder() + CalendarSettingsFile::fileName(), frMain_));
    frMain_->tsCalender->setSettingsDialog(frCalender_);
    frProgress_ = track(new TfrProgress(frMain_));
    frColCheck_ = track(new TfrColCheck(prompts_, ServiceAddresses::supportFaqPage(), frMain_));
    workbench_.operations.setProgress(frProgress_);
    workbench_.saver.setProgress(frProgress_);
    online_.sender.setProgress(frProgress_);
    online_.catalogueUpdate.setProgress(frProgress_);
    online_.sender.setPreview([this](const QString& path) { return frPreview_->confirm(path); });
    online_.sender.setOpenAccountOptions([this] { openAccountOptions(); });
    connect(frMain_->btOption, &QPushButton::clicked, frOption_, [this] { frOption_->exec(); });
    connectOptions();
    connect(frMain_->tsSelectMP->btDirectSize, &QPushButton::clicked, frDirectSize_,
            [this](bool) { frMain_->tsSelectMP->btDirectSizeClick(*frDirectSize_); });
}

void ProgramSession::connectOptions()
{
    MainPanel* panel = frMain_->mainPanel;
    connect(frOption_, &TfrOption::guideLinesChanged, panel, &MainPanel::showGuides);
    connect(frOption_, &TfrOption::marginColorChanged, frMain_->IkDispMain, &ImageDisplay::setBackColor);
    connect(frOption_, &TfrOption::composeRequested, this, [this] {
        WorkspaceGeometry& g = workbench_.geometry;
        workbench_.workspace.ComposeCanvas(g.offsetX, g.offsetY, true);
    });
    WebLinks& links = online_.links;
    connect(frOption_, &TfrOption::ImageLogoClick, this, [&links] { links.ImageLogoClick(); });
    connect(frOption_, &TfrOption::ImagePayClick, this, [&links] { links.ImagePayClick(); });
    connect(frOption_, &TfrOption::ImageKestrixClick, this, [&links] { links.ImageKestrixClick(); });
    connect(frOption_, &TfrOption::btJEXregistClick, this, [&links] { links.btJEXregistClick(); });
}

void ProgramSession::createSubWindow()
{
    frView_ = track(new TfrView(workbench_.workspace, prompts_, [this] { return workbench_.options.stayOnTop; }));
    connect(frOption_, &TfrOption::stayOnTopApplied, frView_, &TfrView::applyStayOnTop);
    settings_.setWindows(frMain_, frView_, frOption_);
    ImageSizePage* sizePage = frMain_->tsImageSize;
    connect(frView_, &TfrView::resized, sizePage, [sizePage] { sizePage->btResetSize->setEnabled(true); });
    sizePage->setSubWindowSize([this] { return frView_->clientSizeInPicturePixels(); });
}

void ProgramSession::mainWindowFirstShow()
{
    // A1: the program folder was fixed when the session was made, its writable folders at start.
    workbench_.geometry.offsetX = workbench_.geometry.offsetY = 0;                           // A2
    workbench_.canStart = LoadCatalogue(workbench_.catalogue, workbench_.folders, prompts_); // A3
    if (!confirmLowColourDepth())                                                            // A4
        workbench_.canStart = false;
    frMain_->tsSelectMP->fillCarriers(); // A5
    workbench_.layers.reset();           // A6
    frMain_->tsStamp->listFiles();       // A7
    frMain_->tsFrames->listFiles();
    workbench_.layers.clearScratchSurface(); // A8
    workbench_.layers.LineInProgress = false;
    // A9: the main window accepts dropped files from its creation on.
}

bool ProgramSession::confirmLowColourDepth()
{
    if (prompts_.screenDepth() >= trueColourDepth)
        return true;
    const Answer answer = prompts_.message(
        MessageKind::Warning,
        QStringLiteral(
            "画面の色数設定が、16ビット以下になっています。\n『画面の色数が、24ビット以上に指定されておりませんと、"
            "転送時にプレビューが表示されません。よろしいですか？"),
        MessageButtons::YesNo);
    if (answer == Answer::Yes)
        return true;
    prompts_.message(
        MessageKind::Information,
        QStringLiteral("画面のプロパティを開き、「設定」タブの画面の、「画面の色」を、24ビット以上に設定しなおしてから"
                       "本プログラムを起動してください。"));
    return false;
}

void ProgramSession::subWindowFirstShow()
{
    ModelSelectPage* page = frMain_->tsSelectMP;
    hooks_.loadSettings();                                               // B1: the stored carrier and model texts
    page->cbCarrierChange();                                             // B2
    hooks_.loadSettings();                                               // B3: the stored model name again
    page->cbPhoneChange();                                               // B4
    hooks_.loadSettings();                                               // B5: the stored limit and numbers again
    frCalender_->Load();                                                 // B6
    frMain_->tsCalender->setToToday();                                   // B7
    frView_->setInitialSize();                                           // B8
    settings_.keepWindowsOnScreen();                                     // now that they have their sizes
    frMain_->pcMain->setActivePage(page);                                // B9
    frView_->IkDispOrg->setFrameDragEnabled(true);                       // B10
    if (prompts_.screenDepth() < trueColourDepth && !frColCheck_->ask()) // B11
        workbench_.canStart = false;
    if (!workbench_.canStart) // B12
        frMain_->close();
    if (hooks_.autoCheckOption()) // B13
        hooks_.updateCatalogue();
    hooks_.loadBanner(); // B14
}

void ProgramSession::shutdown()
{
    hooks_.saveSettings();
    workbench_.undo.DeleteUndoImages(); // waits for one still being written
    frMain_->btUndo->setEnabled(false);
    SendCommand::removeWorkingFiles(workbench_.folders.workFolder());
    ended_ = true;
    for (QWidget* window : std::as_const(windows_))
        if (window != frMain_)
            window->hide();
    QCoreApplication::quit();
}

#include "moc_ProgramSession.cpp"
