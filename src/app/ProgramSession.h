#pragma once
// The program from launch to end: creates the windows in their fixed order, brings the program to
// an idle main window with the last used model chosen, and shuts it down.
#include "app/OnlineServices.h"
#include "app/RunningProgram.h"
#include "app/SettingsBinding.h"
#include "decoration/CanvasRouter.h"
#include "foundation/FolderLock.h"
#include "output/pages/SavePrompt.h"
#include "workbench/Workbench.h"

#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <functional>
#include <memory>

class Prompts;
class TfrCalender;
class TfrColCheck;
class TfrDirectSize;
class TfrMain;
class TfrOption;
class TfrPreview;
class TfrProgress;
class TfrView;

// Steps that belong to features not built yet; each does nothing until its feature fills it.
// The settings steps left empty load and save the program's own settings file.
struct StartupHooks
{
    std::function<void()> loadSettings;
    std::function<void()> saveSettings;
    // Left empty, these three run the program's own: the option, the catalogue update, the banner.
    std::function<bool()> autoCheckOption;
    std::function<void()> updateCatalogue;
    std::function<void()> loadBanner;
};

class ProgramSession : public QObject
{
    Q_OBJECT
  public:
    // `folders` says where each kind of file is read and written; a program folder alone is a
    // portable program's, with everything beside the executable.
    ProgramSession(Prompts& prompts, ProgramFolders folders, StartupHooks hooks = {});
    ProgramSession(Prompts& prompts, const QString& programFolder, StartupHooks hooks = {});
    ~ProgramSession() override;

    // Runs the whole start-up; then the pictures named on the command line are opened as if they
    // had been dropped on the main window. Afterwards ended() tells whether the program must stop.
    // When a window already runs on the same folders, the pictures go to it instead: handedOver().
    void start(const QStringList& pictures = {});
    bool ended() const { return ended_; }
    bool handedOver() const { return handedOver_; }

    Workbench& workbench() { return workbench_; }
    TfrMain* frMain() const { return frMain_; }
    TfrView* frView() const { return frView_; }
    TfrProgress* frProgress() const { return frProgress_; }
    TfrColCheck* frColCheck() const { return frColCheck_; }
    TfrOption* frOption() const { return frOption_; }
    SettingsBinding& settings() { return settings_; }
    // Every window in the order it was created.
    const QList<QWidget*>& windows() const { return windows_; }
    CanvasRouter& router() { return router_; }

  private:
    void createMainWindow();
    void createDialogs();
    void createSubWindow();
    void connectLayers();
    void connectCommands();
    void connectWorkspace();
    void connectOptions();
    void connectDecoration();
    void connectNetwork();
    void fillNetworkHooks();
    // The options dialog on its "KestrixNet" page, when a send finds the account incomplete.
    void openAccountOptions();
    void mainWindowFirstShow();
    void subWindowFirstShow();
    bool confirmLowColourDepth();
    void openFromLaterStart(const QStringList& pictures);
    void shutdown();
    template <typename Window> Window* track(Window* window);

    Prompts& prompts_;
    StartupHooks hooks_;
    FolderLock lock_;
    RunningProgram running_;
    Workbench workbench_;
    OnlineServices online_;
    SettingsBinding settings_;
    SavePrompt savePrompt_;
    QList<QWidget*> windows_;
    TfrMain* frMain_ = nullptr;
    TfrOption* frOption_ = nullptr;
    TfrDirectSize* frDirectSize_ = nullptr;
    TfrPreview* frPreview_ = nullptr;
    TfrCalender* frCalender_ = nullptr;
    TfrProgress* frProgress_ = nullptr;
    TfrColCheck* frColCheck_ = nullptr;
    TfrView* frView_ = nullptr;
    bool ended_ = false;
    bool handedOver_ = false;
    CanvasRouter router_;
};
