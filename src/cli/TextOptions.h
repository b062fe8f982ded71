#pragma once
// The text options of `make`: each --text is placed as the text page would place it and committed
// as its own layer, all with the one font, colour, shadow, direction and angle.
#include "cli/DecorationArguments.h"
#include "decoration/TextSettings.h"

#include <optional>

class CommandLine;

class TextOptions
{
  public:
    static QStringList optionNames();
    // The look every text takes, from the text page's initial values; an error text on the first
    // fault, empty when every text option is good.
    static QString read(const CommandLine& line, TextSettings& look);
    // The layer step of one --text TEXT@X,Y.
    static std::optional<LayerStep> step(const QString& value, const TextSettings& look, QString* error);
    // Empty when `family` (or what it stands for) is installed; otherwise a note naming the face
    // drawn instead. Needs the GUI application.
    static QString missingFontNote(const QString& family);
    static QString usage();
};
