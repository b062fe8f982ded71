#pragma once
// The decorations pictorel-cli draws after the operations, in command-line order, each onto a layer
// of its own that is committed before the next: stamps (--stamp FILE@X,Y at their own size, --stamp
// FILE@X1,Y1,X2,Y2 fitted into a rectangle, in proportion with --keep-aspect), frames (--frame
// FILE), texts (--text) and calendars (--calendar). A FILE without a folder is taken from the
// program's stamp/ or frames/ folder.
#include <QtCore/QString>

#include <functional>
#include <vector>

class CommandLine;
struct Workbench;

// One decoration: draws into the working layer and gives an error text, or an empty one.
struct LayerStep
{
    std::function<QString(Workbench&)> draw;
};

namespace DecorationArguments {

// The steps of `line`, checked, in the order their options stand; on the first fault `error` says why.
std::vector<LayerStep> read(const CommandLine& line, const QString& programFolder, QString* error);

} // namespace DecorationArguments
