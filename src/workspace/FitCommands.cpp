#include "workspace/FitCommands.h"

#include "workspace/OperationLog.h"
#include "workspace/Workspace.h"

bool FitCommands::fitBoth()
{
    WorkspaceGeometry& g = workspace_.geometry();
    g.workWidth = g.canvasWidth;
    g.workHeight = g.canvasHeight;
    workspace_.RebuildWorkingImage();
    log_.RecordOperation(OperationId::FitBoth);
    return true;
}

bool FitCommands::fitAxis(bool width)
{
    WorkspaceGeometry& g = workspace_.geometry();
    width ? g.fitToWidth() : g.fitToHeight();
    // Centred before the rebuild, which then scales and composes the canvas's part where it stays;
    // without a rebuild the canvas still follows the new place.
    g.CenterOffset();
    if (!workspace_.RebuildWorkingImage())
        workspace_.ComposeCanvas(g.offsetX, g.offsetY, false);
    log_.RecordOperation(width ? OperationId::FitWidth : OperationId::FitHeight);
    return false;
}

bool FitCommands::fitWidth()
{
    return fitAxis(true);
}

bool FitCommands::fitHeight()
{
    return fitAxis(false);
}

bool FitCommands::resizeWorking(int dx, int dy)
{
    WorkspaceGeometry& g = workspace_.geometry();
    g.workWidth += dx;
    g.workHeight += dy;
    workspace_.RebuildWorkingImage();
    return true;
}

void FitCommands::moveCanvas(int dx, int dy)
{
    const WorkspaceGeometry& g = workspace_.geometry();
    workspace_.ComposeCanvas(g.offsetX + dx, g.offsetY + dy, true);
}

bool FitCommands::restoreAspect(QSize subWindow)
{
    workspace_.geometry().CoverFit(subWindow.width(), subWindow.height());
    workspace_.RebuildWorkingImage();
    return false;
}
