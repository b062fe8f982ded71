#pragma once
// The program's shared state: what the windows show and the subsystems work on. What goes online
// is in OnlineServices.
#include "catalogue/ModelCatalogue.h"
#include "decoration/DrawingLayers.h"
#include "decoration/FrameCommand.h"
#include "decoration/StampTool.h"
#include "foundation/ProgramFolders.h"
#include "foundation/ProgramOptions.h"
#include "output/SaveCommand.h"
#include "workspace/ImageOperations.h"
#include "workspace/OperationLog.h"
#include "workspace/PictureLoader.h"
#include "workspace/StandardOperations.h"
#include "workspace/UndoCommand.h"
#include "workspace/UndoHistory.h"
#include "workspace/Workspace.h"
#include "workspace/WorkspaceGeometry.h"

struct Workbench
{
    // Everything in one folder, as a portable program has it.
    Workbench(const QString& folder, Prompts& prompts) : Workbench(ProgramFolders::portable(folder), prompts) {}
    // `UndoStorage::NewestInMemory` leaves no undo images and no operation log on disk.
    Workbench(ProgramFolders where, Prompts& prompts, UndoStorage storage = UndoStorage::Files);

    QString programFolder;  // the executable's folder, ending with '/'
    ProgramFolders folders; // where each kind of file is read and written
    ModelCatalogue catalogue;
    TModelEntry targetModel;
    bool canStart = false; // read once, at the end of start-up
    ProgramOptions options;
    WorkspaceGeometry geometry;
    UndoHistory undo;
    OperationLog log;
    Workspace workspace;
    PictureLoader loader;
    UndoCommand undoCommand;
    DrawingLayers layers;
    StampTool stamps;
    FrameCommand frames;
    ImageOperations operations;
    SaveCommand saver;
};
