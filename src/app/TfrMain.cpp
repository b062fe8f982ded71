#include "app/TfrMain.h"

#include "app/PageControl.h"
#include "app/Workbench.h"
#include "catalogue/ModelSelectPage.h"
#include "decoration/CalendarPage.h"
#include "decoration/FramePage.h"
#include "decoration/PenPage.h"
#include "decoration/StampPage.h"
#include "decoration/TextPage.h"
#include "output/BannerView.h"
#include "widgets/ImageDisplay.h"
#include "workspace/EffectPage.h"
#include "workspace/ImageSizePage.h"
#include "workspace/LoadImagePage.h"
#include "workspace/MainPanel.h"
#include "workspace/TunePage.h"

#include <QtCore/QMimeData>
#include <QtCore/QUrl>
#include <QtGui/QAction>
#include <QtGui/QCloseEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>

namespace {

QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (!data)
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

} // namespace

TfrMain::TfrMain(Workbench& workbench, Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      workbench_(workbench), prompts_(prompts)
{
    setObjectName(QStringLiteral("frMain"));
    setWindowTitle(QStringLiteral("Pictorel"));
    setFixedSize(ClientWidth, ClientHeight);
    buildTopStrip();
    IkDispMain = new ImageDisplay;
    IkDispMain->setBackColor(workbench_.options.marginColor);
    IkDispMain->setFocusPolicy(Qt::ClickFocus); // Escape clears the drawing while it has the focus
    mainPanel = new MainPanel(IkDispMain, this);
    mainPanel->move(171, 73);
    buildLeftColumn();
    buildBottomRow();
    buildPages();
    buildPopupMenu();
}

QPushButton* TfrMain::button(const char* name, const QString& caption, QRect geometry)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    return b;
}

void TfrMain::buildTopStrip()
{
    Velta = new QLabel(this);
    Velta->setObjectName(QStringLiteral("Velta"));
    Velta->setGeometry(8, 4, 400, 60);
    Velta->setPixmap(QPixmap(QStringLiteral(":/pictures/Velta.png")));
    Velta->setCursor(Qt::PointingHandCursor);
    Velta->installEventFilter(this);
    CppWebAD = new BannerView(this);
    CppWebAD->move(418, 2);
}

void TfrMain::buildLeftColumn()
{
    btClearDraw = button("btClearDraw", QStringLiteral("描画をクリアする"), {8, 404, 153, 25});
    btDecideDraw = button("btDecideDraw", QStringLiteral("描画を確定する"), {8, 436, 153, 25});
    btClearDraw->setEnabled(false);
    btDecideDraw->setEnabled(false);
    btOption = button("btOption", QStringLiteral("環境設定"), {8, 468, 153, 25});
    btHelp = button("btHelp", QStringLiteral("ユーザ間サポート"), {8, 500, 153, 25});
    btEnd = button("btEnd", QStringLiteral("終了する"), {8, 532, 153, 25});
    btEnd->setDefault(true);
    connect(btEnd, &QPushButton::clicked, this, &QWidget::close);
}

void TfrMain::buildBottomRow()
{
    btUndo = button("btUndo", QStringLiteral("元に戻す"), {8, 568, 209, 33});
    btUndo->setEnabled(false);
    btKestrix = button("btKestrix", QStringLiteral("KestrixNetを開く"), {232, 568, 209, 33});
    btSend = button("btSend", QStringLiteral("転送する"), {456, 568, 209, 33});
    btSave = button("btSave", QStringLiteral("保存する"), {680, 568, 209, 33});
}

void TfrMain::buildPages()
{
    pcMain = new PageControl(this);
    pcMain->setObjectName(QStringLiteral("pcMain"));
    pcMain->setGeometry(662, 67, 225, 489);
    tsSelectMP = new ModelSelectPage(workbench_.catalogue, workbench_.targetModel, prompts_);
    tsLoadImage = new LoadImagePage(workbench_.loader);
    tsImageSize = new ImageSizePage(workbench_.workspace, workbench_.log);
    tsTune = new TunePage(workbench_.operations);
    tsEffect = new EffectPage(workbench_.operations);
    tsImageSize->addRotationButtons(workbench_.operations);
    tsCalender = new CalendarPage(workbench_.layers, prompts_, [this] {
        return QSize(workbench_.geometry.canvasWidth, workbench_.geometry.canvasHeight);
    });
    tsPen = new PenPage(workbench_.layers, prompts_);
    tsText = new TextPage(workbench_.layers, prompts_);
    tsStamp = new StampPage(workbench_.stamps);
    tsFrames = new FramePage(workbench_.frames);
    pcMain->addPage(tsSelectMP, QStringLiteral(" 機種選択 "));
    pcMain->addPage(tsLoadImage, QStringLiteral(" 画像読込 "));
    pcMain->addPage(tsImageSize, QStringLiteral("画像サイズ"));
    pcMain->addPage(tsTune, QStringLiteral(" 画質調整 "));
    pcMain->addPage(tsEffect, QStringLiteral(" 画像効果 "));
    pcMain->addPage(tsCalender, QStringLiteral("カレンダー"));
    pcMain->addPage(tsPen, QStringLiteral(" 絵を描く "));
    pcMain->addPage(tsText, QStringLiteral(" 文字を描く "));
    pcMain->addPage(tsStamp, QStringLiteral(" スタンプ "));
    pcMain->addPage(tsFrames, QStringLiteral(" フレーム "));
}

void TfrMain::buildPopupMenu()
{
    PopupMain = new QMenu(this);
    PopupMain->setObjectName(QStringLiteral("PopupMain"));
    mnClear = PopupMain->addAction(QStringLiteral("現在の描画をクリアする(&C)"));
    mnClear->setObjectName(QStringLiteral("mnClear"));
    mnDecide = PopupMain->addAction(QStringLiteral("描画を確定する(&D)"));
    mnDecide->setObjectName(QStringLiteral("mnDecide"));
    mnClear->setEnabled(false);
    mnDecide->setEnabled(false);
    for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(IkDispMain), static_cast<QWidget*>(pcMain)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& at) { PopupMain->popup(w->mapToGlobal(at)); });
    }
    setAcceptDrops(true);
}

bool TfrMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Velta && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        Velta->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
        emit veltaClicked();
    return QWidget::eventFilter(watched, event);
}

void TfrMain::closeEvent(QCloseEvent* event)
{
    if (!closed_) {
        closed_ = true;
        emit closing();
    }
    event->accept();
}

void TfrMain::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape: {
        // Only for the window itself and its display: elsewhere Escape belongs to the control.
        const QWidget* focus = focusWidget();
        if ((!focus || focus == this || focus == IkDispMain) && btClearDraw->isEnabled())
            emit clearDrawingRequested();
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // "終了する" is the window's default button: it gets the Enter no control took. A focused
        // button presses itself before the key comes here.
        btEnd->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TfrMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfrMain::dropEvent(QDropEvent* event)
{
    const QStringList files = localFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    emit filesDropped(files);
}

#include "moc_TfrMain.cpp"
