#pragma once
// "フレームを描画": the selected frame picture fitted over the whole canvas, in proportion, on the
// margin colour, as the working layer's picture. The frame's own key-coloured middle stays
// see-through; the bands it leaves uncovered are opaque in the margin colour.
#include <QtCore/QString>

class DrawingLayers;
class Prompts;
struct ProgramOptions;

class FrameCommand
{
  public:
    // `folder` is the frame folder, ending with '/'.
    FrameCommand(DrawingLayers& layers, Prompts& prompts, const ProgramOptions& options, QString folder);

    const QString& folder() const { return folder_; }
    void setFolder(const QString& folder) { folder_ = folder; }

    // `selectedFile` names the frame, without folder; empty while none is selected.
    void btDrawFrameClick(const QString& selectedFile);

  private:
    DrawingLayers& layers_;
    Prompts& prompts_;
    const ProgramOptions& options_;
    QString folder_;
};
