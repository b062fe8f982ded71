#pragma once
// Makes one standby image without a window: the very objects the program's window drives, in a
// private working folder, answering the program's dialogs from the command line's choices.
#include "foundation/ProgramOptions.h"
#include "output/SaveCommand.h"

#include <QtCore/QPoint>
#include <QtCore/QStringList>

#include <functional>
#include <optional>
#include <vector>

struct Workbench;

// A decoration put on its own committed layer; an error text, or empty.
struct MakeDecoration {
    int argumentIndex = 0; // decorations go on in command-line order
    std::function<QString(Workbench&)> apply;
};

struct MakeTarget {
    QString name; // for messages and file names
    int width = 0;
    int height = 0;
    qint64 sizeLimit = 0;
};

struct MakeChoices {
    enum class Fit { Cover, Width, Height, Both };
    Fit fit = Fit::Cover;
    std::optional<QPoint> offset;
    QStringList operations; // "oil" or "oil:20", in order
    std::vector<MakeDecoration> decorations;
};

struct MakeResult {
    QString error; // empty on success
    std::optional<SaveCommand::Report> report;
    qint64 limit = 0;
    // 0 fitted, 2 written but too large, 1 anything else.
    int exitStatus() const;
    QString summary() const;
};

class StandbyMaker {
public:
    explicit StandbyMaker(ProgramOptions options) : options_(std::move(options)) {}

    MakeResult make(const QString& picture, const MakeTarget& target, const MakeChoices& choices,
                    const QString& outPath) const;

    // "rotate-left", "oil", ... to the operation; the parameter, when given, replaces the option.
    static bool applyOperationName(const QString& opText, ProgramOptions& options, int* operationId, QString* error);
    static QStringList operationNames();

private:
    ProgramOptions options_;
};
