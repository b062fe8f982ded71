#include "cli/ArgumentPaths.h"
#include "cli/CliCommand.h"

#include <QtGui/QGuiApplication>

#include <cstdio>
#include <unistd.h>

namespace {

// The tool's own output is its report; Qt's notes about the desktop session are noise here.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietHandler);
    // Pictures are drawn with the GUI library, but no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliCommand command(out, err, QCoreApplication::applicationDirPath() + QLatin1Char('/'), isatty(fileno(stderr)));
    return command.run(ArgumentPaths::decode(argc, argv));
}
