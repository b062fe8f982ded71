#pragma once
// Saving and sending close the drawing in progress with an empty committed layer, so that the
// picture they encode holds only committed drawing, and show the progress dialog while they work.
// Both are undone on every way out: first the progress dialog goes, then the layer is taken back.
#include <functional>

class DrawingLayers;
class Progress;
class UndoCommand;

class TemporaryLayer
{
  public:
    TemporaryLayer(DrawingLayers& layers, UndoCommand& undo) : layers_(layers), undo_(undo) {}

    // Runs `body` between the commit of the empty layer and its take-back, with the progress
    // begun with `steps` and ended before the take-back, also when `body` throws.
    void run(Progress& progress, int steps, const std::function<void()>& body);

  private:
    DrawingLayers& layers_;
    UndoCommand& undo_;
};
