#pragma once
// pictorel-cli: the program's work from the command line, for one picture or a whole batch.
#include <QtCore/QStringList>
#include <QtCore/QTextStream>

class CliCommand {
public:
    // `programFolder` holds the default catalogue; `terminal` turns on the progress line.
    CliCommand(QTextStream& out, QTextStream& err, QString programFolder, bool terminal);

    int run(const QStringList& arguments);

    // Whether the command (the first argument) draws pictures and so needs the GUI library's
    // application; the others run on the core application alone, without fonts or a platform.
    static bool drawsPictures(const QString& command);

    static QString helpText();

private:
    int runModels(const QStringList& arguments);
    int runMake(const QStringList& arguments);

    QTextStream& out_;
    QTextStream& err_;
    QString programFolder_;
    bool terminal_;
};
