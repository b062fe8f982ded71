#include "cli/ArgumentPaths.h"
#include "cli/CliCommand.h"

#include <QtGui/QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
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

// Only a command that draws text starts the GUI library (offscreen: no window is ever shown); the
// others start in a few milliseconds on the core application.
std::unique_ptr<QCoreApplication> applicationFor(int& argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]); // the option names are all that is looked at
    if (!CliCommand::drawsText(arguments))
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    // A command lives for a moment and works on a few picture-sized buffers. Freed ones are kept for
    // the next rather than handed back, because touching fresh pages costs about as much as the work
    // done on them; only very large pictures still get memory of their own.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
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
