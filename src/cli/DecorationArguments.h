#pragma once
// The decorations pictorel-cli draws after the operations, each onto a layer of its own that is
// committed before the next: stamps (--stamp FILE@X,Y at their own size, --stamp
// FILE@X1,Y1,X2,Y2 fitted into a rectangle, in proportion with --keep-aspect) and frames
// (--frame FILE). A FILE without a folder is taken from the program's stamp/ or frames/ folder.
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <vector>

class ConsolePrompts;
struct Workbench;

// One decoration: draws into the working layer and gives an error text, or an empty one.
struct LayerStep
{
    int argumentIndex = 0; // where the option stood, so that steps of different options keep their order
    std::function<QString(Workbench&, ConsolePrompts&)> draw;
};

namespace DecorationArguments {

// Each "--name VALUE" or "--name=VALUE" in `arguments`, with the index at which it stood.
std::vector<std::pair<int, QString>> occurrences(const QStringList& arguments, const QString& name);

// The stamp and frame steps of `arguments`, checked; on the first fault `error` says why.
std::vector<LayerStep> read(const QStringList& arguments, const QString& programFolder, QString* error);

} // namespace DecorationArguments
