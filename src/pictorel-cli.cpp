#include "cli/ArgumentPaths.h"
#include "cli/CliCommand.h"

#include <QtGui/QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

// The tool's own output is its report; Qt's notes about the desktop session are noise here.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    fprintf(stderr, "%s\n", qPrintable(message));
}

// Only a command that draws starts the GUI library (offscreen: no window is ever shown); the
// others start in a few milliseconds on the core application.
std::unique_ptr<QCoreApplication> applicationFor(int& argc, char** argv)
{
    if (!CliCommand::drawsPictures(QString::fromLocal8Bit(argc > 1 ? argv[1] : "")))
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietHandler);
    const std::unique_ptr<QCoreApplication> app = applicationFor(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliCommand command(out, err, QCoreApplication::applicationDirPath() + QLatin1Char('/'), isatty(fileno(stderr)));
    const int status = command.run(ArgumentPaths::decode(argc, argv));
    // Every file is complete by now. Tearing the GUI application down would start the font
    // library only to close it again (Qt's font database asks it for its configuration on the
    // way out), which costs more than a whole save when no text was drawn: end here instead.
    out.flush();
    err.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}
