#pragma once
// pictorel-cli: the program's work from the command line, for one picture or a whole batch.
#include <QtCore/QStringList>
#include <QtCore/QTextStream>

class CliCommand
{
  public:
    // `programFolder` holds the default catalogue; `terminal` turns on the progress line.
    CliCommand(QTextStream& out, QTextStream& err, QString programFolder, bool terminal);

    int run(const QStringList& arguments);

    // Whether the arguments draw text (a text or a calendar), which needs the GUI library's
    // application for its fonts; everything else, pictures included, runs on the core application
    // alone, without fonts or a platform.
    static bool drawsText(const QStringList& arguments);

    static QString helpText();

  private:
    int runModels(const QStringList& arguments);
    int runMake(const QStringList& arguments);

    QTextStream& out_;
    QTextStream& err_;
    QString programFolder_;
    bool terminal_;
};
