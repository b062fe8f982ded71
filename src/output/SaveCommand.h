#pragma once
// Saving: flattens the canvas and its committed layers and writes the picture in the format asked
// for, stepping the quality or colour depth down until the file fits the size limit. The outcome is
// shown as a message and returned.
#include "foundation/Prompts.h"
#include "output/SizeLimitedEncoder.h"

#include <functional>

class DrawingLayers;
class Progress;
class UndoCommand;
class Workspace;
struct ProgramOptions;

class SaveCommand
{
  public:
    static constexpr const char* Comment = "Powered by Lumivane";

    SaveCommand(Workspace& workspace, DrawingLayers& layers, UndoCommand& undo, const ProgramOptions& options,
                Prompts& prompts);

    void setProgress(Progress* progress) { progress_ = progress; }
    void setLastSaveFolder(const QString& folder) { lastSaveFolder_ = folder; }
    // Replaces the colour reduction, for tests of its failures.
    void setReducer(SizeLimitedEncoder::Reducer reducer) { reducer_ = std::move(reducer); }
    const QString& lastSaveFolder() const { return lastSaveFolder_; }

    // What a save that reached the encoder produced, with the format and the file name.
    struct Report
    {
        FileFormat format;
        QString path;
        EncodeResult result;
    };
    // Writes `path` in `format` within `limit` bytes; nothing when there was no picture to save.
    std::optional<Report> save(const QString& path, FileFormat format, qint64 limit);
    const std::optional<Report>& lastReport() const { return lastReport_; }

    // The format an extension names (compared in lower case); nothing for an unsupported one.
    static std::optional<FileFormat> formatOfExtension(const QString& path);
    // The message that reports an outcome, and its box.
    static QString outcomeText(FileFormat format, const EncodeResult& result);
    static MessageKind outcomeKind(const EncodeResult& result);

  private:
    void saveTo(const QString& path, FileFormat format, qint64 limit, Progress& progress);

    Workspace& workspace_;
    DrawingLayers& layers_;
    UndoCommand& undo_;
    const ProgramOptions& options_;
    Prompts& prompts_;
    Progress* progress_ = nullptr;
    QString lastSaveFolder_;
    SizeLimitedEncoder::Reducer reducer_;
    std::optional<Report> lastReport_;
};
