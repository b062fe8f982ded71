#pragma once
// Makes one standby image without a window: the very commands the program's window runs, given
// the command line's choices, with the working picture and the operation log in memory.
#include "cli/DecorationArguments.h"
#include "foundation/ProgramOptions.h"
#include "output/SaveCommand.h"

#include <QtCore/QPoint>
#include <QtCore/QStringList>

#include <functional>
#include <optional>
#include <vector>

struct Workbench;

struct MakeTarget
{
    QString name; // for messages and file names
    int width = 0;
    int height = 0;
    qint64 sizeLimit = 0;
};

struct MakeChoices
{
    enum class Fit { Cover, Width, Height, Both };
    Fit fit = Fit::Cover;
    std::optional<QPoint> offset;
    QStringList operations;        // "oil" or "oil:20", in order
    std::vector<LayerStep> layers; // drawn after the operations in command-line order, each committed
};

struct MakeResult
{
    QString error; // empty on success
    std::optional<SaveCommand::Report> report;
    qint64 limit = 0;
    // 0 fitted, 2 written but too large, 1 anything else.
    int exitStatus() const;
    QString summary() const;
};

class StandbyMaker
{
  public:
    // `programFolder` holds what the program ships (the stamp and frame folders).
    explicit StandbyMaker(ProgramOptions options, QString programFolder = {})
        : options_(std::move(options)), programFolder_(std::move(programFolder))
    {
    }

    MakeResult make(const QString& picture, const MakeTarget& target, const MakeChoices& choices,
                    const QString& outPath, FileFormat format) const;

  private:
    ProgramOptions options_;
    QString programFolder_;
};
