#include "output/TemporaryLayer.h"

#include "decoration/DrawingLayers.h"
#include "foundation/Progress.h"
#include "workspace/UndoCommand.h"

void TemporaryLayer::run(Progress& progress, int steps, const std::function<void()>& body)
{
    layers_.commitEmptyLayer();
    progress.BeginProgress(steps);
    try {
        body();
    } catch (...) {
        progress.EndProgress();
        undo_.btUndoClick();
        throw;
    }
    progress.EndProgress();
    undo_.btUndoClick();
}
