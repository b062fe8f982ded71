#pragma once
// The main window "Pictorel": the workspace display in the centre, the page control on the right,
// the window-level buttons on the left and at the bottom, and the pop-up menu.
#include <QtWidgets/QWidget>

class BannerView;
class CalendarPage;
class EffectPage;
class FramePage;
class ImageDisplay;
class TunePage;
class ImageSizePage;
class LoadImagePage;
class MainPanel;
class PenPage;
class TextPage;
class ModelSelectPage;
class PageControl;
class Prompts;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class StampPage;
struct Workbench;

class TfrMain : public QWidget
{
    Q_OBJECT
  public:
    static constexpr int ClientWidth = 896;
    static constexpr int ClientHeight = 609;

    TfrMain(Workbench& workbench, Prompts& prompts, QWidget* parent = nullptr);

    QLabel* Velta;
    BannerView* CppWebAD;
    MainPanel* mainPanel;
    ImageDisplay* IkDispMain;
    QPushButton* btClearDraw;
    QPushButton* btDecideDraw;
    QPushButton* btOption;
    QPushButton* btHelp;
    QPushButton* btEnd;
    QPushButton* btUndo;
    QPushButton* btKestrix;
    QPushButton* btSend;
    QPushButton* btSave;
    PageControl* pcMain;
    ModelSelectPage* tsSelectMP;
    LoadImagePage* tsLoadImage;
    ImageSizePage* tsImageSize;
    TunePage* tsTune;
    EffectPage* tsEffect;
    CalendarPage* tsCalender;
    PenPage* tsPen;
    TextPage* tsText;
    StampPage* tsStamp;
    FramePage* tsFrames;
    QMenu* PopupMain;
    QAction* mnClear;
    QAction* mnDecide;

  signals:
    void closing();                        // the shutdown sequence runs on this
    void filesDropped(const QStringList&); // local files dropped anywhere on the window
    void clearDrawingRequested();          // Escape while "描画をクリアする" is enabled
    void veltaClicked();                   // the sponsor picture

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildTopStrip();
    void buildLeftColumn();
    void buildBottomRow();
    void buildPages();
    void buildPopupMenu();
    void buildShortcuts();
    QPushButton* button(const char* name, const QString& caption, QRect geometry);

    Workbench& workbench_;
    Prompts& prompts_;
    bool closed_ = false;
};
