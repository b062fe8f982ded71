#pragma once
// The "保存する" button of the main window: asks for the file name through the save dialog, preset
// from the preferred format, and saves there in the format the name's extension says, within the
// size limit in force.
#include <QtCore/QString>

#include <functional>

class Prompts;
class SaveCommand;
class Workspace;
struct ProgramOptions;

class SavePrompt
{
  public:
    SavePrompt(SaveCommand& saver, const Workspace& workspace, const ProgramOptions& options, Prompts& prompts);

    void setLimitSource(std::function<qint64()> limit) { limit_ = std::move(limit); }

    void btSaveClick();

  private:
    QString askForFileName();

    SaveCommand& saver_;
    const Workspace& workspace_;
    const ProgramOptions& options_;
    Prompts& prompts_;
    std::function<qint64()> limit_ = [] { return qint64(0); };
};
