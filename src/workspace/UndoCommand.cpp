#include "workspace/UndoCommand.h"

#include "foundation/ErrorDetail.h"
#include "foundation/Prompts.h"
#include "workspace/OperationLog.h"
#include "workspace/UndoHistory.h"
#include "workspace/Workspace.h"

#include <utility>

UndoCommand::UndoCommand(Workspace& workspace, UndoHistory& undo, OperationLog& log, Prompts& prompts)
    : workspace_(workspace), undo_(undo), log_(log), prompts_(prompts)
{
}

void UndoCommand::btUndoClick()
{
    if (!undo_.hasSteps())
        return;
    if (undo_.topStep() == StepKind::Image) {
        if (!undoImageStep())
            return;
    } else {
        undoCommit_();
    }
    undo_.popStep();
}

bool UndoCommand::undoImageStep()
{
    // The picture to go back to is read before the newest one is deleted, so a failed read loses
    // nothing: the history, the log and the files stay as they were.
    const int count = undo_.undoImageCount();
    const DecodedImage restored = undo_.readUndoImage(count >= 2 ? count - 2 : std::max(count - 1, 0));
    if (!restored.ok()) {
        writeErrorDetail(restored.error);
        prompts_.message(MessageKind::Error, QStringLiteral("元の画像を読み込めなかったため、元に戻せませんでした。"));
        return false;
    }
    if (!undo_.PopUndoImage()) {
        prompts_.message(MessageKind::Error,
                         QStringLiteral("作業ファイルを削除できなかったため、元に戻せませんでした。"));
        return false;
    }
    WorkspaceGeometry& g = workspace_.geometry();
    if (restored.image.width() != g.baseWidth) {
        // The step taken back was a quarter turn.
        g.baseWidth = restored.image.width();
        g.baseHeight = restored.image.height();
        std::swap(g.workWidth, g.workHeight);
    }
    workspace_.RebuildWorkingImage();
    log_.RemoveLastOperation();
    return true;
}
