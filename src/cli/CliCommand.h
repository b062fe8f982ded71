#pragma once
// pictorel-cli: the program's work from the command line, for one picture or a whole batch.
#include "cli/CommandLine.h"

#include <QtCore/QStringList>
#include <QtCore/QTextStream>

class CliCommand
{
  public:
    // `programFolder` holds the default catalogue; `terminal` turns on the progress line.
    CliCommand(QTextStream& out, QTextStream& err, QString programFolder, bool terminal);

    // The arguments (the program's name first), read once: the command and its options.
    struct Invocation
    {
        QString command;
        CommandLine line;
        QString error; // why the options could not be read
    };
    static Invocation read(const QStringList& arguments);

    int run(const Invocation& invocation);
    int run(const QStringList& arguments);

    // Whether the command draws text (a text or a calendar), which needs the GUI library's
    // application for its fonts; everything else, pictures included, runs on the core application
    // alone, without fonts or a platform.
    static bool drawsText(const Invocation& invocation);

    static QString helpText();

  private:
    int runModels(const CommandLine& line);
    int runMake(const CommandLine& line);

    QTextStream& out_;
    QTextStream& err_;
    QString programFolder_;
    bool terminal_;
};
