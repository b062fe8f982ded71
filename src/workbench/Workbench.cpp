#include "workbench/Workbench.h"

Workbench::Workbench(ProgramFolders where, Prompts& prompts, UndoStorage storage)
    : programFolder(where.programFolder()), folders(std::move(where)), undo(folders.workFolder(), storage),
      log(storage == UndoStorage::Files ? OperationLog(folders.dataFolder()) : OperationLog::inMemory()),
      workspace(geometry, undo, options), loader(workspace, undo, log, options, prompts),
      undoCommand(workspace, undo, log, prompts), layers(undo, prompts),
      stamps(layers, prompts, folders.programFolder() + QStringLiteral("stamp/")),
      frames(layers, options, folders.programFolder() + QStringLiteral("frames/")),
      operations(workspace, undo, log, options, prompts), saver(workspace, layers, undoCommand, options, prompts)
{
    defineStandardOperations(operations);
    loader.setLayerHooks({[this] { layers.resetForLoading(); }, [this] { layers.ReleaseLayerPicture(); }});
    QObject::connect(&workspace, &Workspace::canvasResized, &layers,
                     [this](int width, int height) { layers.setCanvasSize(QSize(width, height)); });
    undoCommand.setLayerUndo([this] { layers.UndoCommit(); });
    loader.setLastLoadFolder(folders.pictureFolder());
    saver.setLastSaveFolder(folders.pictureFolder());
}
