#pragma once
// A frame: the frame picture fitted over the whole canvas, in proportion, on the
// margin colour, as the working layer's picture. The frame's own key-coloured middle stays
// see-through; the bands it leaves uncovered are opaque in the margin colour.
#include <QtCore/QString>

class DrawingLayers;
struct ProgramOptions;

class FrameCommand
{
  public:
    // `folder` is the frame folder, ending with '/'.
    FrameCommand(DrawingLayers& layers, const ProgramOptions& options, QString folder);

    const QString& folder() const { return folder_; }
    void setFolder(const QString& folder) { folder_ = folder; }

    // The frame in the picture file `path` becomes the working layer's drawing.
    void drawFrame(const QString& path);

  private:
    DrawingLayers& layers_;
    const ProgramOptions& options_;
    QString folder_;
};
