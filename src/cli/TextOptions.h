#pragma once
// The text options of `make`: each --text is placed as the text page would place it and committed
// as its own layer, all with the one font, colour, shadow, direction and angle.
#include "decoration/TextSettings.h"

#include <QtCore/QList>
#include <QtCore/QPair>

class DrawingLayers;
class QCommandLineParser;

struct TextChoices
{
    TextSettings look;                        // the text page's initial values unless changed
    QList<QPair<QString, QPoint>> placements; // text and TextOut point, in command-line order
};

class TextOptions
{
  public:
    static void addTo(QCommandLineParser& parser);
    // An error text on the first fault, empty when every text option is good.
    static QString read(const QCommandLineParser& parser, TextChoices& choices);
    // Places the texts on the working layer, as the text page does on release; the caller commits.
    static void placeOnWorkingLayer(DrawingLayers& layers, const TextChoices& choices);
    static QString usage();
};
