#pragma once
// Moves the settings between the settings file and the windows that hold them: loading puts the
// stored values into the controls, saving takes them back out.
#include "app/SettingsFile.h"
#include "app/WindowPlacement.h"

#include <memory>

class Prompts;
class TfrMain;
class TfrOption;
class TfrView;
struct Workbench;

class SettingsBinding
{
  public:
    SettingsBinding(SettingsFile file, Workbench& workbench, Prompts& prompts)
        : file_(std::move(file)), workbench_(workbench), prompts_(prompts)
    {
    }
    void setWindows(TfrMain* main, TfrView* view, TfrOption* options);

    const SettingsFile& file() const { return file_; }
    // What the windows hold now.
    StoredSettings gather() const;
    // Puts settings into the windows as loading does, then brings the dependent state in line.
    void apply(const StoredSettings& settings);

    void LoadSettings();
    // The windows placed again where they stand, once they have their start-up sizes.
    void keepWindowsOnScreen();
    // A file that cannot be written is reported once, "%s に書き込めません"; the reason goes to
    // standard error. False then.
    bool SaveSettings();

  private:
    void applyModel(const StoredSettings& settings);

    SettingsFile file_;
    Workbench& workbench_;
    Prompts& prompts_;
    TfrMain* main_ = nullptr;
    TfrView* view_ = nullptr;
    TfrOption* options_ = nullptr;
    std::unique_ptr<WindowPlacement> mainPlace_, viewPlace_, optionsPlace_;
};
