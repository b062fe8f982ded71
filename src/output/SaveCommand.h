#pragma once
// "保存する": flattens the canvas and its committed layers and writes the picture in the format its
// extension names, stepping the quality or colour depth down until the file fits the size limit.
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
    // The size limit in force, read at every comparison.
    void setLimitSource(std::function<qint64()> limit) { limit_ = std::move(limit); }
    void setLastSaveFolder(const QString& folder) { lastSaveFolder_ = folder; }
    // Replaces the colour reduction, for tests of its failures.
    void setReducer(SizeLimitedEncoder::Reducer reducer) { reducer_ = std::move(reducer); }
    const QString& lastSaveFolder() const { return lastSaveFolder_; }

    void btSaveClick();
    // What the last save that reached the encoder produced, with the format and the file name.
    struct Report
    {
        FileFormat format;
        QString path;
        EncodeResult result;
    };
    const std::optional<Report>& lastReport() const { return lastReport_; }

    // The format an extension names (compared in lower case); nothing for an unsupported one.
    static std::optional<FileFormat> formatOfExtension(const QString& path);
    // The message that reports an outcome, and its box.
    static QString outcomeText(FileFormat format, const EncodeResult& result);
    static MessageKind outcomeKind(const EncodeResult& result);

  private:
    QString askForFileName();
    void saveTo(const QString& path, Progress& progress);
    // Every way out of a save that began: the progress dialog goes and the temporary layer is taken back.

    Workspace& workspace_;
    DrawingLayers& layers_;
    UndoCommand& undo_;
    const ProgramOptions& options_;
    Prompts& prompts_;
    Progress* progress_ = nullptr;
    std::function<qint64()> limit_;
    QString lastSaveFolder_;
    SizeLimitedEncoder::Reducer reducer_;
    std::optional<Report> lastReport_;
};
