#pragma once
// Brings a picture into the workspace from a file (opened or dropped) or the clipboard, and
// starts the work afresh: undo image 0, an empty history and log, the picture covering the canvas.
#include "workspace/Workspace.h"

#include <QtCore/QObject>
#include <QtGui/QImage>

#include <functional>
#include <memory>

class OperationLog;
class Prompts;
class ScalablePicture;
class UndoHistory;
struct ProgramOptions;

// What loading asks of the drawing layers.
struct LoadLayerHooks
{
    std::function<void()> resetLayers = [] {};         // discard committed layers, or clear the scratch
    std::function<void()> releaseWorkingLayer = [] {}; // empty the working layer
};

class PictureLoader : public QObject
{
    Q_OBJECT
  public:
    PictureLoader(Workspace& workspace, UndoHistory& undo, OperationLog& log, const ProgramOptions& options,
                  Prompts& prompts, QObject* parent = nullptr);

    void setLayerHooks(LoadLayerHooks hooks) { hooks_ = std::move(hooks); }
    void setClipboardSource(std::function<QImage()> source) { clipboard_ = std::move(source); }
    void setLastLoadFolder(const QString& folder) { lastLoadFolder_ = folder; }
    const QString& lastLoadFolder() const { return lastLoadFolder_; }

    // The picture in the file; false, with the message shown, when it could not be loaded.
    bool load(const QString& path);
    bool loadClipboard();
    void loadDroppedFiles(const QStringList& paths);

  signals:
    // The two displays drop what they showed of the old picture, its selection above all.
    void displaysReset();
    void pictureLoaded(int width, int height, int bitCount);

  private:
    struct LoadedPicture
    {
        QImage picture; // at its full size, or at a scale that covers the canvas when it came from a file
        QSize size;     // at full size
        int bitCount = 0;
        std::shared_ptr<ScalablePicture> file; // a JPEG kept to be decoded at other scales
        Workspace::Prepared canvasPart;        // scaled while the picture was decoded
        Workspace::Prepared view;              // reduced for the sub-window meanwhile
    };
    bool finish(LoadedPicture loaded, const QString& folder);

    Workspace& workspace_;
    UndoHistory& undo_;
    OperationLog& log_;
    const ProgramOptions& options_;
    Prompts& prompts_;
    LoadLayerHooks hooks_;
    std::function<QImage()> clipboard_;
    QString lastLoadFolder_;
};
