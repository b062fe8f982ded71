#pragma once
// "元に戻す": takes back the newest step, an image operation or the commit of a drawing layer.
#include <functional>

class OperationLog;
class Prompts;
class UndoHistory;
class Workspace;

class UndoCommand
{
  public:
    UndoCommand(Workspace& workspace, UndoHistory& undo, OperationLog& log, Prompts& prompts);

    // Taking back a layer commit belongs to the drawing layers.
    void setLayerUndo(std::function<void()> undoCommit) { undoCommit_ = std::move(undoCommit); }
    void btUndoClick();

  private:
    bool undoImageStep();

    Workspace& workspace_;
    UndoHistory& undo_;
    OperationLog& log_;
    Prompts& prompts_;
    std::function<void()> undoCommit_ = [] {};
};
