#pragma once
// A workspace without windows: the plain objects the program wires together, in a temporary
// program folder, with a scripted desktop.
#include "foundation/ProgramOptions.h"
#include "imaging/codecs/ImageFile.h"
#include "support/ScriptedPrompts.h"
#include "workspace/OperationLog.h"
#include "workspace/PictureLoader.h"
#include "workspace/UndoCommand.h"
#include "workspace/UndoHistory.h"
#include "workspace/Workspace.h"

#include <QtCore/QTemporaryDir>

struct WorkspaceRig
{
    explicit WorkspaceRig(const QString& folderOverride = {}, UndoStorage storage = UndoStorage::Files)
        : folder(folderOverride.isEmpty() ? temp.path() + QLatin1Char('/') : folderOverride), undo(folder, storage),
          log(folder), workspace(geometry, undo, options), loader(workspace, undo, log, options, prompts),
          undoCommand(workspace, undo, log, prompts)
    {
        workspace.ResizeDisplay(240, 320);
    }

    // A picture file in a separate folder, so undo images are the only files in the program folder.
    QString pictureFile(const QImage& picture, const QString& name = QStringLiteral("photo.png"))
    {
        const QString path = pictures.filePath(name);
        QString error;
        if (!ImageFile::save(picture, path, FileFormat::Png, EncodeOptions{}, &error))
            qFatal("cannot write fixture %s", qPrintable(error));
        return path;
    }
    void load(const QImage& picture) { loader.load(pictureFile(picture)); }
    // An image step as the image operations record it.
    void imageStep(const QImage& result, OperationId id)
    {
        if (!undo.writeNextUndoImage(result))
            qFatal("cannot write undo image");
        workspace.RebuildWorkingImage();
        undo.PushStep(StepKind::Image);
        log.RecordOperation(id);
    }

    QTemporaryDir temp;
    QTemporaryDir pictures;
    QString folder;
    ScriptedPrompts prompts;
    ProgramOptions options;
    WorkspaceGeometry geometry;
    UndoHistory undo;
    OperationLog log;
    Workspace workspace;
    PictureLoader loader;
    UndoCommand undoCommand;
};

// A picture whose every pixel tells where it came from.
inline QImage gradientPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = uchar(x * 255 / std::max(1, width - 1));
            row[3 * x + 1] = uchar(y * 255 / std::max(1, height - 1));
            row[3 * x + 2] = uchar((x + y) & 0xFF);
        }
    }
    return image;
}
