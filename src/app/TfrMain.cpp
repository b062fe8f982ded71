#include "app/TfrMain.h"

#include "app/PageControl.h"
#include "catalogue/pages/ModelSelectPage.h"
#include "decoration/pages/CalendarPage.h"
#include "decoration/pages/FramePage.h"
#include "decoration/pages/PenPage.h"
#include "decoration/pages/StampPage.h"
#include "decoration/pages/TextPage.h"
#include "output/pages/BannerView.h"
#include "widgets/ImageDisplay.h"
#include "workbench/Workbench.h"
#include "workspace/pages/EffectPage.h"
#include "workspace/pages/ImageSizePage.h"
#include "workspace/pages/LoadImagePage.h"
#include "workspace/pages/MainPanel.h"
#include "workspace/pages/TunePage.h"

#include <QtCore/QMimeData>
#include <QtCore/QUrl>
#include <QtGui/QAction>
#include <QtGui/QCloseEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QShortcut>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QAbstractSpinBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTextEdit>

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

// Controls that take what the user types or picks: Enter there confirms the entry and must not
// reach "終了する", which would end the program and take the undo images with it.
bool takesEntries(const QWidget* control)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return !edit->isReadOnly();
    return qobject_cast<const QAbstractSpinBox*>(control) || qobject_cast<const QComboBox*>(control) ||
           qobject_cast<const QAbstractItemView*>(control) || qobject_cast<const QTextEdit*>(control) ||
           qobject_cast<const QPlainTextEdit*>(control);
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
    buildShortcuts();
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
    tsLoadImage = new LoadImagePage(workbench_.loader, prompts_);
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
    tsFrames = new FramePage(workbench_.frames, prompts_);
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

// The keys a Linux user expects, each pressing the button or page button that does the work.
void TfrMain::buildShortcuts()
{
    const std::pair<QKeyCombination, QAbstractButton*> keys[] = {
        {Qt::CTRL | Qt::Key_O, tsLoadImage->btOpenFromFile},
        {Qt::CTRL | Qt::Key_V, tsLoadImage->btOpenFromClipboard},
        {Qt::CTRL | Qt::Key_S, btSave},
        {Qt::CTRL | Qt::Key_Z, btUndo},
    };
    for (const auto& [key, target] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, target, &QAbstractButton::click); // a disabled one does nothing
    }
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
        // button presses itself before the key comes here; an entry keeps its Enter.
        if (!takesEntries(focusWidget()))
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
